// Plain value types shared by the framework and the themed library. No windows.h here.
#pragma once
#include <cstdint>
#include <ostream>
#include <string>

namespace fw {

using TColor = std::uint32_t;  // 0x00BBGGRR, or 0xFF0000nn for system colour nn

constexpr TColor clSystemColor = 0xFF000000u;
constexpr TColor clNone = 0x1FFFFFFFu;
constexpr TColor clDefault = 0x20000000u;
constexpr TColor clBlack = 0x000000u, clMaroon = 0x000080u, clGreen = 0x008000u, clOlive = 0x008080u,
                 clNavy = 0x800000u, clPurple = 0x800080u, clTeal = 0x808000u, clGray = 0x808080u,
                 clSilver = 0xC0C0C0u, clRed = 0x0000FFu, clLime = 0x00FF00u, clYellow = 0x00FFFFu,
                 clBlue = 0xFF0000u, clFuchsia = 0xFF00FFu, clAqua = 0xFFFF00u, clWhite = 0xFFFFFFu;
// System colour references, resolved when drawn (COLOR_ indexes of Windows).
constexpr TColor clScrollBar = clSystemColor | 0, clBackground = clSystemColor | 1,
                 clActiveCaption = clSystemColor | 2, clInactiveCaption = clSystemColor | 3,
                 clMenu = clSystemColor | 4, clWindow = clSystemColor | 5,
                 clWindowFrame = clSystemColor | 6, clMenuText = clSystemColor | 7,
                 clWindowText = clSystemColor | 8, clCaptionText = clSystemColor | 9,
                 clActiveBorder = clSystemColor | 10, clInactiveBorder = clSystemColor | 11,
                 clAppWorkSpace = clSystemColor | 12, clHighlight = clSystemColor | 13,
                 clHighlightText = clSystemColor | 14, clBtnFace = clSystemColor | 15,
                 clBtnShadow = clSystemColor | 16, clGrayText = clSystemColor | 17,
                 clBtnText = clSystemColor | 18, clInactiveCaptionText = clSystemColor | 19,
                 clBtnHighlight = clSystemColor | 20, cl3DDkShadow = clSystemColor | 21,
                 cl3DLight = clSystemColor | 22, clInfoText = clSystemColor | 23, clInfoBk = clSystemColor | 24;

constexpr bool IsSystemColor(TColor c) { return (c & 0xFF000000u) == clSystemColor; }

// Horizontal placement of a control's text.
enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

struct TPoint {
  std::int32_t X = 0, Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Right and bottom are exclusive.
struct TRect {
  std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  constexpr std::int32_t Width() const { return Right - Left; }
  constexpr std::int32_t Height() const { return Bottom - Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline std::ostream& operator<<(std::ostream& o, const TRect& r) {
  return o << "(" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << ")";
}
inline std::ostream& operator<<(std::ostream& o, const TPoint& p) { return o << "(" << p.X << ", " << p.Y << ")"; }

constexpr TRect Rect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) { return {l, t, r, b}; }
constexpr TRect Bounds(std::int32_t l, std::int32_t t, std::int32_t w, std::int32_t h) { return {l, t, l + w, t + h}; }
// r shrunk by dx on the left and right and dy at the top and bottom (grown when negative).
constexpr TRect Inset(const TRect& r, std::int32_t dx, std::int32_t dy) {
  return {r.Left + dx, r.Top + dy, r.Right - dx, r.Bottom - dy};
}
// r moved by (dx, dy).
constexpr TRect Moved(const TRect& r, std::int32_t dx, std::int32_t dy) {
  return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

// Windows' MulDiv: rounds half away from zero, -1 when the divisor is 0.
constexpr std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
  if (c == 0) return -1;
  std::int64_t p = std::int64_t(a) * b;
  bool neg = (p < 0) != (c < 0);
  std::int64_t ap = p < 0 ? -p : p, ac = c < 0 ? -std::int64_t(c) : c;
  std::int64_t q = (ap + ac / 2) / ac;
  return std::int32_t(neg ? -q : q);
}

}  // namespace fw
