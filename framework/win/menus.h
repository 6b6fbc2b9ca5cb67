// Menus: items with captions and click events, and the popup menu a control
// shows when the user asks for its context menu (right button, the menu key).
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/core/component.h"
#include "framework/core/types.h"

namespace fw {

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner) : TComponent(owner) {}
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  std::wstring Caption() const { return caption_; }
  void SetCaption(const std::wstring& v) { caption_ = v; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v) { enabled_ = v; }
  virtual void Click();
  TEvent<void(TObject*)> OnClick;

 private:
  std::wstring caption_;
  bool enabled_ = true;
};

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* owner) : TComponent(owner) {}
  ~TPopupMenu() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  // The items, in order; the menu owns them.
  TMenuItem* Add(const std::wstring& caption);
  const std::vector<std::unique_ptr<TMenuItem>>& Items() const { return items_; }
  // Shows the menu at a screen point for the given window and clicks the item chosen.
  void Popup(HWND owner, int x, int y);
  TEvent<void(TObject*)> OnPopup;

 private:
  std::vector<std::unique_ptr<TMenuItem>> items_;
};

}  // namespace fw
