#include "themed/core/te_effects.h"

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
// when no cell's covering shapes leave a gap.
const TShapeCover* FamilyCover(TFamily f, int w, int h, bool gapless = true) {
  struct TEntry {
    TFamily Family;
    int W = -1, H = -1;
    std::unique_ptr<TShapeCover> Cover;
  };
  static TEntry entries[2];
  TEntry* found = nullptr;
  for (TEntry& e : entries)
    if (e.Cover && e.Family == f && e.W == w && e.H == h) found = &e;
  if (!found) {
    std::swap(entries[0], entries[1]);  // the older one goes
    found = &entries[0];
    found->Family = f;
    found->W = w;
    found->H = h;
    found->Cover = std::make_unique<TShapeCover>();
    double sx = 0, sy = 0;
    found->Cover->Build(w, h, FamilyLast(f, w, h), [&](int k, auto&& plot) { FamilyShape(f, w, h, k, plot, sx, sy); });
  }
  const TShapeCover* c = found->Cover.get();
  return c->Built && (c->Gapless || !gapless) ? c : nullptr;
}

const TShapeCover* CircleCover(int w, int h, bool corner, bool gapless = true) {
  return FamilyCover(corner ? TFamily::CircleCorner : TFamily::CircleCentre, w, h, gapless);
}

void SmoothDiagonal(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  const int n = EffectMulDiv(p, RoundEven(2.5 * std::sqrt(double(w) * w + double(h) * h)), 100);
  if (const TShapeCover* cover = FamilyCover(TFamily::SmoothDiagonal, w, h))
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
  if (const TShapeCover* cover = FamilyCover(kOut ? TFamily::SmoothDiagonalOut : TFamily::SmoothDiagonalIn, w, h))
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
  if (const TShapeCover* cover = FamilyCover(TFamily::CrossOutline, w, h))
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
  if (const TShapeCover* cover = FamilyCover(TFamily::RectOutline, w, h))
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
  if (const TShapeCover* cover = FamilyCover(TFamily::Diamond, w, h)) {
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
  if (const TShapeCover* cover = CircleCover(w, h, false, false)) return cover->PaintFlat(c, 0, d / 2, Flat<S>(p));
  TFadeGrid g(c, w, h);
  for (int r = 0; r <= d / 2; ++r) g.MaskCircle(w / 2, h / 2, r, Flat<S>(p));
}

void CircleSmoothOut(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  const int n = EffectMulDiv(RoundEven(0.9 * std::sqrt(double(w) * w + double(h) * h)), p, 100);
  if (const TShapeCover* cover = CircleCover(w, h, false))
    return cover->Paint(c, 0, n, [&](int r) { return SmoothValue(r, n, p); });
  TFadeGrid g(c, w, h);
  for (int r = 0; r <= n; ++r) g.MaskCircle(w / 2, h / 2, r, SmoothValue(r, n, p));
}

template <TStyle S>
void CircleIn(u8* c, int w, int h, u8 p) {  // no early return at p = 0
  const int diag = Diag(w, h), R = diag / 2, d = EffectMulDiv(diag, p, 100);
  if (const TShapeCover* cover = CircleCover(w, h, false)) return cover->PaintFlat(c, R - d / 2, R, Flat<S>(p));
  TFadeGrid g(c, w, h);
  for (int k = d / 2; k >= 0; --k) g.MaskCircle(w / 2, h / 2, R - k, Flat<S>(p));
}

template <TStyle S>
void CircleCorner(u8* c, int w, int h, u8 p) {  // no early return at p = 0
  const int d = EffectMulDiv(Diag(w, h), p, 100);
  if (const TShapeCover* cover = CircleCover(w, h, true, false)) return cover->PaintFlat(c, 0, d, Flat<S>(p));
  TFadeGrid g(c, w, h);
  for (int r = 0; r <= d; ++r) g.MaskCircle(0, h - 1, r, Flat<S>(p));
}

void CircleSmooth(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  const int n = EffectMulDiv(RoundEven(1.5 * std::sqrt(double(w) * w + double(h) * h)), p, 100);
  if (const TShapeCover* cover = CircleCover(w, h, true))
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
  if (const TShapeCover* cover = FamilyCover(TFamily::RotateSmooth, w, h))
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

// ---- random and computed fills ---------------------------------------------

void FadeAll(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  std::fill(c, c + w * h, u8(RoundEven(p / 100.0 * 255)));
}

// The order in which the generator, seeded with n, first draws each cell of
// a grid of n: rank[c] is how many other cells it had drawn before c. The k
// cells it marks at a progress are then those of rank below k, found in one
// pass over the ranks instead of k draws into the grid. Ranks are drawn as
// far as a frame asks and kept for the grid size last used, so the frames of
// a transition share them.
class TPickOrder {
 public:
  const std::uint32_t* Ranks(int n, int k) {
    if (n != n_) {
      n_ = n;
      rank_.assign(size_t(n), kUnpicked);
      picked_ = 0;
      generator_.Seed(std::uint32_t(n));
    }
    while (int(picked_) < k) {
      const int cell = generator_.Random(n);
      if (rank_[size_t(cell)] == kUnpicked) rank_[size_t(cell)] = picked_++;
    }
    return rank_.data();
  }

 private:
  static constexpr std::uint32_t kUnpicked = 0xFFFFFFFFu;
  std::vector<std::uint32_t> rank_;
  std::uint32_t picked_ = 0;
  int n_ = -1;
  TEffectRandom generator_;
};

TPickOrder& PickOrder() {
  static TPickOrder order;
  return order;
}

// Marks (with value) the k distinct cells of a grid of n that the generator
// reseeded with n draws first, so that the cells of a larger k include those
// of a smaller one. All n cells when k is n, with no order needed.
void MarkRandomCells(u8* marks, int n, int k, u8 value) {
  if (k <= 0) return;
  if (k >= n) {
    std::fill(marks, marks + n, value);
    return;
  }
  const std::uint32_t* rank = PickOrder().Ranks(n, k);
  const std::uint32_t limit = std::uint32_t(k);
  // Without branches, which the random order would mispredict half the time;
  // sixteen cells at a time where there is SSE2 (unsigned order through the
  // sign bit, the comparisons packed into bytes).
  int i = 0;
#if TE_EFFECTS_SSE2
  const __m128i sign = _mm_set1_epi32(int(0x80000000u)), bound = _mm_set1_epi32(int(limit ^ 0x80000000u));
  const __m128i fill = _mm_set1_epi8(char(value));
  auto below = [&](int at) {
    const __m128i r = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(rank + at)), sign);
    return _mm_cmplt_epi32(r, bound);
  };
  for (; i + 16 <= n; i += 16) {
    const __m128i picked =
        _mm_packs_epi16(_mm_packs_epi32(below(i), below(i + 4)), _mm_packs_epi32(below(i + 8), below(i + 12)));
    __m128i* out = reinterpret_cast<__m128i*>(marks + i);
    _mm_storeu_si128(out, _mm_or_si128(_mm_andnot_si128(picked, _mm_loadu_si128(out)), _mm_and_si128(picked, fill)));
  }
#endif
  for (; i < n; ++i) {
    const u8 picked = u8(0 - u8(rank[i] < limit));
    marks[i] = u8((marks[i] & ~picked) | (value & picked));
  }
}

void Pixel(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  const int n = w * h;
  MarkRandomCells(c, n, RoundEven(n * (p / 100.0)), 255);
}

void PixelFade(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  const int n = w * h;
  MarkRandomCells(c, n, RoundEven(double(n) * p / 100), u8(RoundEven(p / 100.0 * 255)));
}

// The marked cells of the first columns, each column with its own value; row by row.
void PixelLine(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  const int n = w * h, k = RoundEven(double(n) * p / 100);
  const int last = std::min(RoundEven(p / 100.0 * (2 * w - 1)), w - 1);
  if (k <= 0 || last < 0) return;
  std::vector<u8> value(size_t(last + 1));
  for (int x = 0; x <= last; ++x) {
    int o = RoundEven(2.0 * p - x * (0.1 * w / p));
    if (o < 0) o = 0;
    int t = RoundEven(o / 100.0 * 255);
    if (t > 255) t = 255;
    value[size_t(x)] = u8(t);
  }
  const std::uint32_t* rank = k >= n ? nullptr : PickOrder().Ranks(n, k);
  const std::uint32_t limit = std::uint32_t(k);
  for (int y = 0; y < h; ++y) {
    u8* row = c + std::ptrdiff_t(y) * w;
    if (!rank) {
      std::memcpy(row, value.data(), value.size());
      continue;
    }
    const std::uint32_t* r = rank + std::ptrdiff_t(y) * w;
    for (int x = 0; x <= last; ++x) {
      const u8 picked = u8(0 - u8(r[x] < limit));
      row[x] = u8((row[x] & ~picked) | (value[size_t(x)] & picked));
    }
  }
}

void Stream(u8* c, int w, int h, u8 p) {  // no early return at p = 0
  EffectRandom().Seed(std::uint32_t(w * h));
  std::vector<int> s(static_cast<size_t>(w)), lim(static_cast<size_t>(w), h - 1);
  for (int x = 0; x < w; ++x) s[size_t(x)] = -EffectRandom().Random(80);
  for (int j = 1; j <= 8; ++j)
    if (w - j - 1 >= j)
      for (int x = j; x <= w - j - 1; ++x) s[size_t(x)] = (s[size_t(x - 1)] + 2 * s[size_t(x)] + s[size_t(x + 1)]) / 4;
  // Each column's stream runs down from its start, one row a round, to the
  // bottom, then starts again at the top over rows it has already marked: after
  // the rounds, a column holds the rows 0 .. start + rounds - 1 (at most h - 1).
  const int rounds = EffectMulDiv(h + 79, p, 100) + 1;
  for (int x = 0; x < w; ++x) lim[size_t(x)] = std::min(h - 1, s[size_t(x)] + rounds - 1);
  for (int y = 0; y < h; ++y) {
    u8* row = c + std::ptrdiff_t(y) * w;
    for (int x = 0; x < w; ++x) row[x] = lim[size_t(x)] >= y ? 255 : row[x];
  }
}

struct TPlasmaTables {
  int Sn[512], Cs[512];
  u8 P[512];
  TPlasmaTables() {
    const double pi = 3.14159265358979323846;
    for (int k = 0; k < 512; ++k) {
      Sn[k] = (int(std::trunc(std::sin(2 * pi * k / 512) * 256)) + 256) & 511;
      Cs[k] = (int(std::trunc(std::cos(2 * pi * k / 512) * 256)) + 256) & 511;
    }
    const int control[13] = {255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255};
    const int step = (12 * 65536) / 511;
    int hi = control[12];
    for (int i = 0; i <= 510; ++i) {
      const int u = i * step, at = u / 65536;
      const int lo = control[at];
      hi = control[at + 1 <= 12 ? at + 1 : 12];
      const int wl = 65536 - u % 65536, wh = u % 65536;
      if (2 * wl < step)
        P[i] = u8(hi);
      else if (2 * wh < step)
        P[i] = u8(lo);
      else
        P[i] = u8((std::int64_t(lo) * wl + std::int64_t(hi) * wh) / 65536);
    }
    P[511] = u8(hi);
  }
};

// Each row repeats every 512 cells: its first 512 (or fewer) are computed and copied along.
void Plasma(u8* c, int w, int h, u8 p) {  // no early return at p = 0
  static const TPlasmaTables t;
  const int base = EffectMulDiv(2 * p, 255, 100);
  const int period = std::min(w, 512);
  for (int y = 0; y < h; ++y) {
    u8* row = c + std::ptrdiff_t(y) * w;
    const int sy = t.Sn[y & 511], cy = t.Cs[y & 511];
    for (int x = 0; x < period; ++x) {
      const int v = base - t.P[(t.Sn[(x + sy) & 511] + cy) & 511];
      row[x] = u8(v < 0 ? 0 : v > 255 ? 255 : v);
    }
    for (int x = period; x < w; x += period) std::memcpy(row + x, row, size_t(std::min(period, w - x)));
  }
}

// ---- SLIDE effects ---------------------------------------------------------

void SetSource(TSlideCell* m, int w, int h, int i, int j, int si, int sj) {
  if (i < 0 || i >= w || j < 0 || j >= h || si < 0 || si >= w || sj < 0 || sj >= h) return;
  TSlideCell& cell = m[j * w + i];
  cell.Alpha = 255;
  cell.Col = std::uint16_t(si);
  cell.Row = std::uint16_t(sj);
}

void Interlace(TSlideCell* m, int w, int h, u8 p) {
  if (p == 0) return;
  const int k = EffectMulDiv(100 - p, w, 100);
  // Even rows take their source k cells to the right, odd ones k to the left:
  // the cells whose source lies inside the row, as one run a row.
  for (int j = 0; j < h; ++j) {
    const int shift = j % 2 ? -k : k, first = std::max(0, -shift), last = std::min(w, w - shift);
    TSlideCell* row = m + std::ptrdiff_t(j) * w;
    for (int i = first; i < last; ++i) {
      row[i].Alpha = 255;
      row[i].Col = std::uint16_t(i + shift);
      row[i].Row = std::uint16_t(j);
    }
  }
}

void Corner(TSlideCell* m, int w, int h, u8 p) {
  if (p == 0) return;
  const int a = EffectMulDiv(w - 1, p, 100), b = EffectMulDiv(h - 1, p, 100);
  for (int j = 0; j <= b; ++j)  // row by row, as the map lies in memory
    for (int i = 0; i <= a; ++i) SetSource(m, w, h, i, j, w - 1 - a + i, h - 1 - b + j);
}

std::string Lower(std::string s) {
  for (char& ch : s) ch = char(std::tolower((unsigned char)ch));
  return s;
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
      {"Fade", ekFade, FadeAll, nullptr},
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
      {"Pixel", ekFade, Pixel, nullptr},
      {"Pixel fade", ekFade, PixelFade, nullptr},
      {"Pixel line", ekFade, PixelLine, nullptr},
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
      {"Stream", ekFade, Stream, nullptr},
      {"Plasma", ekFade, Plasma, nullptr},
      {"Interlace", ekSlide, nullptr, Interlace},
      {"Corner", ekSlide, nullptr, Corner},
  };
  return effects;
}

std::string TteProcItem::NamePart() const {
  const size_t dash = DisplayName.find('-');
  return dash == std::string::npos || dash + 2 > DisplayName.size() ? DisplayName : DisplayName.substr(dash + 2);
}

const char* KindPrefix(std::uint8_t kind) {
  switch (kind) {
    case ekFade: return "[ FADE ] - ";
    case ekSlide: return "[ SLIDE ] - ";
    default: return "[ MANUAL ] - ";
  }
}

TteProcList& EffectList() {
  static TteProcList list;
  return list;
}

void RegisterEffect(const std::string& name, std::uint8_t kind, TEffectProc proc) {
  TteProcList& list = EffectList();
  const std::string key = Lower(name);
  for (int i = 0; i < list.Count(); ++i) {
    const TteProcItem* item = list.Item(i);
    if (Lower(item->NamePart()) == key || (proc && item->Proc.Identity() == proc.Identity()))
      throw EProcItemError("Effect procedute " + name + " already exists in list");
  }
  list.Add(std::make_unique<TteProcItem>(kind, proc, KindPrefix(kind) + name));
}

TteProcItem* FindEffect(const std::string& name) {
  const TteProcList& list = EffectList();
  const std::string key = Lower(name);
  for (int i = 0; i < list.Count(); ++i)
    if (Lower(list.Item(i)->DisplayName) == key) return list.Item(i);
  for (int i = 0; i < list.Count(); ++i)
    if (Lower(list.Item(i)->NamePart()) == key) return list.Item(i);
  return nullptr;
}

namespace {
std::vector<std::string>& EffectNameList() {
  static std::vector<std::string> names;
  return names;
}
}  // namespace

void BuildEffectNames() {
  std::vector<std::string> names = {kRandomEffectName, kBitmapEffectName};
  for (int i = 0; i < EffectList().Count(); ++i) names.push_back(EffectList().Item(i)->DisplayName);
  EffectNameList() = std::move(names);
}

void FreeEffectNames() { EffectNameList().clear(); }

const std::vector<std::string>& EffectNames() { return EffectNameList(); }

void RegisterStandardEffects(TManualProc slide, TManualProc push) {
  for (const TNamedEffect& e : GridEffects()) {
    TEffectProc proc;
    proc.Fade = e.Fade;
    proc.Slide = e.Slide;
    RegisterEffect(e.Name, e.Kind, proc);
  }
  TEffectProc s, p;
  s.Manual = slide;
  p.Manual = push;
  RegisterEffect("Slide", ekManual, s);
  RegisterEffect("Push", ekManual, p);
}

}  // namespace te
