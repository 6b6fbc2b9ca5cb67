// The embedded scroll bar of the windowed themed base.
#include <windows.h>
#include <vsstyle.h>

#include <algorithm>

#include "themed/win/te_controls.h"
#include "themed/win/te_utils.h"
#include "themed/win/te_winapi.h"

namespace te {

using namespace fw;

TTeScrollBar::TTeScrollBar(TComponent* owner) : TTeGraphicControl(owner) {
  SetBounds(0, 0, 121, ::GetSystemMetrics(SM_CYHSCROLL));
}

const TClassInfo& TTeScrollBar::StaticClassInfo() {
  static const TClassInfo info("TTeScrollBar", &TTeGraphicControl::StaticClassInfo());
  return info;
}

void TTeScrollBar::SetKind(TScrollBarKind v) {
  if (v == kind_) return;
  kind_ = v;
  Invalidate();
}

void TTeScrollBar::SetBorderWidth(int v) {
  if (v == borderWidth_) return;
  borderWidth_ = std::max(v, 0);
  Invalidate();
}

void TTeScrollBar::SetRange(int min, int max) {
  min_ = min;
  max_ = std::max(min, max);
  SetPosition(position_);
  Invalidate();
}

void TTeScrollBar::SetPosition(int v) {
  v = std::clamp(v, min_, max_);
  if (v == position_) return;
  position_ = v;
  Invalidate();
}

void TTeScrollBar::SetPageSize(int v) {
  if (v == pageSize_) return;
  pageSize_ = std::max(v, 0);
  Invalidate();
}

void TTeScrollBar::Scroll(int code, int position) {
  position = std::clamp(position, min_, max_);
  if (OnScroll) OnScroll(this, code, position);
  SetPosition(position);
}

// Along the bar: its length, the arrows' length (square, or shared when the bar is short).
namespace {
struct TAxis {
  int length, thickness, arrow;
};
TAxis AxisOf(const TTeScrollBar& b) {
  const int w = b.Width() - 2 * b.BorderWidth(), h = b.Height() - 2 * b.BorderWidth();
  TAxis a{b.Kind() == sbHorizontal ? w : h, b.Kind() == sbHorizontal ? h : w, 0};
  a.arrow = std::min(a.thickness, a.length / 2);
  return a;
}
}  // namespace

TRect TTeScrollBar::ArrowRect(bool second) const {
  const TAxis a = AxisOf(*this);
  const int from = second ? a.length - a.arrow : 0;
  const int b = borderWidth_;
  return kind_ == sbHorizontal ? Bounds(b + from, b, a.arrow, a.thickness) : Bounds(b, b + from, a.thickness, a.arrow);
}

TRect TTeScrollBar::TrackRect() const {
  const TAxis a = AxisOf(*this);
  const int b = borderWidth_;
  const int len = std::max(a.length - 2 * a.arrow, 0);
  return kind_ == sbHorizontal ? Bounds(b + a.arrow, b, len, a.thickness) : Bounds(b, b + a.arrow, a.thickness, len);
}

TRect TTeScrollBar::ThumbRect() const {
  const TRect track = TrackRect();
  const TAxis a = AxisOf(*this);
  const int trackLen = kind_ == sbHorizontal ? track.Width() : track.Height();
  const int range = max_ - min_;
  if (range <= 0 || trackLen <= 0) return Rect(0, 0, 0, 0);
  // The page's share of the range, at least half the bar's thickness.
  int thumb = pageSize_ > 0 ? fw::MulDiv(trackLen, pageSize_, range + pageSize_) : a.thickness;
  thumb = std::clamp(thumb, std::min(a.thickness / 2 + 4, trackLen), trackLen);
  const int offset = fw::MulDiv(trackLen - thumb, position_ - min_, range);
  return kind_ == sbHorizontal ? Bounds(track.Left + offset, track.Top, thumb, track.Height())
                               : Bounds(track.Left, track.Top + offset, track.Width(), thumb);
}

int TTeScrollBar::PositionAt(int x, int y) const {
  const TRect track = TrackRect(), thumb = ThumbRect();
  const int trackLen = kind_ == sbHorizontal ? track.Width() - thumb.Width() : track.Height() - thumb.Height();
  if (trackLen <= 0) return position_;
  const int along = (kind_ == sbHorizontal ? x - track.Left : y - track.Top) - trackOffset_;
  return min_ + fw::MulDiv(std::clamp(along, 0, trackLen), max_ - min_, trackLen);
}

void TTeScrollBar::PaintClient() {
  TCanvas& c = Canvas();
  const TRect all = Rect(0, 0, Width(), Height());
  FillRectColor(c, all, Color());
  const TRect first = ArrowRect(false), second = ArrowRect(true), track = TrackRect(), thumb = ThumbRect();
  const bool horizontal = kind_ == sbHorizontal;
  if (TThemeData theme(nullptr, L"ScrollBar"); theme) {
    const int arrowBase = Enabled() ? 1 : 4;  // ABS_UPNORMAL / ABS_UPDISABLED, +4 down, +8 left, +12 right
    theme.DrawBackground(c.Handle(), SBP_ARROWBTN, horizontal ? 8 + arrowBase : arrowBase, first);
    theme.DrawBackground(c.Handle(), SBP_ARROWBTN, horizontal ? 12 + arrowBase : 4 + arrowBase, second);
    theme.DrawBackground(c.Handle(), horizontal ? SBP_LOWERTRACKHORZ : SBP_LOWERTRACKVERT, 1, track);
    if (!RectIsEmpty(thumb))
      theme.DrawBackground(c.Handle(), horizontal ? SBP_THUMBBTNHORZ : SBP_THUMBBTNVERT, Enabled() ? 1 : 4, thumb);
    return;
  }
  const UINT disabled = Enabled() ? 0 : DFCS_INACTIVE;
  RECT r1{first.Left, first.Top, first.Right, first.Bottom}, r2{second.Left, second.Top, second.Right, second.Bottom};
  ::DrawFrameControl(c.Handle(), &r1, DFC_SCROLL, (horizontal ? DFCS_SCROLLLEFT : DFCS_SCROLLUP) | disabled);
  ::DrawFrameControl(c.Handle(), &r2, DFC_SCROLL, (horizontal ? DFCS_SCROLLRIGHT : DFCS_SCROLLDOWN) | disabled);
  FillChecker(c, track, clBtnFace, clBtnHighlight);
  if (!RectIsEmpty(thumb)) {
    RECT t{thumb.Left, thumb.Top, thumb.Right, thumb.Bottom};
    ::DrawFrameControl(c.Handle(), &t, DFC_BUTTON, DFCS_BUTTONPUSH);
  }
}

void TTeScrollBar::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
  TTeGraphicControl::MouseDown(b, s, x, y);
  if (b != TMouseButton::mbLeft || !Enabled()) return;
  auto inside = [x, y](const TRect& r) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; };
  const TRect thumb = ThumbRect();
  if (inside(ArrowRect(false))) {
    Scroll(SB_LINEUP, position_ - smallChange_);
  } else if (inside(ArrowRect(true))) {
    Scroll(SB_LINEDOWN, position_ + smallChange_);
  } else if (inside(thumb)) {
    tracking_ = true;
    trackOffset_ = kind_ == sbHorizontal ? x - thumb.Left : y - thumb.Top;
    trackPosition_ = position_;
    return;
  } else if (inside(TrackRect())) {
    const bool before = kind_ == sbHorizontal ? x < thumb.Left : y < thumb.Top;
    const int page = pageSize_ > 0 ? pageSize_ : largeChange_;
    Scroll(before ? SB_PAGEUP : SB_PAGEDOWN, before ? position_ - page : position_ + page);
  } else {
    return;
  }
  Scroll(SB_ENDSCROLL, position_);
}

void TTeScrollBar::MouseMove(TShiftState s, int x, int y) {
  TTeGraphicControl::MouseMove(s, x, y);
  if (!tracking_) return;
  const int p = PositionAt(x, y);
  if (p == trackPosition_) return;
  trackPosition_ = p;
  Scroll(SB_THUMBTRACK, p);
}

void TTeScrollBar::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
  TTeGraphicControl::MouseUp(b, s, x, y);
  if (!tracking_) return;
  tracking_ = false;
  Scroll(SB_THUMBPOSITION, PositionAt(x, y));
  Scroll(SB_ENDSCROLL, position_);
}

}  // namespace te
