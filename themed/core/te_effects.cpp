#include "themed/core/te_effects.h"
#include "themed/core/te_effect_cache.h"
#include "themed/core/te_effect_fills.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TE_EFFECTS_SSE2 1
#endif

namespace te {

namespace {

using u8 = std::uint8_t;
enum class TStyle { Slide, Fade, Smooth };

int Diag(int w, int h) { return RoundEven(std::sqrt(double(w) * w + double(h) * h)); }
int Max(int a, int b) { return a > b ? a : b; }
int Min(int a, int b) { return a < b ? a : b; }

// The constant value of the Slide and Fade styles.
template <TStyle S>
u8 Flat(int p) {
  return S == TStyle::Slide ? 255 : FadeValue(p);
}

// ---- rows -----------------------------------------------------------------

template <TStyle S>
void Down(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TFadeGrid g(c, w, h);
  for (int k = 0; k <= EffectMulDiv(p, h - 1, 100); ++k) g.Row(k, Flat<S>(p));
}

void SmoothDown(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TFadeGrid g(c, w, h);
  const int n = EffectMulDiv(RoundEven(1.5 * h), p, 100);
  for (int k = 0; k <= n; ++k) g.Row(k, SmoothValue(k, n, p));
}

template <TStyle S>
void In(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TFadeGrid g(c, w, h);
  const int m = EffectMulDiv(p, h / 2, 100);
  for (int y = h - 1; y >= h - 1 - m; --y) g.Row(y, Flat<S>(p));
  for (int y = 0; y <= m; ++y) g.Row(y, Flat<S>(p));
}

void SmoothIn(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TFadeGrid g(c, w, h);
  const int n = EffectMulDiv(RoundEven(0.8 * h), p, 100);
  for (int k = 0; k <= n && k <= h / 2; ++k) {
    g.Row(h - 1 - k, SmoothValue(k, n, p));
    g.Row(k, SmoothValue(k, n, p));
  }
}

template <TStyle S>
void Out(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TFadeGrid g(c, w, h);
  const int cy = h / 2;
  for (int k = 0; k <= EffectMulDiv(p, cy, 100); ++k) {
    g.Row(cy - k, Flat<S>(p));
    g.Row(cy + k, Flat<S>(p));
  }
}

void SmoothOut(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TFadeGrid g(c, w, h);
  const int cy = h / 2, n = EffectMulDiv(RoundEven(0.8 * h), p, 100);
  for (int k = 0; k <= n && k <= cy; ++k) {
    g.Row(cy - k, SmoothValue(k, n, p));
    g.Row(cy + k, SmoothValue(k, n, p));
  }
}

// ---- diagonals ---------------------------------------------------------------

// The corner fan of lines from the left side to the top: when X >= Y, from
// (0, min(i, Y)) to (i, 0) for i = 0..X; otherwise from (0, j) to (min(j, X), 0)
// for j = 0..Y. The lines up to the corner's diagonal fill its triangle and the
// longer ones step at most one cell from their neighbours, so the fan leaves
// no holes: it is every cell on or above its outermost line, and row y of it
// is the run 0..Extent[y] (y = 0..Y; the extents never grow downwards).
std::vector<int> FanExtents(int X, int Y) {
  using grid_detail::Moved;
  std::vector<int> extent(size_t(Y) + 1);
  if (X >= Y) {
    // The outermost line, x-major, reaches row Y - Moved(x, Y, X) at column x.
    int x = X;
    for (int y = 0; y <= Y; ++y) {
      while (x > 0 && Y - Moved(x, Y, X) < y) --x;
      extent[size_t(y)] = x;
    }
  } else {
    // The outermost line, y-major, has one cell a row, at round Y - y.
    for (int y = 0; y <= Y; ++y) extent[size_t(y)] = int(Moved(Y - y, X, Y));
  }
  return extent;
}

// A fan drawn into the grid from one of its corners: flipX counts its columns
// from the right, flipY its rows from the bottom; transposed, the fan's rows
// are the grid's columns.
void FillFan(TFadeGrid& g, const std::vector<int>& extent, bool flipX, bool flipY, bool transposed, u8 v) {
  auto run = [&](int row, int last) {  // cells 0..last of a grid row, counted from the fan's side
    const int y = flipY ? g.H - 1 - row : row;
    if (flipX)
      g.Rect(g.W - 1 - last, y, g.W - 1, y, v);
    else
      g.Rect(0, y, last, y, v);
  };
  const int rows = int(extent.size());
  if (!transposed) {
    for (int y = 0; y < rows && y < g.H; ++y) run(y, extent[size_t(y)]);
    return;
  }
  // Grid row r holds the fan's column r: the fan rows whose extent reaches r.
  int last = rows - 1;
  for (int r = 0; r < g.H && r <= extent[0]; ++r) {
    while (last > 0 && extent[size_t(last)] < r) --last;
    run(r, last);
  }
}

template <TStyle S>
void Diagonal(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TFadeGrid g(c, w, h);
  const int a = EffectMulDiv(w - 1, p, 100), b = EffectMulDiv(h - 1, p, 100);
  FillFan(g, FanExtents(2 * a, 2 * b), false, false, false, Flat<S>(p));
}

void Factors(int w, int h, double& fx, double& fy) {
  if (h < w) {
    fx = 1;
    fy = double(h) / w;
  } else {
    fx = double(w) / h;
    fy = 1;
  }
}

// ---- families of shapes -------------------------------------------------------

// Effects that draw, in increasing k, shapes whose cells do not depend on the
// progress: the cells each k covers, per grid size (TShapeCover), so that a
// frame is one pass instead of thousands of lines or circles; where a cell's
// covering shapes leave a gap, the effect draws its shapes one by one. The two
// families last used are kept.
enum class TFamily : std::uint8_t {
  CircleCentre,
  CircleCorner,
  Diamond,
  RotateSmooth,
  SmoothDiagonal,
  SmoothDiagonalIn,
  SmoothDiagonalOut,
  RectOutline,
  CrossOutline
};

// The cells of shape k of a family, given to plot; the k past which no shape touches the grid.
template <class Plot>
void FamilyShape(TFamily f, int w, int h, int k, Plot&& plot, double& sx, double& sy) {
  double fx, fy;
  Factors(w, h, fx, fy);
  auto line = [&](int x0, int y0, int x1, int y1) { ForLineCells(x0, y0, x1, y1, w, h, plot); };
  switch (f) {
    case TFamily::CircleCentre: ForCircleCells(w / 2, h / 2, k, w, h, plot); break;
    case TFamily::CircleCorner: ForCircleCells(0, h - 1, k, w, h, plot); break;
    case TFamily::Diamond: {
      const int cx = w / 2, cy = h / 2, gx = RoundEven(k * fx), hy = RoundEven(k * fy);
      line(cx, cy + hy, cx - gx, cy);
      line(cx - gx, cy, cx, cy - hy);
      line(cx, cy - hy, cx + gx, cy);
      line(cx + gx, cy, cx, cy + hy);
      break;
    }
    case TFamily::RectOutline: {  // RectOutline's four sides
      const int cx = w / 2, cy = h / 2, mx = RoundEven(fx * k), my = RoundEven(fy * k);
      line(cx - mx, cy + my, cx - mx, cy - my);
      line(cx - mx, cy - my, cx + mx, cy - my);
      line(cx + mx, cy - my, cx + mx, cy + my);
      line(cx + mx, cy + my, cx - mx, cy + my);
      break;
    }
    case TFamily::CrossOutline: {  // SmoothCrossOut's twelve sides
      const int cx = w / 2, cy = h / 2;
      const int t = RoundEven(fx * k), u = RoundEven(fy * k), t2 = t / 2, u2 = u / 2;
      const int pts[13][2] = {{cx - t2, cy + u},  {cx - t2, cy + u2}, {cx - t, cy + u2},  {cx - t, cy - u2},
                              {cx - t2, cy - u2}, {cx - t2, cy - u},  {cx + t2, cy - u},  {cx + t2, cy - u2},
                              {cx + t, cy - u2},  {cx + t, cy + u2},  {cx + t2, cy + u2}, {cx + t2, cy + u},
                              {cx - t2, cy + u}};
      for (int i = 0; i < 12; ++i) line(pts[i][0], pts[i][1], pts[i + 1][0], pts[i + 1][1]);
      break;
    }
    case TFamily::RotateSmooth:
      if (k < h)
        line(0, h - 1, w - 1, h - k);
      else
        line(0, h - 1, w + h - k, 0);
      break;
    case TFamily::SmoothDiagonal: line(0, RoundEven(k * fy), RoundEven(k * fx), 0); break;
    case TFamily::SmoothDiagonalIn:
    case TFamily::SmoothDiagonalOut: {
      // The effect's own running sums, advanced shape by shape as it does.
      const int fxk = RoundEven(sx), fyk = RoundEven(sy);
      if (f == TFamily::SmoothDiagonalOut) {
        line(0, h - 1 - fyk, w - fxk, 0);
        line(fxk, h - 1, w - 1, fyk);
      } else {
        line(0, h - 1 - fyk, fxk, h - 1);
        line(w - fxk, 0, w - 1, fyk);
      }
      sy += w < h ? 1.0 : double(h) / w;
      sx += w < h ? double(w) / h : 1.0;
      break;
    }
  }
}

int FamilyLast(TFamily f, int w, int h) {
  const int far = Diag(w, h) + 2;
  switch (f) {
    case TFamily::CircleCentre: return far / 2 + 2;
    case TFamily::CircleCorner: return far;
    case TFamily::Diamond: return Max(Max(w, h), RoundEven(2.5 * Max(w, h)) / 2);
    case TFamily::RotateSmooth: return 2 * (w + h);
    case TFamily::SmoothDiagonal: return RoundEven(2.5 * std::sqrt(double(w) * w + double(h) * h));
    case TFamily::RectOutline: return RoundEven(1.6 * Max(w, h)) / 2;
    case TFamily::CrossOutline: return RoundEven(2.5 * Max(w, h)) / 2;
    default: return Max(w, h) - 1;
  }
}

// The family's cover for the grid, or nullptr when it cannot serve: always for
// a frame of shapes from 0 on; for one of a later first shape (gapless) only
// when no cell's covering shapes leave a gap. Drawn once per grid size and kept
// in the cache the transition handed over.
const TShapeCover* FamilyCover(TEffectCache& cache, TFamily f, int w, int h, bool gapless = true) {
  const TShapeCover& c = cache.Cover(int(f), w, h, [&](TShapeCover& cover) {
    double sx = 0, sy = 0;
    cover.Build(w, h, FamilyLast(f, w, h), [&](int k, auto&& plot) { FamilyShape(f, w, h, k, plot, sx, sy); });
  });
  return c.Built && (c.Gapless || !gapless) ? &c : nullptr;
}

const TShapeCover* CircleCover(TEffectCache& cache, int w, int h, bool corner, bool gapless = true) {
  return FamilyCover(cache, corner ? TFamily::CircleCorner : TFamily::CircleCentre, w, h, gapless);
}

void SmoothDiagonal(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  const int n = EffectMulDiv(p, RoundEven(2.5 * std::sqrt(double(w) * w + double(h) * h)), 100);
  TCacheInHand hand;
  if (const TShapeCover* cover = FamilyCover(hand.Get(), TFamily::SmoothDiagonal, w, h))
    return cover->Paint(c, 0, n, [&](int k) { return SmoothValue(k, n, p); });
  TFadeGrid g(c, w, h);
  double fx, fy;
  Factors(w, h, fx, fy);
  for (int k = 0; k <= n; ++k) g.MaskLine(0, RoundEven(k * fy), RoundEven(k * fx), 0, SmoothValue(k, n, p));
}

// How far the diagonal In and Out effects reach along each side at progress p.
void CornerReach(int w, int h, int p, int& ch, int& cw) {
  const double q = p / 100.0;
  ch = RoundEven(q * (h - 1));
  cw = RoundEven(q * (w - 1));
}

// Two fans: from the lower left corner (lines from the left side to the
// bottom) and, turned over, from the upper right one (from the top to the
// right side).
template <TStyle S>
void DiagonalIn(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TFadeGrid g(c, w, h);
  int ch, cw;
  CornerReach(w, h, p, ch, cw);
  const u8 v = Flat<S>(p);
  FillFan(g, FanExtents(cw, ch), false, true, false, v);
  FillFan(g, FanExtents(ch, cw), true, false, true, v);
}

template <bool kOut>
void SmoothDiagonalInOut(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  const int b = EffectMulDiv(Diag(w, h), p, 100);
  const double step = b == 0 ? 2.0 * p : 2.0 * p / b;
  auto value = [&](int k) {
    int r = EffectMulDiv(RoundEven(2.0 * p - k * step / 2), 255, 100);
    if (r < 0) r = 0;
    if (r >= 256 || p == 100) r = 255;
    return u8(r);
  };
  TCacheInHand hand;
  if (const TShapeCover* cover =
          FamilyCover(hand.Get(), kOut ? TFamily::SmoothDiagonalOut : TFamily::SmoothDiagonalIn, w, h))
    return cover->Paint(c, 0, Min(2 * b, Max(w, h) - 1), value);
  TFadeGrid g(c, w, h);
  double sx = 0, sy = 0;
  for (int k = 0; k <= 2 * b && k < Max(w, h); ++k) {
    const int r = value(k);
    const int fx = RoundEven(sx), fy = RoundEven(sy);
    if (kOut) {
      g.MaskLine(0, h - 1 - fy, w - fx, 0, u8(r));
      g.MaskLine(fx, h - 1, w - 1, fy, u8(r));
    } else {
      g.MaskLine(0, h - 1 - fy, fx, h - 1, u8(r));
      g.MaskLine(w - fx, 0, w - 1, fy, u8(r));
    }
    sy += w < h ? 1.0 : double(h) / w;
    sx += w < h ? double(w) / h : 1.0;
  }
}

// The first and the last column of each row (0..h-1) that the line MaskLine
// would step from (x0, y0) to (x1, y1) passes, columns outside the grid included.
void LineRowExtents(int x0, int y0, int x1, int y1, int h, std::vector<int>& first, std::vector<int>& last) {
  using grid_detail::Moved;
  const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0), m = Max(dx, dy);
  const int sx = x1 - x0 >= 1 ? 1 : -1, sy = y1 - y0 >= 1 ? 1 : -1;
  for (int r = 0; r <= m; ++r) {
    const int x = x0 + sx * int(Moved(r, dx, m)), y = y0 + sy * int(Moved(r, dy, m));
    if (y < 0 || y >= h) continue;
    first[size_t(y)] = Min(first[size_t(y)], x);
    last[size_t(y)] = Max(last[size_t(y)], x);
  }
}

// Two families of lines across the grid, one from the left side to the
// bottom and one from the top to the right side, each moving outwards step
// by step. The band they sweep has no holes: each row is one run, reaching
// from the leftmost to the rightmost cell that the families' boundary lines
// (the first, the one where the short side stops growing, the outermost)
// have in that row, to the left side above the outermost line's start and
// to the right side below the last lines' ends.
template <TStyle S>
void DiagonalOut(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TFadeGrid g(c, w, h);
  int ch, cw;
  CornerReach(w, h, p, ch, cw);
  std::vector<int> first(size_t(h), w), last(size_t(h), -1);
  int rightFrom;
  if (ch < cw) {
    for (int k : {0, ch, cw}) {
      const int i = Min(k, ch);
      LineRowExtents(0, i, w - 1 - k, h - 1, h, first, last);
      LineRowExtents(k, 0, w, h - i, h, first, last);
    }
    rightFrom = h - ch;
  } else {
    for (int k : {0, cw, ch}) {
      const int i = Min(k, cw);
      LineRowExtents(i, 0, w - 1, h - 1 - k, h, first, last);
      LineRowExtents(0, k, w - 1 - i, h - 1, h, first, last);
    }
    rightFrom = h - 1 - ch;
  }
  for (int y = 0; y < h; ++y)
    g.Rect(y <= ch ? 0 : first[size_t(y)], y, y >= rightFrom ? w - 1 : last[size_t(y)], y, Flat<S>(p));
}

// ---- crosses, rectangles, diamonds -----------------------------------------

template <TStyle S>
void CrossOut(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TFadeGrid g(c, w, h);
  const int cx = w / 2, cy = h / 2, a = EffectMulDiv(p, 2 * w, 100), b = EffectMulDiv(p, 2 * h, 100);
  // Side by side, the upright lines of one value fill a rectangle, as the level ones do.
  g.Rect(cx - a / 4, cy - b, cx + a / 4, cy + b, Flat<S>(p));
  g.Rect(cx - a, cy - b / 4, cx + a, cy + b / 4, Flat<S>(p));
}

void SmoothCrossOut(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  int n;
  double fx, fy;
  if (h < w) {
    n = EffectMulDiv(p, RoundEven(2.5 * w), 100) / 2;
  } else {
    n = EffectMulDiv(p, RoundEven(2.5 * h), 100) / 2;
  }
  TCacheInHand hand;
  if (const TShapeCover* cover = FamilyCover(hand.Get(), TFamily::CrossOutline, w, h))
    return cover->Paint(c, 0, n, [&](int k) { return SmoothValue(k, n, p); });
  TFadeGrid g(c, w, h);
  const int cx = w / 2, cy = h / 2;
  Factors(w, h, fx, fy);
  for (int k = 0; k <= n; ++k) {
    const int t = RoundEven(fx * k), u = RoundEven(fy * k), t2 = t / 2, u2 = u / 2;
    const int pts[13][2] = {{cx - t2, cy + u},  {cx - t2, cy + u2}, {cx - t, cy + u2},  {cx - t, cy - u2},
                            {cx - t2, cy - u2}, {cx - t2, cy - u},  {cx + t2, cy - u},  {cx + t2, cy - u2},
                            {cx + t, cy - u2},  {cx + t, cy + u2},  {cx + t2, cy + u2}, {cx + t2, cy + u},
                            {cx - t2, cy + u}};
    const u8 v = SmoothValue(k, n, p);
    for (int i = 0; i < 12; ++i) g.MaskLine(pts[i][0], pts[i][1], pts[i + 1][0], pts[i + 1][1], v);
  }
}

void RectOutline(TFadeGrid& g, int cx, int cy, int mx, int my, u8 v) {
  g.MaskLine(cx - mx, cy + my, cx - mx, cy - my, v);  // left, upward
  g.MaskLine(cx - mx, cy - my, cx + mx, cy - my, v);  // top
  g.MaskLine(cx + mx, cy - my, cx + mx, cy + my, v);  // right, downward
  g.MaskLine(cx + mx, cy + my, cx - mx, cy + my, v);  // bottom
}

template <TStyle S>
void RectOut(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TFadeGrid g(c, w, h);
  const int cx = w / 2, cy = h / 2;
  double fx, fy;
  Factors(w, h, fx, fy);
  int n;
  if (S == TStyle::Smooth)
    n = EffectMulDiv(p, RoundEven(1.6 * (h < w ? w : h)), 100) / 2;
  else
    n = EffectMulDiv(p, h < w ? w : h, 100) / 2;
  if (S != TStyle::Smooth) {
    // The half-widths grow by at most one cell a step, so in one value the
    // nested outlines 0..n fill the rectangle of the last one.
    const int mx = RoundEven(fx * n), my = RoundEven(fy * n);
    return g.Rect(cx - mx, cy - my, cx + mx, cy + my, Flat<S>(p));
  }
  TCacheInHand hand;
  if (const TShapeCover* cover = FamilyCover(hand.Get(), TFamily::RectOutline, w, h))
    return cover->Paint(c, 0, n, [&](int k) { return SmoothValue(k, n, p); });
  for (int k = 0; k <= n; ++k)
    RectOutline(g, cx, cy, RoundEven(fx * k), RoundEven(fy * k),
                S == TStyle::Smooth ? SmoothValue(k, n, p) : Flat<S>(p));
}

void Diamond(TFadeGrid& g, int cx, int cy, int gx, int hy, u8 v) {
  g.MaskLine(cx, cy + hy, cx - gx, cy, v);
  g.MaskLine(cx - gx, cy, cx, cy - hy, v);
  g.MaskLine(cx, cy - hy, cx + gx, cy, v);
  g.MaskLine(cx + gx, cy, cx, cy + hy, v);
}

template <TStyle S>
void DiamondOut(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  int n;
  if (S == TStyle::Smooth)
    n = EffectMulDiv(p, RoundEven(2.5 * (h < w ? w : h)), 100) / 2;
  else
    n = EffectMulDiv(p, Max(w, h), 100);
  TCacheInHand hand;
  if (const TShapeCover* cover = FamilyCover(hand.Get(), TFamily::Diamond, w, h)) {
    if (S == TStyle::Smooth) return cover->Paint(c, 0, n, [&](int k) { return SmoothValue(k, n, p); });
    return cover->PaintFlat(c, 0, n, Flat<S>(p));
  }
  TFadeGrid g(c, w, h);
  const int cx = w / 2, cy = h / 2;
  double fx, fy;
  Factors(w, h, fx, fy);
  for (int k = 0; k <= n; ++k)
    Diamond(g, cx, cy, RoundEven(k * fx), RoundEven(k * fy), S == TStyle::Smooth ? SmoothValue(k, n, p) : Flat<S>(p));
}

// ---- circles and fans ------------------------------------------------------

template <TStyle S>
void CircleOut(u8* c, int w, int h, u8 p) {  // no early return at p = 0
  const int d = EffectMulDiv(Diag(w, h), p, 100);
  TCacheInHand hand;
  if (const TShapeCover* cover = CircleCover(hand.Get(), w, h, false, false))
    return cover->PaintFlat(c, 0, d / 2, Flat<S>(p));
  TFadeGrid g(c, w, h);
  for (int r = 0; r <= d / 2; ++r) g.MaskCircle(w / 2, h / 2, r, Flat<S>(p));
}

void CircleSmoothOut(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  const int n = EffectMulDiv(RoundEven(0.9 * std::sqrt(double(w) * w + double(h) * h)), p, 100);
  TCacheInHand hand;
  if (const TShapeCover* cover = CircleCover(hand.Get(), w, h, false))
    return cover->Paint(c, 0, n, [&](int r) { return SmoothValue(r, n, p); });
  TFadeGrid g(c, w, h);
  for (int r = 0; r <= n; ++r) g.MaskCircle(w / 2, h / 2, r, SmoothValue(r, n, p));
}

template <TStyle S>
void CircleIn(u8* c, int w, int h, u8 p) {  // no early return at p = 0
  const int diag = Diag(w, h), R = diag / 2, d = EffectMulDiv(diag, p, 100);
  TCacheInHand hand;
  if (const TShapeCover* cover = CircleCover(hand.Get(), w, h, false))
    return cover->PaintFlat(c, R - d / 2, R, Flat<S>(p));
  TFadeGrid g(c, w, h);
  for (int k = d / 2; k >= 0; --k) g.MaskCircle(w / 2, h / 2, R - k, Flat<S>(p));
}

template <TStyle S>
void CircleCorner(u8* c, int w, int h, u8 p) {  // no early return at p = 0
  const int d = EffectMulDiv(Diag(w, h), p, 100);
  TCacheInHand hand;
  if (const TShapeCover* cover = CircleCover(hand.Get(), w, h, true, false))
    return cover->PaintFlat(c, 0, d, Flat<S>(p));
  TFadeGrid g(c, w, h);
  for (int r = 0; r <= d; ++r) g.MaskCircle(0, h - 1, r, Flat<S>(p));
}

void CircleSmooth(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  const int n = EffectMulDiv(RoundEven(1.5 * std::sqrt(double(w) * w + double(h) * h)), p, 100);
  TCacheInHand hand;
  if (const TShapeCover* cover = CircleCover(hand.Get(), w, h, true))
    return cover->Paint(c, 0, n, [&](int r) { return SmoothValue(r, n, p); });
  TFadeGrid g(c, w, h);
  for (int r = 0; r <= n; ++r) g.MaskCircle(0, h - 1, r, SmoothValue(r, n, p));
}

// The fan of lines from the lower left corner: to the right side for i < h,
// then to the top at x = w + i - n. Neighbouring lines from one point end one
// cell apart, so the fan has no holes: each row is one run, between the
// steepest and the flattest of its lines that reach the row, and out to the
// right side in the rows where a line ends on it.
template <TStyle S>
void Rotate(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  const int n = EffectMulDiv(w + h, p, 100);
  TFadeGrid g(c, w, h);
  std::vector<int> first(size_t(h), w), last(size_t(h), -1);
  auto line = [&](int i) {
    if (i < h)
      LineRowExtents(0, h - 1, w - 1, h - i, h, first, last);
    else
      LineRowExtents(0, h - 1, w + i - n, 0, h, first, last);
  };
  const int side = Min(n, h - 1);  // the last line that ends on the right side
  line(0);
  line(side);
  if (n >= h) {
    line(h);
    line(n);
  }
  for (int y = 0; y < h; ++y) g.Rect(first[size_t(y)], y, y >= h - side ? w - 1 : last[size_t(y)], y, Flat<S>(p));
}

void RotateSmooth(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  const int n = EffectMulDiv(2 * (w + h), p, 100);
  TCacheInHand hand;
  if (const TShapeCover* cover = FamilyCover(hand.Get(), TFamily::RotateSmooth, w, h))
    return cover->Paint(c, 0, n, [&](int i) { return SmoothValue(i, n, p); });
  TFadeGrid g(c, w, h);
  for (int i = 0; i <= n; ++i) {
    const u8 v = SmoothValue(i, n, p);
    if (i < h)
      g.MaskLine(0, h - 1, w - 1, h - i, v);
    else
      g.MaskLine(0, h - 1, w + h - i, 0, v);
  }
}

// ---- inverses --------------------------------------------------------------

// The Out partner at 100 - p, then each cell turned over for the style.
template <TStyle S, TFadeProc Partner>
void Inverse(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  Partner(c, w, h, u8(100 - p));
  const u8 v = FadeValue(p);
  for (int i = 0, n = w * h; i < n; ++i) {
    if (S == TStyle::Smooth)
      c[i] = u8(255 - c[i]);
    else
      c[i] = c[i] ? 0 : (S == TStyle::Slide ? 255 : v);
  }
}

}  // namespace

const std::vector<TNamedEffect>& GridEffects() {
  using S = TStyle;
  static const std::vector<TNamedEffect> effects = {
      {"SmoothDiagonal", ekFade, SmoothDiagonal, nullptr},
      {"SmoothDiagonalIn", ekFade, SmoothDiagonalInOut<false>, nullptr},
      {"SmoothDiagonalOut", ekFade, SmoothDiagonalInOut<true>, nullptr},
      {"SmoothDown", ekFade, SmoothDown, nullptr},
      {"SmoothIn", ekFade, SmoothIn, nullptr},
      {"SmoothOut", ekFade, SmoothOut, nullptr},
      {"SmoothCrossOut", ekFade, SmoothCrossOut, nullptr},
      {"SmoothCrossIn", ekFade, Inverse<S::Smooth, SmoothCrossOut>, nullptr},
      {"SmoothRectIn", ekFade, Inverse<S::Smooth, RectOut<S::Smooth>>, nullptr},
      {"SmoothRectOut", ekFade, RectOut<S::Smooth>, nullptr},
      {"SlideDiagonal", ekFade, Diagonal<S::Slide>, nullptr},
      {"SlideDiagonalIn", ekFade, DiagonalIn<S::Slide>, nullptr},
      {"SlideDiagonalOut", ekFade, DiagonalOut<S::Slide>, nullptr},
      {"SlideDown", ekFade, Down<S::Slide>, nullptr},
      {"SlideIn", ekFade, In<S::Slide>, nullptr},
      {"SlideOut", ekFade, Out<S::Slide>, nullptr},
      {"SlideCrossOut", ekFade, CrossOut<S::Slide>, nullptr},
      {"SlideCrossIn", ekFade, Inverse<S::Slide, CrossOut<S::Slide>>, nullptr},
      {"SlideRectOut", ekFade, RectOut<S::Slide>, nullptr},
      {"SlideRectIn", ekFade, Inverse<S::Slide, RectOut<S::Slide>>, nullptr},
      {"Fade", ekFade, fills::FadeAll, nullptr},
      {"FadeDiagonal", ekFade, Diagonal<S::Fade>, nullptr},
      {"FadeDiagonalIn", ekFade, DiagonalIn<S::Fade>, nullptr},
      {"FadeDiagonalOut", ekFade, DiagonalOut<S::Fade>, nullptr},
      {"FadeDown", ekFade, Down<S::Fade>, nullptr},
      {"FadeIn", ekFade, In<S::Fade>, nullptr},
      {"FadeOut", ekFade, Out<S::Fade>, nullptr},
      {"FadeCrossOut", ekFade, CrossOut<S::Fade>, nullptr},
      {"FadeCrossIn", ekFade, Inverse<S::Fade, CrossOut<S::Fade>>, nullptr},
      {"FadeRectOut", ekFade, RectOut<S::Fade>, nullptr},
      {"FadeRectIn", ekFade, Inverse<S::Fade, RectOut<S::Fade>>, nullptr},
      {"Pixel", ekFade, fills::Pixel, nullptr},
      {"Pixel fade", ekFade, fills::PixelFade, nullptr},
      {"Pixel line", ekFade, fills::PixelLine, nullptr},
      {"CircleSlideOut", ekFade, CircleOut<S::Slide>, nullptr},
      {"CircleFadeOut", ekFade, CircleOut<S::Fade>, nullptr},
      {"CircleSmoothOut", ekFade, CircleSmoothOut, nullptr},
      {"CircleSlideIn", ekFade, CircleIn<S::Slide>, nullptr},
      {"CircleFadeIn", ekFade, CircleIn<S::Fade>, nullptr},
      {"CircleSmoothIn", ekFade, Inverse<S::Smooth, CircleSmoothOut>, nullptr},
      {"CircleSlide", ekFade, CircleCorner<S::Slide>, nullptr},
      {"CircleFade", ekFade, CircleCorner<S::Fade>, nullptr},
      {"CircleSmooth", ekFade, CircleSmooth, nullptr},
      {"DiamondSlideIn", ekFade, Inverse<S::Slide, DiamondOut<S::Slide>>, nullptr},
      {"DiamondFadeIn", ekFade, Inverse<S::Fade, DiamondOut<S::Fade>>, nullptr},
      {"DiamondSmoothIn", ekFade, Inverse<S::Smooth, DiamondOut<S::Smooth>>, nullptr},
      {"DiamondSlideOut", ekFade, DiamondOut<S::Slide>, nullptr},
      {"DiamondFadeOut", ekFade, DiamondOut<S::Fade>, nullptr},
      {"DiamondSmoothOut", ekFade, DiamondOut<S::Smooth>, nullptr},
      {"RotateSlide", ekFade, Rotate<S::Slide>, nullptr},
      {"RotateFade", ekFade, Rotate<S::Fade>, nullptr},
      {"RotateSmooth", ekFade, RotateSmooth, nullptr},
      {"Stream", ekFade, fills::Stream, nullptr},
      {"Plasma", ekFade, fills::Plasma, nullptr},
      {"Interlace", ekSlide, nullptr, fills::Interlace},
      {"Corner", ekSlide, nullptr, fills::Corner},
  };
  return effects;
}

}  // namespace te
