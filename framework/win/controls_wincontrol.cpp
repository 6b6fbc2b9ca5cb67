// TWinControl's window: its making and destruction, the window procedure and
// its message handlers, keyboard input and dialog keys.
#include "framework/win/controls.h"

#include <windowsx.h>

#include "framework/core/exception.h"
#include "framework/win/controls_internal.h"
#include "framework/win/forms.h"
#include "framework/win/menus.h"
#include "framework/win/sysutils.h"

namespace fw {

using internal::IsMouseMessage;
using internal::MouseControl;
using internal::SetMouseControl;

// ---- TWinControl ----------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

void TWinControl::BeforeDestruction() {
  TControl::BeforeDestruction();
  ReleaseWindow();
}

TWinControl::~TWinControl() {
  // Reached without BeforeDestruction only by a control that was not freed with
  // delete (one on the stack): then only this class's DestroyWnd runs.
  ReleaseWindow();
  for (auto* c : controls_) c->parent_ = nullptr;
  controls_.clear();
  tabList_.clear();
}

void TWinControl::ReleaseWindow() {
  // Nothing may create a window for us once we are going, and the form must
  // not hand the focus back to us while our window is destroyed.
  Destroying();
  if (TCustomForm* f = ParentForm(); f && f != this) f->ControlDestroying(this);
  // Leave the parent while we are still a windowed control: its tab list holds us.
  if (parent_) parent_->RemoveControl(this);
  DestroyHandle();
}

const TClassInfo& TWinControl::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TWinControl", &TControl::StaticClassInfo());
    i.Add(IntProp<TWinControl, int>("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder, -1));
    i.Add(BoolProp<TWinControl>("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, false));
    i.Add(EventProp<TWinControl>("OnEnter", &TWinControl::OnEnter));
    i.Add(EventProp<TWinControl>("OnExit", &TWinControl::OnExit));
    i.Add(EventProp<TWinControl>("OnKeyDown", &TWinControl::OnKeyDown));
    i.Add(EventProp<TWinControl>("OnKeyPress", &TWinControl::OnKeyPress));
    i.Add(EventProp<TWinControl>("OnKeyUp", &TWinControl::OnKeyUp));
    return i;
  }();
  return info;
}

TWinControl* TWinControl::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  return reinterpret_cast<TWinControl*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

HWND TWinControl::Handle() {
  if (!hwnd_ && !InState(csDestroying)) {
    controlState_ |= csCreating;
    try {
      CreateWnd();
    } catch (...) {
      controlState_ &= ~std::uint32_t(csCreating);
      throw;
    }
    controlState_ &= ~std::uint32_t(csCreating);
    // Children's windows come with ours.
    for (auto* c : tabList_) c->HandleNeeded();
  }
  return hwnd_;
}

void TWinControl::CreateParams(TCreateParams& p) {
  p.Caption = TextToWide(text_);
  p.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (controlStyle_ & csAcceptsControls) p.Style |= WS_CLIPCHILDREN;
  if (visible_) p.Style |= WS_VISIBLE;
  if (!enabled_) p.Style |= WS_DISABLED;
  if (tabStop_) p.Style |= WS_TABSTOP;
  p.X = left_;
  p.Y = top_;
  p.Width = width_;
  p.Height = height_;
  p.WndParent = parent_ ? parent_->Handle() : nullptr;
  p.WinClassName = AnsiToWide(ClassName());
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  if ((p.Style & WS_CHILD) && !p.WndParent) throw EComponentError("Control '" + Name() + "' has no parent window");
  HINSTANCE inst = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (!::GetClassInfoExW(inst, p.WinClassName.c_str(), &wc)) {
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof wc;
    wc.style = p.ClassStyle;
    wc.lpfnWndProc = &TWinControl::StaticWndProc;
    wc.hInstance = inst;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = p.Background;
    wc.lpszClassName = p.WinClassName.c_str();
    if (!::RegisterClassExW(&wc)) throw EComponentError("Cannot register the window class of " + ClassName());
  }
  CreateWindowHandle(p);
  if (!hwnd_)
    throw EComponentError("Error creating window of " + ClassName() + " (error " + std::to_string(::GetLastError()) +
                          ")");
}

void TWinControl::CreateWindowHandle(const TCreateParams& p) {
  // The object is attached at WM_NCCREATE, so messages sent during creation find it.
  ::CreateWindowExW(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y, p.Width, p.Height,
                    p.WndParent, nullptr, ::GetModuleHandleW(nullptr), this);
}

void TWinControl::DestroyWnd() {
  HWND h = hwnd_;
  if (!h) return;
  // Unhook first: nothing of ours runs while the window goes away.
  ::SetWindowLongPtrW(h, GWLP_USERDATA, 0);
  for (auto* c : tabList_) c->DestroyHandle();
  hwnd_ = nullptr;
  ::DestroyWindow(h);
}

void TWinControl::DestroyHandle() {
  if (!hwnd_) return;
  controlState_ |= csDestroyingHandle;
  DestroyWnd();
  controlState_ &= ~std::uint32_t(csDestroyingHandle);
}

LRESULT CALLBACK TWinControl::StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    auto* self = static_cast<TWinControl*>(cs->lpCreateParams);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<TWinControl*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
  TMessage m{msg, wp, lp, 0};
  GuardedCall([&] { self->WndProc(m); });
  if (msg == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    if (self->hwnd_ == hwnd) self->hwnd_ = nullptr;
  }
  return m.Result;
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (hwnd_) m.Result = ::DefWindowProcW(hwnd_, m.Msg, m.WParam, m.LParam);
}

void TWinControl::WndProc(TMessage& m) {
  if (IsMouseMessage(m.Msg)) return RouteMouse(m, {GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
  switch (m.Msg) {
    case WM_MOUSELEAVE: return WMMouseLeave(m);
    case WM_CAPTURECHANGED: return WMCaptureChanged(m, reinterpret_cast<HWND>(m.LParam));
    case WM_CONTEXTMENU: return WMContextMenu(m, {GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
    case WM_PAINT: return PaintHandler(m);
    case WM_PRINTCLIENT: return WMPrintClient(reinterpret_cast<HDC>(m.WParam), m.LParam & PRF_ERASEBKGND);
    case WM_ERASEBKGND: return WMEraseBkgnd(m, reinterpret_cast<HDC>(m.WParam));
    case WM_WINDOWPOSCHANGED: return WMWindowPosChanged(m);
    case WM_SETFOCUS: return WMSetFocus(m);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: return WMKeyDown(m);
    case WM_KEYUP:
    case WM_SYSKEYUP: return WMKeyUp(m);
    case WM_CHAR: return WMChar(m);
    case WM_SYSCHAR: return WMSysChar(m);
    case WM_GETDLGCODE: m.Result = 0; return;
    case CM_ENTER: return DoEnter();
    case CM_EXIT: return DoExit();
    case CM_FOCUSCHANGED:
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR: return Broadcast(m);
    case CM_ENABLEDCHANGED: return CMEnabledChanged();
    case CM_VISIBLECHANGED: return ShowingChanged();
    case CM_TEXTCHANGED: return CMTextChanged();
    case CM_FONTCHANGED: return TellChildren(CM_PARENTFONTCHANGED, true);
    case CM_COLORCHANGED: return TellChildren(CM_PARENTCOLORCHANGED, true);
    case CM_BIDIMODECHANGED: return TellChildren(CM_PARENTBIDIMODECHANGED, true);
    case CM_SHOWHINTCHANGED: return TellChildren(CM_PARENTSHOWHINTCHANGED, false);
    default: TControl::WndProc(m);
  }
}

// ---- Message handlers ---------------------------------------------------------------------

void TWinControl::RouteMouse(TMessage& m, TPoint p) {
  // A captured or hit graphic child takes the mouse; coordinates become its own.
  TControl* target = mouseCapture_ ? mouseCapture_ : ControlAtPos(p, false);
  if (m.Msg == WM_MOUSEMOVE) {
    if (!trackingLeave_) {
      TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, hwnd_, 0};
      if (::TrackMouseEvent(&t)) trackingLeave_ = true;
    }
    TControl* under = target ? target : this;
    if (!mouseCapture_ || mouseCapture_ == under) SetMouseControl(under);
  }
  if (!target) return TControl::WndProc(m);
  TMessage fwd = m;
  fwd.LParam = MAKELPARAM(p.X - target->left_, p.Y - target->top_);
  target->WndProc(fwd);
  m.Result = fwd.Result;
  if (target->parent_ == this && m.Msg == WM_LBUTTONUP && mouseCapture_ == target) mouseCapture_ = nullptr;
}

void TWinControl::WMMouseLeave(TMessage& m) {
  trackingLeave_ = false;
  // The pointer left our window: leave whatever of ours was under it, unless
  // it moved into one of our child windows (which takes over at its own move).
  TControl* c = MouseControl();
  if (c == this || (c && c->parent_ == this && !dynamic_cast<TWinControl*>(c))) {
    POINT pt;
    ::GetCursorPos(&pt);
    if (::WindowFromPoint(pt) != hwnd_) SetMouseControl(nullptr);
  }
  DefaultHandler(m);
}

void TWinControl::WMCaptureChanged(TMessage& m, HWND newCapture) {
  if (mouseCapture_ && newCapture != hwnd_) mouseCapture_ = nullptr;
  DefaultHandler(m);
}

void TWinControl::WMContextMenu(TMessage& m, TPoint at) {
  if (!popupMenu_) return DefaultHandler(m);
  POINT p{at.X, at.Y};
  if (p.x == -1 && p.y == -1) {  // from the keyboard: under the control's middle
    p = {width_ / 2, height_ / 2};
    ::ClientToScreen(hwnd_, &p);
  }
  popupMenu_->Popup(hwnd_, p.x, p.y);
  m.Result = 0;
}

void TWinControl::WMPrintClient(HDC dc, bool erase) {
  if (erase) Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  TMessage paint{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
  PaintHandler(paint);
}

void TWinControl::WMEraseBkgnd(TMessage& m, HDC dc) {
  RECT r;
  ::GetClientRect(hwnd_, &r);
  UniqueBrush b(::CreateSolidBrush(ColorToRGB(color_)));
  ::FillRect(dc, &r, b.get());
  m.Result = 1;
}

void TWinControl::WMWindowPosChanged(TMessage& m) {
  DefaultHandler(m);
  UpdateBoundsFromWindow();
}

void TWinControl::WMSetFocus(TMessage& m) {
  if (TCustomForm* f = ParentForm(); f && f != this) f->SetFocusedControl(this);
  DefaultHandler(m);
}

void TWinControl::WMKeyDown(TMessage& m) {
  if (DoDialogKey(m)) return;
  WORD key = WORD(m.WParam);
  KeyDown(key, KeyDataToShiftState(m.LParam));
  if (key == 0) return;
  m.WParam = key;
  DefaultHandler(m);
}

void TWinControl::WMKeyUp(TMessage& m) {
  WORD key = WORD(m.WParam);
  KeyUp(key, KeyDataToShiftState(m.LParam));
  if (key == 0) return;
  m.WParam = key;
  DefaultHandler(m);
}

void TWinControl::WMChar(TMessage& m) {
  char ch = char(m.WParam);
  KeyPress(ch);
  if (ch == 0) return;
  if (!(Perform(WM_GETDLGCODE) & DLGC_WANTCHARS))
    if (TCustomForm* f = ParentForm(); f && f->Perform(CM_DIALOGCHAR, WPARAM(static_cast<unsigned char>(ch)), m.LParam))
      return;
  DefaultHandler(m);
}

void TWinControl::WMSysChar(TMessage& m) {
  // Alt plus a character: the accelerator of a control of the form.
  if (TCustomForm* f = ParentForm(); f && f->Perform(CM_DIALOGCHAR, m.WParam, m.LParam)) return;
  DefaultHandler(m);
}

void TWinControl::CMEnabledChanged() {
  if (hwnd_) ::EnableWindow(hwnd_, enabled_);
  Invalidate();
}

void TWinControl::CMTextChanged() {
  if (hwnd_) ::SetWindowTextW(hwnd_, TextToWide(text_).c_str());
  Invalidate();
}

void TWinControl::TellChildren(UINT parentChanged, bool repaint) {
  if (repaint) Invalidate();
  // A copy: a child's handler may add or remove children.
  for (auto* c : std::vector<TControl*>(controls_)) c->Perform(parentChanged);
}

bool TWinControl::DoDialogKey(TMessage& m) {
  if (InState(csDesigning)) return false;
  UINT mask = 0;
  switch (m.WParam) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: return false;
  }
  if (Perform(CM_WANTSPECIALKEY, m.WParam, m.LParam) != 0) return false;
  if (Perform(WM_GETDLGCODE) & mask) return false;
  TCustomForm* f = ParentForm();
  if (!f) return false;
  if (f->Perform(CM_DIALOGKEY, m.WParam, m.LParam) == 0) return false;
  m.Result = 0;
  return true;
}

void TWinControl::KeyDown(WORD& key, TShiftState s) {
  if (OnKeyDown) OnKeyDown(this, key, s);
}
void TWinControl::KeyUp(WORD& key, TShiftState s) {
  if (OnKeyUp) OnKeyUp(this, key, s);
}
void TWinControl::KeyPress(char& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}
void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::Broadcast(TMessage& m) {
  for (auto* c : std::vector<TControl*>(controls_)) {
    c->WndProc(m);
    if (m.Result != 0) return;
  }
}

}  // namespace fw
