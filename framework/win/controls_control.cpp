// TControl: the base of every control: properties and their change
// messages, the message entry, mouse input, parent, bounds and anchors.
#include "framework/win/controls.h"

#include <windowsx.h>

#include "framework/core/exception.h"
#include "framework/win/actnlist.h"
#include "framework/win/controls_internal.h"
#include "framework/win/forms.h"
#include "framework/win/menus.h"
#include "framework/win/sysutils.h"

namespace fw {

namespace internal {

namespace {
TControl* gMouseControl = nullptr;
}  // namespace

TControl* MouseControl() { return gMouseControl; }

void SetMouseControl(TControl* c) {
  if (c == gMouseControl) return;
  TControl* old = gMouseControl;
  gMouseControl = c;
  if (old) old->Perform(CM_MOUSELEAVE, 0, MouseControlParam(old));
  if (c) c->Perform(CM_MOUSEENTER, 0, MouseControlParam(c));
}

void ForgetMouseControl(const TControl* c) {
  if (gMouseControl == c) gMouseControl = nullptr;
}

}  // namespace internal

using internal::IsMouseMessage;

// ---- TControl -----------------------------------------------------------------

TControl::TControl(TComponent* owner)
    : TComponent(owner), constraints_(std::make_unique<TSizeConstraints>()), font_(std::make_unique<TFont>()) {
  font_->OnChange = [this](TObject*) { FontChanged(); };
  constraints_->OnChange = [this](TObject*) { SetBounds(left_, top_, width_, height_); };
}

TControl::~TControl() {
  internal::ForgetMouseControl(this);
  if (parent_) parent_->RemoveControl(this);
}

void TControl::BeforeDestruction() {
  TComponent::BeforeDestruction();
  internal::ForgetMouseControl(this);
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
    case CM_TEXTCHANGED: Invalidate(); return;
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
    case CM_BIDIMODECHANGED: Invalidate(); return;
    default: DefaultHandler(m);
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
  if (OnClick)
    OnClick(this);
  else if (action_)
    action_->Execute();
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
    if (on)
      ::SetCapture(w->Handle());
    else if (MouseCapture())
      ::ReleaseCapture();
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
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
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
    if (flags & DT_RIGHT)
      flags &= ~UINT(DT_RIGHT);
    else if (!(flags & DT_CENTER))
      flags |= DT_RIGHT;
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

std::wstring TControl::TextW() const { return TextToWide(text_); }
void TControl::SetTextW(const std::wstring& v) { SetText(WideToText(v)); }

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

}  // namespace fw
