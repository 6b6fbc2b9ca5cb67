#include "framework/win/controls.h"

#include <windowsx.h>

#include <algorithm>
#include <optional>

#include "framework/core/exception.h"
#include "framework/core/idents.h"
#include "framework/win/actnlist.h"
#include "framework/win/forms.h"
#include "framework/win/menus.h"
#include "framework/win/sysutils.h"

namespace fw {

namespace {

// The control the mouse is over, as the framework last saw it: the one that
// received CM_MOUSEENTER and will receive CM_MOUSELEAVE.
TControl* gMouseControl = nullptr;

void SetMouseControl(TControl* c) {
  if (c == gMouseControl) return;
  TControl* old = gMouseControl;
  gMouseControl = c;
  if (old) old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(old));
  if (c) c->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(c));
}

bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL; }

}  // namespace

TPropInfo ControlColorProp(TColor def) {
  auto p = IntProp<TControl, TColor>("Color", &TControl::Color, &TControl::SetColor, std::int64_t(def));
  p.IntToIdent = ColorToIdent;
  p.IdentToInt = IdentToColor;
  p.Stored = [](const TPersistent& o) { return !static_cast<const TControl&>(o).ParentColor(); };
  return p;
}

TPropInfo BiDiModeProp() {
  auto p = EnumProp<TControl, TBiDiMode>("BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode,
                                         {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign",
                                          "bdRightToLeftReadingOnly"},
                                         bdLeftToRight);
  p.Stored = [](const TPersistent& o) { return !static_cast<const TControl&>(o).ParentBiDiMode(); };
  return p;
}

TPropInfo ParentBiDiModeProp() {
  return BoolProp<TControl>("ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode, true);
}

TPropInfo ShowHintProp() {
  auto p = BoolProp<TControl>("ShowHint", &TControl::ShowHint, &TControl::SetShowHint);
  p.Stored = [](const TPersistent& o) { return !static_cast<const TControl&>(o).ParentShowHint(); };
  return p;
}

TPropInfo ParentShowHintProp() {
  return BoolProp<TControl>("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint, true);
}

TPropInfo DragCursorProp() {
  auto p = IntProp<TControl, TCursor>("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor, crDrag);
  p.IntToIdent = [](std::int64_t v) -> std::optional<std::string> {
    if (v == crDrag) return "crDrag";
    if (v == crDefault) return "crDefault";
    return std::nullopt;
  };
  p.IdentToInt = [](const std::string& s) -> std::optional<std::int64_t> {
    if (s == "crDrag") return crDrag;
    if (s == "crDefault") return crDefault;
    return std::nullopt;
  };
  return p;
}

TPropInfo DragKindProp() {
  return EnumProp<TControl, TDragKind>("DragKind", &TControl::DragKind, &TControl::SetDragKind, {"dkDrag", "dkDock"},
                                       dkDrag);
}

TPropInfo DragModeProp() {
  return EnumProp<TControl, TDragMode>("DragMode", &TControl::DragMode, &TControl::SetDragMode,
                                       {"dmManual", "dmAutomatic"}, dmManual);
}

TPropInfo ConstraintsProp() { return ObjectProp<TControl, TSizeConstraints>("Constraints", &TControl::Constraints); }

std::vector<TPropInfo> DragEventProps() {
  return {EventProp<TControl>("OnDragDrop", &TControl::OnDragDrop),
          EventProp<TControl>("OnDragOver", &TControl::OnDragOver),
          EventProp<TControl>("OnEndDrag", &TControl::OnEndDrag),
          EventProp<TControl>("OnStartDrag", &TControl::OnStartDrag)};
}

// ---- TSizeConstraints ----------------------------------------------------------

const TClassInfo& TSizeConstraints::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TSizeConstraints", &TPersistent::StaticClassInfo());
    i.Add(IntProp<TSizeConstraints, int>("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight, 0));
    i.Add(IntProp<TSizeConstraints, int>("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth, 0));
    i.Add(IntProp<TSizeConstraints, int>("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight, 0));
    i.Add(IntProp<TSizeConstraints, int>("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth, 0));
    return i;
  }();
  return info;
}

void TSizeConstraints::Assign(const TPersistent& source) {
  if (auto* c = dynamic_cast<const TSizeConstraints*>(&source)) {
    maxHeight_ = c->maxHeight_; maxWidth_ = c->maxWidth_; minHeight_ = c->minHeight_; minWidth_ = c->minWidth_;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

namespace {
// Sets one limit (0: none, a negative value counts as 0). A maximum below its
// minimum lowers the minimum to it; a minimum above its maximum raises the
// maximum. False when nothing changed.
bool SetLimit(int v, int& limit, int& other, bool isMaximum) {
  if (v == limit) return false;
  limit = v < 0 ? 0 : v;
  const bool crossed = isMaximum ? limit > 0 && limit < other : other > 0 && limit > other;
  if (crossed) other = limit;
  return true;
}
}  // namespace

void TSizeConstraints::SetMaxHeight(int v) { if (SetLimit(v, maxHeight_, minHeight_, true)) Changed(); }
void TSizeConstraints::SetMaxWidth(int v) { if (SetLimit(v, maxWidth_, minWidth_, true)) Changed(); }
void TSizeConstraints::SetMinHeight(int v) { if (SetLimit(v, minHeight_, maxHeight_, false)) Changed(); }
void TSizeConstraints::SetMinWidth(int v) { if (SetLimit(v, minWidth_, maxWidth_, false)) Changed(); }

void TSizeConstraints::Apply(int& width, int& height) const {
  if (maxWidth_ > 0 && width > maxWidth_) width = maxWidth_;
  if (minWidth_ > 0 && width < minWidth_) width = minWidth_;
  if (maxHeight_ > 0 && height > maxHeight_) height = maxHeight_;
  if (minHeight_ > 0 && height < minHeight_) height = minHeight_;
}

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s = 0;
  if (keys & MK_SHIFT) s |= ssShift;
  if (keys & MK_CONTROL) s |= ssCtrl;
  if (keys & MK_LBUTTON) s |= ssLeft;
  if (keys & MK_RBUTTON) s |= ssRight;
  if (keys & MK_MBUTTON) s |= ssMiddle;
  if (::GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
  TShiftState s = 0;
  if (::GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (::GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (keyData & (1 << 29)) s |= ssAlt;  // the context code: Alt was down
  return s;
}

// ---- TControl -----------------------------------------------------------------

TControl::TControl(TComponent* owner)
    : TComponent(owner), constraints_(std::make_unique<TSizeConstraints>()), font_(std::make_unique<TFont>()) {
  font_->OnChange = [this](TObject*) { FontChanged(); };
  constraints_->OnChange = [this](TObject*) { SetBounds(left_, top_, width_, height_); };
}

TControl::~TControl() {
  if (gMouseControl == this) gMouseControl = nullptr;
  if (parent_) parent_->RemoveControl(this);
}

void TControl::BeforeDestruction() {
  TComponent::BeforeDestruction();
  if (gMouseControl == this) gMouseControl = nullptr;
}

const TClassInfo& TControl::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TControl", &TComponent::StaticClassInfo());
    i.Add(IntProp<TControl, int>("Left", &TControl::Left, &TControl::SetLeft));
    i.Add(IntProp<TControl, int>("Top", &TControl::Top, &TControl::SetTop));
    i.Add(IntProp<TControl, int>("Width", &TControl::Width, &TControl::SetWidth));
    i.Add(IntProp<TControl, int>("Height", &TControl::Height, &TControl::SetHeight));
    i.Add(EnumProp<TControl, TAlign>("Align", &TControl::Align, &TControl::SetAlign,
                                     {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}, TAlign::alNone));
    i.Add(SetProp<TControl>("Anchors", &TControl::Anchors, &TControl::SetAnchors,
                            {"akLeft", "akTop", "akRight", "akBottom"}, akLeft | akTop));
    i.Add(ControlColorProp(clWindow));
    i.Add(BoolProp<TControl>("Enabled", &TControl::Enabled, &TControl::SetEnabled, true));
    auto font = ObjectProp<TControl, TFont>("Font", &TControl::Font);
    font.Stored = [](const TPersistent& o) { return !static_cast<const TControl&>(o).ParentFont(); };
    i.Add(std::move(font));
    i.Add(BoolProp<TControl>("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, false));
    i.Add(BoolProp<TControl>("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true));
    i.Add(BoolProp<TControl>("Visible", &TControl::Visible, &TControl::SetVisible, true));
    i.Add(EventProp<TControl>("OnClick", &TControl::OnClick));
    i.Add(EventProp<TControl>("OnDblClick", &TControl::OnDblClick));
    i.Add(EventProp<TControl>("OnMouseDown", &TControl::OnMouseDown));
    i.Add(EventProp<TControl>("OnMouseMove", &TControl::OnMouseMove));
    i.Add(EventProp<TControl>("OnMouseUp", &TControl::OnMouseUp));
    i.Add(EventProp<TControl>("OnResize", &TControl::OnResize));
    return i;
  }();
  return info;
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  WndProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& m) {
  if (IsMouseMessage(m.Msg)) {
    HandleMouse(m);
    return;
  }
  switch (m.Msg) {
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
      Invalidate();
      return;
    case CM_VISIBLECHANGED:
      if (parent_ && parent_->HandleAllocated()) {
        RECT r{left_, top_, left_ + width_, top_ + height_};
        ::InvalidateRect(parent_->HandleNoCreate(), &r, TRUE);
      }
      return;
    case CM_PARENTFONTCHANGED:
      if (parentFont_ && parent_) {
        // Taking the parent's font must not count as setting our own.
        ChangeFontQuietly([this](TFont& f) { f.Assign(*parent_->Font()); });
        Perform(CM_FONTCHANGED);
      }
      return;
    case CM_PARENTCOLORCHANGED:
      if (parentColor_ && parent_) {
        color_ = parent_->Color();
        Perform(CM_COLORCHANGED);
      }
      return;
    case CM_PARENTBIDIMODECHANGED:
      if (parentBiDiMode_ && parent_ && biDiMode_ != parent_->BiDiMode()) {
        biDiMode_ = parent_->BiDiMode();
        Perform(CM_BIDIMODECHANGED);
      }
      return;
    case CM_PARENTSHOWHINTCHANGED:
      if (parentShowHint_ && parent_ && showHint_ != parent_->ShowHint()) {
        showHint_ = parent_->ShowHint();
        Perform(CM_SHOWHINTCHANGED);
      }
      return;
    case CM_BIDIMODECHANGED:
      Invalidate();
      return;
    default:
      DefaultHandler(m);
  }
}

void TControl::DefaultHandler(TMessage&) {}

void TControl::HandleMouse(TMessage& m) {
  const int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
  const TShiftState keys = KeysToShiftState(m.WParam);
  auto down = [&](TMouseButton b, bool dbl) {
    if (dbl && !(controlStyle_ & csDoubleClicks)) dbl = false;
    if (b == TMouseButton::mbLeft) {
      if (controlStyle_ & csCaptureMouse) SetMouseCapture(true);
      if (controlStyle_ & csClickEvents) controlState_ |= csClicked;
      controlState_ |= csLButtonDown;
      if (dbl && (controlStyle_ & csClickEvents)) DblClick();
    }
    MouseDown(b, keys | (dbl ? TShiftState(ssDouble) : TShiftState(0)), x, y);
  };
  auto up = [&](TMouseButton b) {
    if (b == TMouseButton::mbLeft) {
      if (controlStyle_ & csCaptureMouse) SetMouseCapture(false);
      if (controlState_ & csClicked) {
        controlState_ &= ~std::uint32_t(csClicked);
        const TRect cr = ClientRect();
        if (x >= cr.Left && x < cr.Right && y >= cr.Top && y < cr.Bottom) Click();
      }
      controlState_ &= ~std::uint32_t(csLButtonDown);
    }
    MouseUp(b, keys, x, y);
  };
  switch (m.Msg) {
    case WM_MOUSEMOVE: MouseMove(keys, x, y); break;
    case WM_LBUTTONDOWN: down(TMouseButton::mbLeft, false); break;
    case WM_LBUTTONDBLCLK: down(TMouseButton::mbLeft, true); break;
    case WM_RBUTTONDOWN: down(TMouseButton::mbRight, false); break;
    case WM_RBUTTONDBLCLK: down(TMouseButton::mbRight, true); break;
    case WM_MBUTTONDOWN: down(TMouseButton::mbMiddle, false); break;
    case WM_MBUTTONDBLCLK: down(TMouseButton::mbMiddle, true); break;
    case WM_LBUTTONUP: up(TMouseButton::mbLeft); break;
    case WM_RBUTTONUP: up(TMouseButton::mbRight); break;
    case WM_MBUTTONUP: up(TMouseButton::mbMiddle); break;
    default: break;
  }
  DefaultHandler(m);
}

void TControl::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, b, s, x, y);
}
void TControl::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, b, s, x, y);
}
void TControl::MouseMove(TShiftState s, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, s, x, y);
}
void TControl::Click() {
  if (OnClick) OnClick(this);
  else if (action_) action_->Execute();
}

void TControl::SetAction(TBasicAction* a) {
  if (a == action_) return;
  if (action_) action_->RemoveFreeNotification(this);
  action_ = a;
  if (a) {
    a->FreeNotification(this);
    ActionChange(a, a->InState(csLoading) || InState(csLoading));
  }
}

void TControl::ActionChange(TObject* sender, bool checkDefaults) {
  auto* a = dynamic_cast<TCustomAction*>(sender);
  if (!a) return;
  if (!checkDefaults || text_.empty()) SetText(a->Caption());
  if (!checkDefaults || !OnClick) OnClick = a->OnExecute.Fn;
}

void TControl::SetPopupMenu(TPopupMenu* m) {
  if (m == popupMenu_) return;
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = m;
  if (m) m->FreeNotification(this);
}

void TControl::Notification(TComponent* c, TOperation op) {
  TComponent::Notification(c, op);
  if (op != TOperation::opRemove) return;
  if (c == action_) action_ = nullptr;
  if (c == popupMenu_) popupMenu_ = nullptr;
}
void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}
void TControl::Resize() {
  if (OnResize) OnResize(this);
}

bool TControl::MouseCapture() const {
  auto* self = const_cast<TControl*>(this);
  if (auto* w = dynamic_cast<TWinControl*>(self)) return w->HandleAllocated() && ::GetCapture() == w->HandleNoCreate();
  return parent_ && parent_->mouseCapture_ == this;
}

void TControl::SetMouseCapture(bool on) {
  if (auto* w = dynamic_cast<TWinControl*>(this)) {
    if (on) ::SetCapture(w->Handle());
    else if (MouseCapture()) ::ReleaseCapture();
    return;
  }
  if (!parent_) return;
  if (on) {
    parent_->mouseCapture_ = this;
    ::SetCapture(parent_->Handle());
  } else if (parent_->mouseCapture_ == this) {
    parent_->mouseCapture_ = nullptr;
    ::ReleaseCapture();
  }
}

void TControl::SetParent(TWinControl* p) {
  if (p == parent_) return;
  if (p == this) throw EComponentError("A control cannot have itself as its parent");
  if (parent_) parent_->RemoveControl(this);
  if (p) p->InsertControl(this);
}

void TControl::SetParentComponent(TComponent* c) {
  if (auto* w = dynamic_cast<TWinControl*>(c)) SetParent(w);
}

TComponent* TControl::GetParentComponent() const { return parent_; }

TCustomForm* TControl::ParentForm() const {
  const TControl* c = this;
  while (c->parent_) c = c->parent_;
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

void TControl::SetBounds(int left, int top, int width, int height) {
  constraints_->Apply(width, height);
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  const bool resized = width != width_ || height != height_;
  if (parent_ && parent_->HandleAllocated() && visible_) {
    RECT r{left_, top_, left_ + width_, top_ + height_};
    ::InvalidateRect(parent_->HandleNoCreate(), &r, TRUE);
  }
  left_ = left; top_ = top; width_ = width; height_ = height;
  UpdateAnchorRules();
  Invalidate();
  RequestAlign();
  if (resized && !InState(csLoading)) Resize();
}

void TControl::SetClientSize(int w, int h) {
  const TRect cr = ClientRect();
  SetBounds(left_, top_, width_ + (w - cr.Width()), height_ + (h - cr.Height()));
}

TPoint TControl::ClientOrigin() const {
  if (!parent_) return {left_, top_};
  TPoint p = parent_->ClientOrigin();
  return {p.X + left_, p.Y + top_};
}

TPoint TControl::ScreenToClient(TPoint p) const {
  TPoint o = ClientOrigin();
  return {p.X - o.X, p.Y - o.Y};
}

void TControl::UpdateAnchorRules() {
  if (!parent_ || (parent_->alignLevel_ > 0)) return;
  const TRect pc = parent_->ClientRect();
  anchorOrigin_ = {pc.Width(), pc.Height()};
  anchorRules_ = {left_, top_, pc.Width() - (left_ + width_), pc.Height() - (top_ + height_)};
}

void TControl::SetAlign(TAlign v) {
  if (v == align_) return;
  align_ = v;
  RequestAlign();
}

void TControl::SetAnchors(std::uint32_t v) {
  if (v == anchors_) return;
  anchors_ = v;
  UpdateAnchorRules();
}

void TControl::RequestAlign() {
  if (parent_ && !InState(csLoading)) parent_->Realign();
}

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  Perform(CM_VISIBLECHANGED, v ? 1 : 0);
  RequestAlign();
}

void TControl::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetBiDiMode(TBiDiMode v) {
  if (v == biDiMode_) return;
  biDiMode_ = v;
  parentBiDiMode_ = false;
  Perform(CM_BIDIMODECHANGED);
}

void TControl::SetParentBiDiMode(bool v) {
  if (v == parentBiDiMode_) return;
  parentBiDiMode_ = v;
  if (v && parent_) Perform(CM_PARENTBIDIMODECHANGED);
}

UINT TControl::DrawTextBiDiModeFlags(UINT flags) const {
  if (UseRightToLeftAlignment()) {
    if (flags & DT_RIGHT) flags &= ~UINT(DT_RIGHT);
    else if (!(flags & DT_CENTER)) flags |= DT_RIGHT;
  }
  if (UseRightToLeftReading()) flags |= DT_RTLREADING;
  return flags;
}

void TControl::SetShowHint(bool v) {
  if (v == showHint_) return;
  showHint_ = v;
  parentShowHint_ = false;
  Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool v) {
  if (v == parentShowHint_) return;
  parentShowHint_ = v;
  if (v && parent_) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetColor(TColor v) {
  if (v == color_) return;
  color_ = v;
  parentColor_ = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool v) {
  if (v == parentColor_) return;
  parentColor_ = v;
  if (v && parent_) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::FontChanged() {
  parentFont_ = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool v) {
  if (v == parentFont_) return;
  parentFont_ = v;
  if (v && parent_) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetText(const std::string& v) {
  if (v == text_) return;
  text_ = v;
  Perform(CM_TEXTCHANGED);
}

std::wstring TControl::TextW() const { return AnsiToWide(text_); }
void TControl::SetTextW(const std::wstring& v) { SetText(WideToAnsi(v)); }

void TControl::Invalidate() {
  if (parent_ && parent_->HandleAllocated() && visible_) {
    RECT r{left_, top_, left_ + width_, top_ + height_};
    ::InvalidateRect(parent_->HandleNoCreate(), &r, !(controlStyle_ & csOpaque));
  }
}

void TControl::Update() {
  if (parent_ && parent_->HandleAllocated()) ::UpdateWindow(parent_->HandleNoCreate());
}

void TControl::ChangeScale(int m, int d) {
  if (m == d) return;
  const int x = MulDiv(left_, m, d), y = MulDiv(top_, m, d);
  const int w = MulDiv(left_ + width_, m, d) - x, h = MulDiv(top_ + height_, m, d) - y;
  SetBounds(x, y, w, h);
  if (!parentFont_) font_->SetHeight(MulDiv(font_->Height(), m, d));
}

void TControl::Loaded() {
  TComponent::Loaded();
  UpdateAnchorRules();
}

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
  p.Caption = AnsiToWide(text_);
  p.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (controlStyle_ & csAcceptsControls) p.Style |= WS_CLIPCHILDREN;
  if (visible_) p.Style |= WS_VISIBLE;
  if (!enabled_) p.Style |= WS_DISABLED;
  if (tabStop_) p.Style |= WS_TABSTOP;
  p.X = left_; p.Y = top_; p.Width = width_; p.Height = height_;
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
    throw EComponentError("Error creating window of " + ClassName() + " (error " + std::to_string(::GetLastError()) + ")");
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
  if (IsMouseMessage(m.Msg)) {
    // A captured or hit graphic child takes the mouse; coordinates become its own.
    TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    TControl* target = mouseCapture_ ? mouseCapture_ : ControlAtPos(p, false);
    if (m.Msg == WM_MOUSEMOVE) {
      if (!trackingLeave_) {
        TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, hwnd_, 0};
        if (::TrackMouseEvent(&t)) trackingLeave_ = true;
      }
      TControl* under = target ? target : this;
      if (!mouseCapture_ || mouseCapture_ == under) SetMouseControl(under);
    }
    if (target) {
      TMessage fwd = m;
      fwd.LParam = MAKELPARAM(p.X - target->left_, p.Y - target->top_);
      target->WndProc(fwd);
      m.Result = fwd.Result;
      if (target->parent_ == this && m.Msg == WM_LBUTTONUP && mouseCapture_ == target) mouseCapture_ = nullptr;
      return;
    }
    TControl::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_MOUSELEAVE: {
      trackingLeave_ = false;
      // The pointer left our window: leave whatever of ours was under it, unless
      // it moved into one of our child windows (which takes over at its own move).
      TControl* c = gMouseControl;
      if (c == this || (c && c->parent_ == this && !dynamic_cast<TWinControl*>(c))) {
        POINT pt;
        ::GetCursorPos(&pt);
        HWND under = ::WindowFromPoint(pt);
        if (under != hwnd_) SetMouseControl(nullptr);
      }
      DefaultHandler(m);
      return;
    }
    case WM_CAPTURECHANGED:
      if (mouseCapture_ && reinterpret_cast<HWND>(m.LParam) != hwnd_) mouseCapture_ = nullptr;
      DefaultHandler(m);
      return;
    case WM_CONTEXTMENU:
      if (popupMenu_) {
        POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        if (p.x == -1 && p.y == -1) {  // from the keyboard: under the control's middle
          p = {width_ / 2, height_ / 2};
          ::ClientToScreen(hwnd_, &p);
        }
        popupMenu_->Popup(hwnd_, p.x, p.y);
        m.Result = 0;
        return;
      }
      DefaultHandler(m);
      return;
    case WM_PAINT:
      PaintHandler(m);
      return;
    case WM_PRINTCLIENT:
      if (m.LParam & PRF_ERASEBKGND) Perform(WM_ERASEBKGND, m.WParam, 0);
      {
        TMessage p{WM_PAINT, m.WParam, 0, 0};
        PaintHandler(p);
      }
      return;
    case WM_ERASEBKGND: {
      RECT r;
      ::GetClientRect(hwnd_, &r);
      UniqueBrush b(::CreateSolidBrush(ColorToRGB(color_)));
      ::FillRect(reinterpret_cast<HDC>(m.WParam), &r, b.get());
      m.Result = 1;
      return;
    }
    case WM_WINDOWPOSCHANGED:
      DefaultHandler(m);
      UpdateBoundsFromWindow();
      return;
    case WM_SETFOCUS:
      if (TCustomForm* f = ParentForm(); f && f != this) f->SetFocusedControl(this);
      DefaultHandler(m);
      return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      if (DoDialogKey(m)) return;
      WORD key = WORD(m.WParam);
      KeyDown(key, KeyDataToShiftState(m.LParam));
      if (key == 0) return;
      m.WParam = key;
      DefaultHandler(m);
      return;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      WORD key = WORD(m.WParam);
      KeyUp(key, KeyDataToShiftState(m.LParam));
      if (key == 0) return;
      m.WParam = key;
      DefaultHandler(m);
      return;
    }
    case WM_CHAR: {
      char ch = char(m.WParam);
      KeyPress(ch);
      if (ch == 0) return;
      if (!(Perform(WM_GETDLGCODE) & DLGC_WANTCHARS))
        if (TCustomForm* f = ParentForm(); f && f->Perform(CM_DIALOGCHAR, WPARAM(static_cast<unsigned char>(ch)), m.LParam))
          return;
      DefaultHandler(m);
      return;
    }
    case WM_SYSCHAR:
      // Alt plus a character: the accelerator of a control of the form.
      if (TCustomForm* f = ParentForm(); f && f->Perform(CM_DIALOGCHAR, m.WParam, m.LParam)) return;
      DefaultHandler(m);
      return;
    case WM_GETDLGCODE:
      m.Result = 0;
      return;
    case CM_ENTER:
      DoEnter();
      return;
    case CM_EXIT:
      DoExit();
      return;
    case CM_FOCUSCHANGED:
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
      Broadcast(m);
      return;
    case CM_ENABLEDCHANGED:
      if (hwnd_) ::EnableWindow(hwnd_, enabled_);
      Invalidate();
      return;
    case CM_VISIBLECHANGED:
      ShowingChanged();
      return;
    case CM_TEXTCHANGED:
      if (hwnd_) ::SetWindowTextW(hwnd_, AnsiToWide(text_).c_str());
      Invalidate();
      return;
    case CM_FONTCHANGED:
      Invalidate();
      for (auto* c : std::vector<TControl*>(controls_)) c->Perform(CM_PARENTFONTCHANGED);
      return;
    case CM_COLORCHANGED:
      Invalidate();
      for (auto* c : std::vector<TControl*>(controls_)) c->Perform(CM_PARENTCOLORCHANGED);
      return;
    case CM_BIDIMODECHANGED:
      Invalidate();
      for (auto* c : std::vector<TControl*>(controls_)) c->Perform(CM_PARENTBIDIMODECHANGED);
      return;
    case CM_SHOWHINTCHANGED:
      for (auto* c : std::vector<TControl*>(controls_)) c->Perform(CM_PARENTSHOWHINTCHANGED);
      return;
    default:
      TControl::WndProc(m);
  }
}

bool TWinControl::DoDialogKey(TMessage& m) {
  if (InState(csDesigning)) return false;
  UINT mask = 0;
  switch (m.WParam) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN: case VK_EXECUTE: case VK_ESCAPE: case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
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

void TWinControl::InsertControl(TControl* c) {
  c->parent_ = this;
  controls_.push_back(c);
  if (auto* w = dynamic_cast<TWinControl*>(c)) {
    tabList_.push_back(w);
    if (w->pendingTabOrder_ >= 0) ApplyTabOrder();
    if (hwnd_) w->HandleNeeded();
  }
  if (c->parentFont_) c->Perform(CM_PARENTFONTCHANGED);
  if (c->parentColor_) c->Perform(CM_PARENTCOLORCHANGED);
  if (c->parentBiDiMode_) c->Perform(CM_PARENTBIDIMODECHANGED);
  if (c->parentShowHint_) c->Perform(CM_PARENTSHOWHINTCHANGED);
  c->UpdateAnchorRules();
  if (c->align_ != TAlign::alNone) Realign();
  c->Invalidate();
}

void TWinControl::RemoveControl(TControl* c) {
  if (mouseCapture_ == c) mouseCapture_ = nullptr;
  if (auto* w = dynamic_cast<TWinControl*>(c)) {
    w->DestroyHandle();
    tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), w), tabList_.end());
  }
  c->Invalidate();
  controls_.erase(std::remove(controls_.begin(), controls_.end(), c), controls_.end());
  c->parent_ = nullptr;
  Realign();
}

std::vector<TComponent*> TWinControl::GetChildren(const TComponent* root) const {
  // Controls are written inside their parent; the root also writes its non-visual components.
  std::vector<TComponent*> out;
  for (auto* c : controls_)
    if (c->Owner() == root) out.push_back(c);
  if (root == this)
    for (auto* c : Components())
      if (!c->GetParentComponent()) out.push_back(c);
  return out;
}

int TWinControl::TabOrder() const {
  if (!parent_) return -1;
  const auto& l = parent_->tabList_;
  auto it = std::find(l.begin(), l.end(), this);
  return it == l.end() ? -1 : int(it - l.begin());
}

void TWinControl::SetTabOrder(int v) {
  pendingTabOrder_ = v;
  if (parent_) parent_->ApplyTabOrder();
}

void TWinControl::ApplyTabOrder() {
  // Controls that asked for a place take it, in the order they asked; the rest keep theirs.
  std::vector<TWinControl*> asked;
  for (auto* w : tabList_)
    if (w->pendingTabOrder_ >= 0) asked.push_back(w);
  std::stable_sort(asked.begin(), asked.end(),
                   [](TWinControl* a, TWinControl* b) { return a->pendingTabOrder_ < b->pendingTabOrder_; });
  for (auto* w : asked) {
    tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), w), tabList_.end());
    size_t pos = std::min(size_t(w->pendingTabOrder_), tabList_.size());
    tabList_.insert(tabList_.begin() + std::ptrdiff_t(pos), w);
  }
  // While loading, the requested places stay, so that controls read later sort among them.
  for (auto* w : asked)
    if (!w->InState(csLoading)) w->pendingTabOrder_ = -1;
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& out) const {
  for (auto* w : tabList_) {
    out.push_back(w);
    w->GetTabOrderList(out);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* cur, bool forward, bool checkTabStop, bool checkParent) const {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  const int n = int(list.size());
  int start = -1;
  for (int i = 0; i < n; ++i)
    if (list[i] == cur) start = i;
  if (start < 0) start = forward ? n - 1 : 0;
  int i = start;
  for (int k = 0; k < n; ++k) {
    i = forward ? (i + 1) % n : (i - 1 + n) % n;
    TWinControl* c = list[i];
    if (c == cur && k < n - 1) continue;
    if ((!checkTabStop || c->TabStop()) && (!checkParent || c->parent_ == this) && c->CanFocus()) return c;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* cur, bool forward, bool checkTabStop) {
  if (TWinControl* c = FindNextControl(cur, forward, checkTabStop, !checkTabStop)) c->SetFocus();
}

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->parent_)
    if (!c->visible_ || !c->enabled_) return false;
  return true;
}

bool TWinControl::Focused() const { return hwnd_ && ::GetFocus() == hwnd_; }

void TWinControl::SetFocus() {
  if (TCustomForm* f = ParentForm(); f && f != this && !f->HandleAllocated()) {
    f->SetActiveControl(this);
    return;
  }
  ::SetFocus(Handle());
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    if (dynamic_cast<TWinControl*>(c)) continue;
    if (!c->visible_ || (!allowDisabled && !c->enabled_)) continue;
    if (p.X >= c->left_ && p.X < c->left_ + c->width_ && p.Y >= c->top_ && p.Y < c->top_ + c->height_) return c;
  }
  return nullptr;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  constraints_->Apply(width, height);
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  if (hwnd_) {
    // WM_WINDOWPOSCHANGED brings the new bounds back and realigns.
    ::SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    RequestAlign();
    return;
  }
  const bool resized = width != width_ || height != height_;
  left_ = left; top_ = top; width_ = width; height_ = height;
  if (resized) Realign();
  UpdateAnchorRules();
  RequestAlign();
  if (resized && !InState(csLoading)) Resize();
}

void TWinControl::UpdateBoundsFromWindow() {
  RECT r;
  ::GetWindowRect(hwnd_, &r);
  if (HWND parent = ::GetParent(hwnd_); parent && (::GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD))
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  const int w = r.right - r.left, h = r.bottom - r.top;
  const bool resized = w != width_ || h != height_;
  const bool moved = r.left != left_ || r.top != top_;
  left_ = r.left; top_ = r.top; width_ = w; height_ = h;
  if (moved || resized) UpdateAnchorRules();
  if (resized) {
    Realign();
    if (!InState(csLoading)) Resize();
  }
}

TRect TWinControl::ClientRect() const {
  if (hwnd_) {
    RECT r;
    ::GetClientRect(hwnd_, &r);
    return {r.left, r.top, r.right, r.bottom};
  }
  return TControl::ClientRect();
}

bool TWinControl::Showing() const {
  if (hwnd_) return ::IsWindowVisible(hwnd_) != FALSE;
  return TControl::Showing();
}

void TWinControl::ShowingChanged() {
  if (!hwnd_) return;
  ::ShowWindow(hwnd_, visible_ ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::Invalidate() {
  if (hwnd_) ::InvalidateRect(hwnd_, nullptr, !(controlStyle_ & csOpaque));
}

void TWinControl::Realign() {
  if (InState(csLoading) || alignLevel_ > 0) return;
  TRect r = ClientRect();
  ++alignLevel_;
  try {
    AlignControls(r);
  } catch (...) {
    --alignLevel_;
    throw;
  }
  --alignLevel_;
}

void TWinControl::AlignControls(TRect& rect) {
  auto place = [&](TAlign which) {
    std::vector<TControl*> list;
    for (auto* c : controls_)
      if (c->align_ == which && c->visible_) list.push_back(c);
    // Aligned controls keep their relative order along the edge they stick to.
    std::stable_sort(list.begin(), list.end(), [which](TControl* a, TControl* b) {
      switch (which) {
        case TAlign::alTop: return a->top_ < b->top_;
        case TAlign::alBottom: return a->top_ + a->height_ > b->top_ + b->height_;
        case TAlign::alLeft: return a->left_ < b->left_;
        case TAlign::alRight: return a->left_ + a->width_ > b->left_ + b->width_;
        default: return false;
      }
    });
    for (auto* c : list) {
      switch (which) {
        case TAlign::alTop:
          c->SetBounds(rect.Left, rect.Top, rect.Width(), c->height_);
          rect.Top += c->height_;
          break;
        case TAlign::alBottom:
          c->SetBounds(rect.Left, rect.Bottom - c->height_, rect.Width(), c->height_);
          rect.Bottom -= c->height_;
          break;
        case TAlign::alLeft:
          c->SetBounds(rect.Left, rect.Top, c->width_, rect.Height());
          rect.Left += c->width_;
          break;
        case TAlign::alRight:
          c->SetBounds(rect.Right - c->width_, rect.Top, c->width_, rect.Height());
          rect.Right -= c->width_;
          break;
        case TAlign::alClient:
          c->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
          break;
        default: break;
      }
    }
  };
  // Anchors: a control anchored to the right or bottom keeps its distance from that edge.
  const TRect pc = ClientRect();
  for (auto* c : controls_) {
    if (c->align_ != TAlign::alNone || c->anchorOrigin_ == TPoint{}) continue;
    const auto a = c->anchors_;
    if ((a & (akRight | akBottom)) == 0) continue;
    int l = c->left_, t = c->top_, w = c->width_, h = c->height_;
    if (a & akRight) {
      if (a & akLeft) w = pc.Width() - c->anchorRules_.Left - c->anchorRules_.Right;
      else l = pc.Width() - c->anchorRules_.Right - w;
    }
    if (a & akBottom) {
      if (a & akTop) h = pc.Height() - c->anchorRules_.Top - c->anchorRules_.Bottom;
      else t = pc.Height() - c->anchorRules_.Bottom - h;
    }
    c->SetBounds(l, t, w, h);
  }
  place(TAlign::alTop);
  place(TAlign::alBottom);
  place(TAlign::alLeft);
  place(TAlign::alRight);
  place(TAlign::alClient);
}

void TWinControl::Loaded() {
  TControl::Loaded();
  // The tab places read from the stream settle now that every sibling exists,
  // and aligned children take their places.
  ApplyTabOrder();
  Realign();
  for (auto* w : tabList_) w->pendingTabOrder_ = -1;
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::PaintControls(HDC dc, TControl* first) {
  bool started = first == nullptr;
  for (auto* c : controls_) {
    if (!started) { started = c == first; if (!started) continue; }
    auto* g = dynamic_cast<TGraphicControl*>(c);
    // A control painted as a copy (its parent painting beneath it) is left out.
    if (!g || !g->visible_ || g->width_ <= 0 || g->height_ <= 0 || (g->controlState_ & csPaintCopy)) continue;
    RECT box;
    RECT cr{g->left_, g->top_, g->left_ + g->width_, g->top_ + g->height_};
    RECT inter;
    if (::GetClipBox(dc, &box) != NULLREGION && !::IntersectRect(&inter, &box, &cr)) continue;
    ScopedSaveDC save(dc);
    ::OffsetViewportOrgEx(dc, g->left_, g->top_, nullptr);
    ::IntersectClipRect(dc, 0, 0, g->width_, g->height_);
    TCanvasBinding bind(g->Canvas(), dc);
    g->Paint();
  }
}

void TWinControl::PaintHandler(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  // BeginPaint/EndPaint for WM_PAINT; WM_PRINTCLIENT and PaintTo bring their own DC.
  std::optional<ScopedPaint> paint;
  if (!dc) dc = paint.emplace(hwnd_).get();
  PaintWindow(dc);
  PaintControls(dc, nullptr);
  m.Result = 0;
}

void TWinControl::PaintTo(HDC dc, int x, int y) {
  HandleNeeded();  // the children's layout and client size come from the windows
  ScopedSaveDC save(dc);
  ::OffsetViewportOrgEx(dc, x, y, nullptr);
  // The window's client area (a control may define ClientRect as less of it).
  RECT cr;
  ::GetClientRect(hwnd_, &cr);
  ::IntersectClipRect(dc, 0, 0, cr.right, cr.bottom);
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  for (auto* w : tabList_)
    if (w->visible_) w->PaintTo(dc, w->left_, w->top_);
}

void TWinControl::ChangeScale(int m, int d) {
  if (m == d) return;
  ++alignLevel_;
  for (auto* c : std::vector<TControl*>(controls_)) c->ChangeScale(m, d);
  --alignLevel_;
  TControl::ChangeScale(m, d);
  for (auto* c : controls_) c->UpdateAnchorRules();
}

// ---- TCustomControl, TGraphicControl ------------------------------------------------

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), canvas_(std::make_unique<TCanvas>()) {}
TCustomControl::~TCustomControl() = default;

const TClassInfo& TCustomControl::StaticClassInfo() {
  static const TClassInfo info("TCustomControl", &TWinControl::StaticClassInfo());
  return info;
}

void TCustomControl::PaintWindow(HDC dc) {
  TCanvasBinding bind(*canvas_, dc);
  Paint();
}

void TCustomControl::FillWithColor() {
  canvas_->Brush().SetStyle(TBrushStyle::bsSolid);
  canvas_->Brush().SetColor(color_);
  canvas_->FillRect(Rect(0, 0, width_, height_));
}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), canvas_(std::make_unique<TCanvas>()) {}
TGraphicControl::~TGraphicControl() = default;

const TClassInfo& TGraphicControl::StaticClassInfo() {
  static const TClassInfo info("TGraphicControl", &TControl::StaticClassInfo());
  return info;
}

void TGraphicControl::WndProc(TMessage& m) { TControl::WndProc(m); }

}  // namespace fw
