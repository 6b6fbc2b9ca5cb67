// Forms, the screen and the application: the top-level window, focus and
// dialog keys, the message loop, message boxes and the last-chance exception handler.
#pragma once
#include <windows.h>

#include <exception>
#include <memory>
#include <string>

#include "framework/win/controls.h"
#include "framework/win/form_types.h"
#include "framework/win/utility_window.h"

namespace fw {

// Facts about the primary screen; PixelsPerInch can be set by tests to lay out for another resolution.
class TScreen {
 public:
  TScreen();
  int PixelsPerInch() const { return ppi_; }
  void SetPixelsPerInch(int v) { ppi_ = v; }
  int Width() const { return ::GetSystemMetrics(SM_CXSCREEN); }
  int Height() const { return ::GetSystemMetrics(SM_CYSCREEN); }

 private:
  int ppi_ = 96;
};

class TCustomForm : public TWinControl {
 public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  std::wstring Caption() const { return TextW(); }
  void SetCaption(const std::wstring& v) { SetTextW(v); }
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle v);
  std::uint32_t BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(std::uint32_t v);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition v) { position_ = v; }
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool v) { ctl3D_ = v; }
  int PixelsPerInch() const { return ppi_; }
  void SetPixelsPerInch(int v) { ppi_ = v; }
  bool Scaled() const { return scaled_; }
  void SetScaled(bool v) { scaled_ = v; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult v) { modalResult_ = v; }
  int ClientWidthProp() const { return ClientWidth(); }
  void SetClientWidthProp(int v) { SetClientSize(v, ClientHeight()); }
  int ClientHeightProp() const { return ClientHeight(); }
  void SetClientHeightProp(int v) { SetClientSize(ClientWidth(), v); }

  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* c);
  // Moves the focus bookkeeping to `c`: CM_EXIT to the controls that lose it,
  // CM_ENTER to those that gain it, then CM_FOCUSCHANGED to the form.
  void SetFocusedControl(TWinControl* c);
  // A control of the form is being destroyed: the form forgets it (and anything inside it).
  void ControlDestroying(TWinControl* c);

  void Show();
  void Close();
  TRect ClientRect() const override;
  void ScaleBy(int m, int d) { ChangeScale(m, d); }

  TEvent<void(TObject*)> OnShow;
  TEvent<void(TObject*, TCloseAction&)> OnClose;
  TEvent<void(TObject*)> OnCreate;
  TEvent<void(TObject*)> OnDestroy;

 protected:
  void CreateParams(TCreateParams& p) override;
  void WndProc(TMessage& m) override;
  void Loaded() override;
  void Notification(TComponent* c, TOperation op) override;
  void ChangeScale(int m, int d) override;
  virtual void DoShow();
  virtual void DoClose(TCloseAction& action);
  DWORD WindowStyle() const;
  void ApplyWindowStyle();  // after a change of border style or icons
  DWORD WindowExStyle() const;
  // Reads the form's stored layout from the resource named after its class.
  void InitInheritedComponent();

 private:
  TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
  std::uint32_t borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  TPosition position_ = TPosition::poDesigned;
  bool ctl3D_ = true;
  bool scaled_ = true;
  int ppi_ = 96;
  TModalResult modalResult_ = 0;
  TWinControl* activeControl_ = nullptr;
  TWinControl* focusedControl_ = nullptr;
  bool showing_ = false;
};

class TForm : public TCustomForm {
 public:
  explicit TForm(TComponent* owner) : TCustomForm(owner) {}
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

class TApplication : public TComponent {
 public:
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  // Starts the component-object services for this thread (single-threaded apartment).
  void Initialize();
  std::wstring Title() const { return title_; }
  void SetTitle(const std::wstring& v);
  HWND Handle() const { return hwnd_; }

  template <class F>
  F* CreateForm() {
    auto* f = new F(this);
    if (!mainForm_) mainForm_ = f;
    return f;
  }
  TCustomForm* MainForm() const { return mainForm_; }
  // Shows the main form and processes messages until Terminate.
  void Run();
  void Terminate();
  bool Terminated() const { return terminated_; }
  void ProcessMessages();
  void HandleMessage();
  // A modal box with the title as caption, the text, no icon and one OK button.
  int MessageBox(const std::wstring& text);
  void HandleException(const std::exception& e);
  // The end of the run: the components the application owns (its forms, the
  // themed library's message settings) are destroyed, then the component-object
  // services are released. Before the units' exit steps; idempotent.
  void Shutdown();
  TEvent<void(TObject*, const std::exception&)> OnException;

 protected:
  void Notification(TComponent* c, TOperation op) override;

 private:
  bool ProcessMessage(MSG& msg);
  void WndProc(HWND hwnd, TMessage& m);
  std::wstring title_;
  TUtilityWindow window_;
  HWND hwnd_ = nullptr;
  TCustomForm* mainForm_ = nullptr;
  bool terminated_ = false;
  bool comStarted_ = false;
  bool handlingException_ = false;
};

extern TApplication* Application;
extern TScreen* Screen;

// Creates Application and Screen for the program's lifetime (and frees them).
class TApplicationScope {
 public:
  TApplicationScope();
  ~TApplicationScope();
  TApplicationScope(const TApplicationScope&) = delete;
  TApplicationScope& operator=(const TApplicationScope&) = delete;
};

}  // namespace fw
