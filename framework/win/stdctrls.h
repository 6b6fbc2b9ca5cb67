// The framework's plain push button: a custom-painted windowed control that
// clicks on release inside itself, on Space, on Enter while focused and on its accelerator.
#pragma once
#include "framework/win/controls.h"

namespace fw {

class TButton : public TCustomControl {
 public:
  explicit TButton(TComponent* owner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  std::wstring Caption() const { return TextW(); }
  void SetCaption(const std::wstring& v) { SetTextW(v); }
  bool Default() const { return default_; }
  void SetDefault(bool v) { default_ = v; }
  bool Cancel() const { return cancel_; }
  void SetCancel(bool v) { cancel_ = v; }
  std::int32_t ModalResult() const { return modalResult_; }
  void SetModalResult(std::int32_t v) { modalResult_ = v; }
  bool Pressed() const { return pressed_; }
  void Click() override;

 protected:
  void Paint() override;
  void WndProc(TMessage& m) override;
  void MouseDown(TMouseButton b, TShiftState s, int x, int y) override;
  void MouseMove(TShiftState s, int x, int y) override;
  void MouseUp(TMouseButton b, TShiftState s, int x, int y) override;
  void KeyDown(WORD& key, TShiftState s) override;
  void KeyUp(WORD& key, TShiftState s) override;

 private:
  void SetPressed(bool v);
  bool default_ = false, cancel_ = false, pressed_ = false, tracking_ = false, focused_ = false;
  std::int32_t modalResult_ = 0;
};

// A frame with a caption around a group of controls.
class TGroupBox : public TCustomControl {
 public:
  explicit TGroupBox(TComponent* owner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  std::wstring Caption() const { return TextW(); }
  void SetCaption(const std::wstring& v) { SetTextW(v); }

 protected:
  void Paint() override;
  void WndProc(TMessage& m) override;
};

// True when `ch` is the character that follows the first single '&' of `caption`, ignoring case.
bool IsAccel(unsigned ch, const std::string& caption);

}  // namespace fw
