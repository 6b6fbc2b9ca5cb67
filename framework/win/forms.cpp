#include "framework/win/forms.h"

#include <objbase.h>

#include <algorithm>

#include "framework/core/exception.h"
#include "framework/core/streaming.h"
#include "framework/core/text.h"
#include "framework/win/sysutils.h"

namespace fw {

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

TScreen::TScreen() {
  ScopedGetDC dc(nullptr);
  ppi_ = ::GetDeviceCaps(dc.get(), LOGPIXELSY);
  if (ppi_ <= 0) ppi_ = 96;
}

// ---- TCustomForm ----------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
  controlStyle_ = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  visible_ = false;
  parentFont_ = false;
  color_ = clBtnFace;
  left_ = 0;
  top_ = 0;
  width_ = 320;
  height_ = 240;
}

TCustomForm::~TCustomForm() {
  if (OnDestroy) {
    try {
      OnDestroy(this);
    } catch (...) {}
  }
  activeControl_ = focusedControl_ = nullptr;
}

const TClassInfo& TCustomForm::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TCustomForm", &TWinControl::StaticClassInfo());
    i.Add(SetProp<TCustomForm>("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons,
                               {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"},
                               biSystemMenu | biMinimize | biMaximize));
    i.Add(EnumProp<TCustomForm, TFormBorderStyle>(
        "BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle,
        {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"},
        TFormBorderStyle::bsSizeable));
    i.Add(StringProp<TCustomForm, std::wstring>("Caption", &TCustomForm::Caption, &TCustomForm::SetCaption, L""));
    i.Add(ControlColorProp(clBtnFace));
    i.Add(BoolProp<TCustomForm>("Ctl3D", &TCustomForm::Ctl3D, &TCustomForm::SetCtl3D, true));
    i.Add(BoolProp<TControl>("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, false));
    i.Add(
        EnumProp<TCustomForm, TPosition>("Position", &TCustomForm::Position, &TCustomForm::SetPosition,
                                         {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                                          "poScreenCenter", "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"},
                                         TPosition::poDesigned));
    i.Add(BoolProp<TCustomForm>("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled, true));
    i.Add(IntProp<TCustomForm, int>("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch));
    i.Add(EventProp<TCustomForm>("OnClose", &TCustomForm::OnClose));
    i.Add(EventProp<TCustomForm>("OnCreate", &TCustomForm::OnCreate));
    i.Add(EventProp<TCustomForm>("OnDestroy", &TCustomForm::OnDestroy));
    i.Add(EventProp<TCustomForm>("OnShow", &TCustomForm::OnShow));
    return i;
  }();
  return info;
}

const TClassInfo& TForm::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TForm", &TCustomForm::StaticClassInfo(), [](TComponent* o) -> TComponent* { return new TForm(o); });
    return i;
  }();
  return info;
}

void TCustomForm::SetBorderStyle(TFormBorderStyle v) {
  if (v == borderStyle_) return;
  borderStyle_ = v;
  ApplyWindowStyle();
}

void TCustomForm::SetBorderIcons(std::uint32_t v) {
  if (v == borderIcons_) return;
  borderIcons_ = v;
  ApplyWindowStyle();
}

void TCustomForm::ApplyWindowStyle() {
  if (!hwnd_) return;
  ::SetWindowLongW(hwnd_, GWL_STYLE, LONG(WindowStyle() | (::IsWindowVisible(hwnd_) ? WS_VISIBLE : 0)));
  ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

DWORD TCustomForm::WindowStyle() const {
  DWORD s = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  switch (borderStyle_) {
    case TFormBorderStyle::bsNone: s |= WS_POPUP; break;
    case TFormBorderStyle::bsSingle:
    case TFormBorderStyle::bsToolWindow: s |= WS_CAPTION | WS_BORDER; break;
    case TFormBorderStyle::bsSizeable:
    case TFormBorderStyle::bsSizeToolWin: s |= WS_CAPTION | WS_THICKFRAME; break;
    case TFormBorderStyle::bsDialog: s |= WS_POPUP | WS_CAPTION | DS_MODALFRAME; break;
  }
  if (borderStyle_ != TFormBorderStyle::bsNone) {
    if (borderIcons_ & biSystemMenu) {
      s |= WS_SYSMENU;
      if (borderStyle_ != TFormBorderStyle::bsDialog) {
        if (borderIcons_ & biMinimize) s |= WS_MINIMIZEBOX;
        if (borderIcons_ & biMaximize) s |= WS_MAXIMIZEBOX;
      }
    }
  }
  return s;
}

DWORD TCustomForm::WindowExStyle() const {
  DWORD ex = 0;
  if (borderStyle_ == TFormBorderStyle::bsDialog) ex |= WS_EX_DLGMODALFRAME;
  if (borderStyle_ == TFormBorderStyle::bsToolWindow || borderStyle_ == TFormBorderStyle::bsSizeToolWin)
    ex |= WS_EX_TOOLWINDOW;
  return ex;
}

void TCustomForm::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.Style = WindowStyle();
  p.ExStyle = WindowExStyle();
  // Owned by the application's window, which carries the taskbar entry.
  p.WndParent = Application && Application->Handle() ? Application->Handle() : nullptr;
}

TRect TCustomForm::ClientRect() const {
  if (hwnd_) return TWinControl::ClientRect();
  RECT frame{0, 0, 0, 0};
  ::AdjustWindowRectEx(&frame, WindowStyle(), FALSE, WindowExStyle());
  const int w = width_ - (frame.right - frame.left), h = height_ - (frame.bottom - frame.top);
  return Rect(0, 0, std::max(w, 0), std::max(h, 0));
}

void TCustomForm::Notification(TComponent* c, TOperation op) {
  TWinControl::Notification(c, op);
  if (op != TOperation::opRemove) return;
  if (c == activeControl_) activeControl_ = nullptr;
  if (c == focusedControl_) focusedControl_ = nullptr;
}

void TCustomForm::ControlDestroying(TWinControl* c) {
  auto inside = [c](TWinControl* x) {
    for (TControl* p = x; p; p = p->Parent())
      if (p == c) return true;
    return false;
  };
  if (activeControl_ && inside(activeControl_)) activeControl_ = nullptr;
  if (focusedControl_ && inside(focusedControl_)) focusedControl_ = nullptr;
}

void TCustomForm::SetActiveControl(TWinControl* c) {
  if (c == activeControl_) return;
  activeControl_ = c;
  if (c && hwnd_ && ::IsWindowVisible(hwnd_) && c->CanFocus()) c->SetFocus();
}

void TCustomForm::SetFocusedControl(TWinControl* c) {
  if (c == focusedControl_) {
    activeControl_ = c;
    return;
  }
  auto contains = [](TWinControl* outer, TWinControl* inner) {
    for (TControl* x = inner; x; x = x->Parent())
      if (x == outer) return true;
    return false;
  };
  TWinControl* old = focusedControl_;
  focusedControl_ = c;
  activeControl_ = c;
  for (TWinControl* x = old; x && x != this; x = x->Parent())
    if (!contains(x, c)) x->Perform(CM_EXIT);
  std::vector<TWinControl*> entering;
  for (TWinControl* x = c; x && x != this; x = x->Parent())
    if (!contains(x, old)) entering.push_back(x);
  for (auto it = entering.rbegin(); it != entering.rend(); ++it) (*it)->Perform(CM_ENTER);
  Perform(CM_FOCUSCHANGED, 0, FocusedControlParam(c));
}

void TCustomForm::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_CLOSE:
      Close();
      m.Result = 0;
      return;
    case WM_ACTIVATE:
      TWinControl::WndProc(m);
      if (LOWORD(m.WParam) != WA_INACTIVE) {
        TWinControl* target = activeControl_;
        if (!target || !target->CanFocus()) target = FindNextControl(nullptr, true, true, false);
        if (target && target->CanFocus()) {
          ::SetFocus(target->Handle());
          m.Result = 0;
        }
      }
      return;
    case WM_SETFOCUS:
      if (activeControl_ && activeControl_->CanFocus()) {
        ::SetFocus(activeControl_->Handle());
        return;
      }
      DefaultHandler(m);
      return;
    case CM_DIALOGKEY:
      if (::GetKeyState(VK_MENU) >= 0) {
        const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
        const unsigned key = CharCodeOf(m);
        switch (key) {
          case VK_TAB:
            if (!ctrl) {
              SelectNext(activeControl_, ::GetKeyState(VK_SHIFT) >= 0, true);
              m.Result = 1;
              return;
            }
            break;
          case VK_LEFT:
          case VK_UP:
          case VK_RIGHT:
          case VK_DOWN:
            if (activeControl_ && activeControl_->Parent()) {
              activeControl_->Parent()->SelectNext(activeControl_, key == VK_RIGHT || key == VK_DOWN, false);
              m.Result = 1;
              return;
            }
            break;
          default: break;
        }
      }
      TWinControl::WndProc(m);  // the form's controls have their say
      return;
    case CM_VISIBLECHANGED:
      if (hwnd_) ::ShowWindow(hwnd_, visible_ ? SW_SHOWNORMAL : SW_HIDE);
      return;
    default: TWinControl::WndProc(m);
  }
}

void TCustomForm::Loaded() {
  TWinControl::Loaded();
  // A layout made at one resolution is scaled to the screen's.
  if (scaled_ && Screen && Screen->PixelsPerInch() != ppi_ && ppi_ > 0) {
    const int from = ppi_;
    ChangeScale(Screen->PixelsPerInch(), from);
    ppi_ = Screen->PixelsPerInch();
  }
}

void TCustomForm::ChangeScale(int m, int d) {
  if (m == d) return;
  const TRect cr = ClientRect();
  for (auto* c : std::vector<TControl*>(controls_)) c->ChangeScale(m, d);
  ChangeFontQuietly([&](TFont& f) { f.SetHeight(MulDiv(f.Height(), m, d)); });
  Perform(CM_FONTCHANGED);
  SetClientSize(MulDiv(cr.Width(), m, d), MulDiv(cr.Height(), m, d));
  Realign();
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

void TCustomForm::Show() {
  HandleNeeded();
  if (position_ == TPosition::poScreenCenter && Screen) {
    SetBounds((Screen->Width() - width_) / 2, (Screen->Height() - height_) / 2, width_, height_);
  }
  // OnShow runs while the window is still hidden.
  DoShow();
  visible_ = true;
  if (hwnd_) {
    ::ShowWindow(hwnd_, SW_SHOWNORMAL);
    ::UpdateWindow(hwnd_);
  }
}

void TCustomForm::Close() {
  TCloseAction action = TCloseAction::caHide;
  DoClose(action);
  if (action == TCloseAction::caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
  } else if (action == TCloseAction::caHide || action == TCloseAction::caFree) {
    Hide();
  } else if (action == TCloseAction::caMinimize && hwnd_) {
    ::ShowWindow(hwnd_, SW_MINIMIZE);
  }
}

void TCustomForm::InitInheritedComponent() {
  const std::wstring name = AnsiToWide(ClassName());
  HMODULE module = ::GetModuleHandleW(nullptr);
  HRSRC res = ::FindResourceW(module, name.c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (!res) throw EReadError("Resource " + ClassName() + " not found");
  HGLOBAL data = ::LoadResource(module, res);
  const void* bytes = data ? ::LockResource(data) : nullptr;
  if (!bytes) throw EReadError("Resource " + ClassName() + " cannot be loaded");
  ReadComponentText(std::string_view(static_cast<const char*>(bytes), ::SizeofResource(module, res)), *this);
  if (OnCreate) OnCreate(this);
}

// ---- TApplication ----------------------------------------------------------------

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
  // The hidden application window: zero-sized, it carries the taskbar entry
  // (its text is the title) and owns every form.
  TUtilityWindow::TParams p;
  p.ClassName = L"TApplication";
  p.Style = WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX;
  p.ExStyle = 0;
  p.X = ::GetSystemMetrics(SM_CXSCREEN) / 2;
  p.Y = ::GetSystemMetrics(SM_CYSCREEN) / 2;
  window_ = TUtilityWindow(p, [this](HWND h, TMessage& m) { WndProc(h, m); });
  hwnd_ = window_.Handle();
}

TApplication::~TApplication() {
  Shutdown();
  window_.Destroy();
  hwnd_ = nullptr;
}

void TApplication::Shutdown() {
  // Forms go first, while the component-object services still run.
  while (!Components().empty()) delete Components().back();
  mainForm_ = nullptr;
  if (comStarted_) ::CoUninitialize();
  comStarted_ = false;
}

void TApplication::Notification(TComponent* c, TOperation op) {
  TComponent::Notification(c, op);
  if (op == TOperation::opRemove && c == mainForm_) mainForm_ = nullptr;
}

void TApplication::WndProc(HWND hwnd, TMessage& m) {
  switch (m.Msg) {
    case WM_CLOSE:
      if (mainForm_) mainForm_->Close();
      return;
    case WM_SETFOCUS:
      if (mainForm_ && mainForm_->HandleAllocated() && ::IsWindowEnabled(mainForm_->HandleNoCreate()))
        ::SetFocus(mainForm_->HandleNoCreate());
      return;
    default: TUtilityWindow::DefaultHandling(hwnd, m);
  }
}

void TApplication::Initialize() {
  if (comStarted_) return;
  HRESULT hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  comStarted_ = SUCCEEDED(hr);
}

void TApplication::SetTitle(const std::wstring& v) {
  title_ = v;
  if (hwnd_) ::SetWindowTextW(hwnd_, v.c_str());
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  ::TranslateMessage(&msg);
  ::DispatchMessageW(&msg);
  return true;
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) ::WaitMessage();
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {}
}

void TApplication::Run() {
  if (!mainForm_) return;
  // The zero-sized application window is what the taskbar lists.
  if (hwnd_) ::ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  try {
    mainForm_->Show();
  } catch (const std::exception& e) {
    HandleException(e);
  }
  while (!terminated_) HandleMessage();
}

void TApplication::Terminate() { ::PostQuitMessage(0); }

namespace {

// The system box labels its button in the user's language; ours always reads "OK".
// A CBT hook, alive only while the box is being created, renames it.
thread_local HHOOK gMessageBoxHook = nullptr;

LRESULT CALLBACK MessageBoxHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_ACTIVATE) {
    HWND box = reinterpret_cast<HWND>(wp);
    wchar_t cls[16] = {0};
    ::GetClassNameW(box, cls, 16);
    if (std::wstring(cls) == L"#32770") {
      ::SetDlgItemTextW(box, IDOK, L"OK");
      HHOOK h = gMessageBoxHook;
      gMessageBoxHook = nullptr;
      LRESULT r = ::CallNextHookEx(h, code, wp, lp);
      ::UnhookWindowsHookEx(h);
      return r;
    }
  }
  return ::CallNextHookEx(gMessageBoxHook, code, wp, lp);
}

}  // namespace

int TApplication::MessageBox(const std::wstring& text) {
  // An ownerless box hands activation to no window of ours when it closes;
  // the window that was active gets it back, with its focused control.
  const HWND wasActive = ::GetActiveWindow();
  gMessageBoxHook = ::SetWindowsHookExW(WH_CBT, MessageBoxHook, nullptr, ::GetCurrentThreadId());
  // Task-modal with no owner: every window of ours is disabled and the box is centred on the screen.
  const int result = ::MessageBoxW(nullptr, text.c_str(), title_.c_str(), MB_OK | MB_TASKMODAL);
  if (gMessageBoxHook) {
    ::UnhookWindowsHookEx(gMessageBoxHook);
    gMessageBoxHook = nullptr;
  }
  if (wasActive && ::IsWindow(wasActive) && ::IsWindowVisible(wasActive) && ::GetActiveWindow() != wasActive)
    ::SetActiveWindow(wasActive);
  return result;
}

void TApplication::HandleException(const std::exception& e) {
  if (handlingException_) return;
  handlingException_ = true;
  try {
    if (OnException)
      OnException(this, e);
    else
      MessageBox(Utf8ToWide(e.what()));  // the program's messages are UTF-8
  } catch (...) {}
  handlingException_ = false;
}

namespace {

// The sink of errors nothing else caught (a message handler's, a component's
// destruction's) while the application lives: its exception handler.
void ReportToApplication(const std::exception& e) {
  if (Application)
    Application->HandleException(e);
  else
    DebugOutput(e.what());
}

}  // namespace

TApplicationScope::TApplicationScope() {
  Screen = new TScreen();
  Application = new TApplication(nullptr);
  SetUnhandledErrorSink(ReportToApplication);
}

TApplicationScope::~TApplicationScope() {
  SetUnhandledErrorSink(nullptr);
  delete Application;
  Application = nullptr;
  delete Screen;
  Screen = nullptr;
}

}  // namespace fw
