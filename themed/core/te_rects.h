// Rectangle arithmetic of the library; right and bottom are exclusive and
// halving truncates toward zero. Windows-free.
#pragma once
#include "framework/core/types.h"

namespace te {

using fw::TRect;

constexpr int RectWidth(const TRect& r) { return r.Right - r.Left; }
constexpr int RectHeight(const TRect& r) { return r.Bottom - r.Top; }

// Moves r (its size kept) to the centre of bounds; result receives the moved r.
inline void CenterRect(TRect& r, const TRect& bounds, TRect& result) {
  const int w = RectWidth(r), h = RectHeight(r);
  r.Left = bounds.Left + (RectWidth(bounds) - w) / 2;
  r.Top = bounds.Top + (RectHeight(bounds) - h) / 2;
  r.Right = r.Left + w;
  r.Bottom = r.Top + h;
  result = r;
}

// As CenterRect, with the left edge at bounds.Left.
inline void CenterRectVert(TRect& r, const TRect& bounds, TRect& result) {
  const int w = RectWidth(r), h = RectHeight(r);
  r.Left = bounds.Left;
  r.Top = bounds.Top + (RectHeight(bounds) - h) / 2;
  r.Right = r.Left + w;
  r.Bottom = r.Top + h;
  result = r;
}

inline void GrowRect(const TRect& r, int d, TRect& result) { result = {r.Left - d, r.Top - d, r.Right + d, r.Bottom + d}; }
constexpr bool RectIsEmpty(const TRect& r) { return RectWidth(r) < 1 || RectHeight(r) < 1; }
constexpr bool RectsEqual(const TRect& a, const TRect& b) {
  return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
}

}  // namespace te
