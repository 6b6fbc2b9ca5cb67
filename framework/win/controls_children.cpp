// TWinControl's children: the child list, tab order and focus, bounds and
// alignment, and painting the window with its graphic children.
#include "framework/win/controls.h"

#include "framework/win/controls_internal.h"
#include "framework/win/forms.h"
#include "framework/win/menus.h"
#include "framework/win/sysutils.h"

namespace fw {

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
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
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
  left_ = r.left;
  top_ = r.top;
  width_ = w;
  height_ = h;
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
        case TAlign::alClient: c->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height()); break;
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
      if (a & akLeft)
        w = pc.Width() - c->anchorRules_.Left - c->anchorRules_.Right;
      else
        l = pc.Width() - c->anchorRules_.Right - w;
    }
    if (a & akBottom) {
      if (a & akTop)
        h = pc.Height() - c->anchorRules_.Top - c->anchorRules_.Bottom;
      else
        t = pc.Height() - c->anchorRules_.Bottom - h;
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
    if (!started) {
      started = c == first;
      if (!started) continue;
    }
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

}  // namespace fw
