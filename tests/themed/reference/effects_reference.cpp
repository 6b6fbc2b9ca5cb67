// The transition effects' procedures as they stood before they were made
// fast, kept unchanged as the reference their fast forms must match byte for
// byte (tests/themed/effects_match_test.cpp). Only the names differ: the grid
// type and the list. Do not "improve" this file.
#include "tests/themed/reference/effects_reference.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

namespace te_reference {

using namespace te;

void TRefGrid::MaskLine(int x0, int y0, int x1, int y1, std::uint8_t value) {
  PlotCell(x0, y0, value);
  const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
  const int m = dx > dy ? dx : dy;
  const int sx = x1 - x0 >= 1 ? 1 : -1, sy = y1 - y0 >= 1 ? 1 : -1;
  int ex = 0, ey = 0, x = x0, y = y0;
  for (int round = 0; round <= m; ++round) {
    bool moved = false;
    ex += dx;
    if (ex > m) {
      ex -= m;
      x += sx;
      moved = true;
    }
    ey += dy;
    if (ey > m) {
      ey -= m;
      y += sy;
      moved = true;
    }
    if (moved) PlotCell(x, y, value);
  }
}

void TRefGrid::MaskCircle(int cx, int cy, int r, std::uint8_t value) {
  auto points = [&](int x, int y) {
    for (int k : {x, x + 1}) {
      PlotCell(cx + k, cy + y, value);
      PlotCell(cx - k, cy + y, value);
      PlotCell(cx + k, cy - y, value);
      PlotCell(cx - k, cy - y, value);
    }
    for (int k : {y, y + 1}) {
      PlotCell(cx + k, cy + x, value);
      PlotCell(cx - k, cy + x, value);
      PlotCell(cx + k, cy - x, value);
      PlotCell(cx - k, cy - x, value);
    }
  };
  int x = 0, y = r, d = 3 - 2 * r;
  while (x < y) {
    points(x, y);
    if (d < 0) {
      d += 4 * x + 6;
    } else {
      d += 4 * (x - y) + 10;
      y -= 1;
    }
    x += 1;
  }
  if (x == y) points(x, y);
}


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
  TRefGrid g(c, w, h);
  for (int k = 0; k <= EffectMulDiv(p, h - 1, 100); ++k) g.Row(k, Flat<S>(p));
}

void SmoothDown(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TRefGrid g(c, w, h);
  const int n = EffectMulDiv(RoundEven(1.5 * h), p, 100);
  for (int k = 0; k <= n; ++k) g.Row(k, SmoothValue(k, n, p));
}

template <TStyle S>
void In(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TRefGrid g(c, w, h);
  const int m = EffectMulDiv(p, h / 2, 100);
  for (int y = h - 1; y >= h - 1 - m; --y) g.Row(y, Flat<S>(p));
  for (int y = 0; y <= m; ++y) g.Row(y, Flat<S>(p));
}

void SmoothIn(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TRefGrid g(c, w, h);
  const int n = EffectMulDiv(RoundEven(0.8 * h), p, 100);
  for (int k = 0; k <= n && k <= h / 2; ++k) {
    g.Row(h - 1 - k, SmoothValue(k, n, p));
    g.Row(k, SmoothValue(k, n, p));
  }
}

template <TStyle S>
void Out(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TRefGrid g(c, w, h);
  const int cy = h / 2;
  for (int k = 0; k <= EffectMulDiv(p, cy, 100); ++k) {
    g.Row(cy - k, Flat<S>(p));
    g.Row(cy + k, Flat<S>(p));
  }
}

void SmoothOut(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TRefGrid g(c, w, h);
  const int cy = h / 2, n = EffectMulDiv(RoundEven(0.8 * h), p, 100);
  for (int k = 0; k <= n && k <= cy; ++k) {
    g.Row(cy - k, SmoothValue(k, n, p));
    g.Row(cy + k, SmoothValue(k, n, p));
  }
}

// ---- diagonals ---------------------------------------------------------------

template <TStyle S>
void Diagonal(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TRefGrid g(c, w, h);
  const int a = EffectMulDiv(w - 1, p, 100), b = EffectMulDiv(h - 1, p, 100);
  if (b < a) {
    for (int i = 0; i <= 2 * a; ++i) g.MaskLine(0, Min(i, 2 * b), i, 0, Flat<S>(p));
  } else {
    for (int j = 0; j <= 2 * b; ++j) g.MaskLine(0, j, Min(j, 2 * a), 0, Flat<S>(p));
  }
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

void SmoothDiagonal(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TRefGrid g(c, w, h);
  const int n = EffectMulDiv(p, RoundEven(2.5 * std::sqrt(double(w) * w + double(h) * h)), 100);
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

template <TStyle S>
void DiagonalIn(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TRefGrid g(c, w, h);
  int ch, cw;
  CornerReach(w, h, p, ch, cw);
  const u8 v = Flat<S>(p);
  if (ch < cw) {
    for (int k = 0; k <= cw; ++k) {
      const int j = Min(k, ch);
      g.MaskLine(0, h - 1 - j, k, h - 1, v);
      g.MaskLine(w - 1 - k, 0, w - 1, j, v);
    }
  } else {
    for (int k = 0; k <= ch; ++k) {
      g.MaskLine(0, h - 1 - k, Min(k, cw), h - 1, v);
      g.MaskLine(Max(w - 1 - k, w - 1 - cw), 0, w - 1, k, v);
    }
  }
}

template <bool kOut>
void SmoothDiagonalInOut(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TRefGrid g(c, w, h);
  const int b = EffectMulDiv(Diag(w, h), p, 100);
  const double step = b == 0 ? 2.0 * p : 2.0 * p / b;
  double sx = 0, sy = 0;
  for (int k = 0; k <= 2 * b && k < Max(w, h); ++k) {
    int r = EffectMulDiv(RoundEven(2.0 * p - k * step / 2), 255, 100);
    if (r < 0) r = 0;
    if (r >= 256 || p == 100) r = 255;
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

template <TStyle S>
void DiagonalOut(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TRefGrid g(c, w, h);
  int ch, cw;
  CornerReach(w, h, p, ch, cw);
  const u8 v = Flat<S>(p);
  if (ch < cw) {
    for (int k = 0; k <= cw; ++k) {
      const int i = Min(k, ch);
      g.MaskLine(0, i, w - 1 - k, h - 1, v);
      g.MaskLine(k, 0, w, h - i, v);
    }
  } else {
    for (int k = 0; k <= ch; ++k) {
      const int i = Min(k, cw);
      g.MaskLine(i, 0, w - 1, h - 1 - k, v);
      g.MaskLine(0, k, w - 1 - i, h - 1, v);
    }
  }
}

// ---- crosses, rectangles, diamonds -----------------------------------------

template <TStyle S>
void CrossOut(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TRefGrid g(c, w, h);
  const int cx = w / 2, cy = h / 2, a = EffectMulDiv(p, 2 * w, 100), b = EffectMulDiv(p, 2 * h, 100);
  for (int e = -(a / 4); e <= a / 4; ++e) g.MaskLine(cx + e, cy - b, cx + e, cy + b, Flat<S>(p));
  for (int k = -(b / 4); k <= b / 4; ++k) g.MaskLine(cx - a, cy + k, cx + a, cy + k, Flat<S>(p));
}

void SmoothCrossOut(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TRefGrid g(c, w, h);
  const int cx = w / 2, cy = h / 2;
  int n;
  double fx, fy;
  if (h < w) {
    n = EffectMulDiv(p, RoundEven(2.5 * w), 100) / 2;
  } else {
    n = EffectMulDiv(p, RoundEven(2.5 * h), 100) / 2;
  }
  Factors(w, h, fx, fy);
  for (int k = 0; k <= n; ++k) {
    const int t = RoundEven(fx * k), u = RoundEven(fy * k), t2 = t / 2, u2 = u / 2;
    const int pts[13][2] = {{cx - t2, cy + u}, {cx - t2, cy + u2}, {cx - t, cy + u2}, {cx - t, cy - u2},
                            {cx - t2, cy - u2}, {cx - t2, cy - u}, {cx + t2, cy - u}, {cx + t2, cy - u2},
                            {cx + t, cy - u2}, {cx + t, cy + u2}, {cx + t2, cy + u2}, {cx + t2, cy + u},
                            {cx - t2, cy + u}};
    const u8 v = SmoothValue(k, n, p);
    for (int i = 0; i < 12; ++i) g.MaskLine(pts[i][0], pts[i][1], pts[i + 1][0], pts[i + 1][1], v);
  }
}

void RectOutline(TRefGrid& g, int cx, int cy, int mx, int my, u8 v) {
  g.MaskLine(cx - mx, cy + my, cx - mx, cy - my, v);  // left, upward
  g.MaskLine(cx - mx, cy - my, cx + mx, cy - my, v);  // top
  g.MaskLine(cx + mx, cy - my, cx + mx, cy + my, v);  // right, downward
  g.MaskLine(cx + mx, cy + my, cx - mx, cy + my, v);  // bottom
}

template <TStyle S>
void RectOut(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TRefGrid g(c, w, h);
  const int cx = w / 2, cy = h / 2;
  double fx, fy;
  Factors(w, h, fx, fy);
  int n;
  if (S == TStyle::Smooth) n = EffectMulDiv(p, RoundEven(1.6 * (h < w ? w : h)), 100) / 2;
  else n = EffectMulDiv(p, h < w ? w : h, 100) / 2;
  for (int k = 0; k <= n; ++k)
    RectOutline(g, cx, cy, RoundEven(fx * k), RoundEven(fy * k), S == TStyle::Smooth ? SmoothValue(k, n, p) : Flat<S>(p));
}

void Diamond(TRefGrid& g, int cx, int cy, int gx, int hy, u8 v) {
  g.MaskLine(cx, cy + hy, cx - gx, cy, v);
  g.MaskLine(cx - gx, cy, cx, cy - hy, v);
  g.MaskLine(cx, cy - hy, cx + gx, cy, v);
  g.MaskLine(cx + gx, cy, cx, cy + hy, v);
}

template <TStyle S>
void DiamondOut(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TRefGrid g(c, w, h);
  const int cx = w / 2, cy = h / 2;
  double fx, fy;
  Factors(w, h, fx, fy);
  int n;
  if (S == TStyle::Smooth) n = EffectMulDiv(p, RoundEven(2.5 * (h < w ? w : h)), 100) / 2;
  else n = EffectMulDiv(p, Max(w, h), 100);
  for (int k = 0; k <= n; ++k)
    Diamond(g, cx, cy, RoundEven(k * fx), RoundEven(k * fy), S == TStyle::Smooth ? SmoothValue(k, n, p) : Flat<S>(p));
}

// ---- circles and fans ------------------------------------------------------

template <TStyle S>
void CircleOut(u8* c, int w, int h, u8 p) {  // no early return at p = 0
  TRefGrid g(c, w, h);
  const int d = EffectMulDiv(Diag(w, h), p, 100);
  for (int r = 0; r <= d / 2; ++r) g.MaskCircle(w / 2, h / 2, r, Flat<S>(p));
}

void CircleSmoothOut(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TRefGrid g(c, w, h);
  const int n = EffectMulDiv(RoundEven(0.9 * std::sqrt(double(w) * w + double(h) * h)), p, 100);
  for (int r = 0; r <= n; ++r) g.MaskCircle(w / 2, h / 2, r, SmoothValue(r, n, p));
}

template <TStyle S>
void CircleIn(u8* c, int w, int h, u8 p) {  // no early return at p = 0
  TRefGrid g(c, w, h);
  const int diag = Diag(w, h), R = diag / 2, d = EffectMulDiv(diag, p, 100);
  for (int k = d / 2; k >= 0; --k) g.MaskCircle(w / 2, h / 2, R - k, Flat<S>(p));
}

template <TStyle S>
void CircleCorner(u8* c, int w, int h, u8 p) {  // no early return at p = 0
  TRefGrid g(c, w, h);
  const int d = EffectMulDiv(Diag(w, h), p, 100);
  for (int r = 0; r <= d; ++r) g.MaskCircle(0, h - 1, r, Flat<S>(p));
}

void CircleSmooth(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TRefGrid g(c, w, h);
  const int n = EffectMulDiv(RoundEven(1.5 * std::sqrt(double(w) * w + double(h) * h)), p, 100);
  for (int r = 0; r <= n; ++r) g.MaskCircle(0, h - 1, r, SmoothValue(r, n, p));
}

template <TStyle S>
void Rotate(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TRefGrid g(c, w, h);
  const int n = EffectMulDiv(w + h, p, 100);
  for (int i = 0; i <= n; ++i) {
    if (i < h) g.MaskLine(0, h - 1, w - 1, h - i, Flat<S>(p));
    else g.MaskLine(0, h - 1, w + i - n, 0, Flat<S>(p));
  }
}

void RotateSmooth(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  TRefGrid g(c, w, h);
  const int n = EffectMulDiv(2 * (w + h), p, 100);
  for (int i = 0; i <= n; ++i) {
    const u8 v = SmoothValue(i, n, p);
    if (i < h) g.MaskLine(0, h - 1, w - 1, h - i, v);
    else g.MaskLine(0, h - 1, w + h - i, 0, v);
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
    if (S == TStyle::Smooth) c[i] = u8(255 - c[i]);
    else c[i] = c[i] ? 0 : (S == TStyle::Slide ? 255 : v);
  }
}

// ---- random and computed fills ---------------------------------------------

void FadeAll(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  std::fill(c, c + w * h, u8(RoundEven(p / 100.0 * 255)));
}

// k distinct cells of a grid of n, drawn by the generator reseeded with n, so
// that the cells of a larger k include those of a smaller one.
void MarkRandomCells(u8* marks, int n, int k, u8 value) {
  EffectRandom().Seed(std::uint32_t(n));
  for (int i = 0; i < k; ++i) {
    int cell;
    do cell = EffectRandom().Random(n);
    while (marks[cell] != 0);
    marks[cell] = value;
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

void PixelLine(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  const int n = w * h;
  std::vector<u8> marks(size_t(n), 0);
  MarkRandomCells(marks.data(), n, RoundEven(double(n) * p / 100), 255);
  const int last = RoundEven(p / 100.0 * (2 * w - 1));
  for (int x = 0; x <= last && x < w; ++x) {
    int o = RoundEven(2.0 * p - x * (0.1 * w / p));
    if (o < 0) o = 0;
    int t = RoundEven(o / 100.0 * 255);
    if (t > 255) t = 255;
    for (int y = 0; y < h; ++y)
      if (marks[size_t(y * w + x)]) c[y * w + x] = u8(t);
  }
}

void Stream(u8* c, int w, int h, u8 p) {  // no early return at p = 0
  TRefGrid g(c, w, h);
  EffectRandom().Seed(std::uint32_t(w * h));
  std::vector<int> s(static_cast<size_t>(w)), lim(static_cast<size_t>(w), h - 1);
  for (int x = 0; x < w; ++x) s[size_t(x)] = -EffectRandom().Random(80);
  for (int j = 1; j <= 8; ++j)
    if (w - j - 1 >= j)
      for (int x = j; x <= w - j - 1; ++x) s[size_t(x)] = (s[size_t(x - 1)] + 2 * s[size_t(x)] + s[size_t(x + 1)]) / 4;
  const int rounds = EffectMulDiv(h + 79, p, 100) + 1;
  for (int r = 0; r < rounds; ++r)
    for (int x = 0; x < w; ++x) {
      if (lim[size_t(x)] < s[size_t(x)]) {
        s[size_t(x)] = 0;
        lim[size_t(x)] -= 1;
      } else {
        if (s[size_t(x)] >= 0) g.PlotCell(x, s[size_t(x)], 255);
        s[size_t(x)] += 1;
      }
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
      if (2 * wl < step) P[i] = u8(hi);
      else if (2 * wh < step) P[i] = u8(lo);
      else P[i] = u8((std::int64_t(lo) * wl + std::int64_t(hi) * wh) / 65536);
    }
    P[511] = u8(hi);
  }
};

void Plasma(u8* c, int w, int h, u8 p) {  // no early return at p = 0
  static const TPlasmaTables t;
  const int base = EffectMulDiv(2 * p, 255, 100);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int v = base - t.P[(t.Sn[(x + t.Sn[y % 512]) % 512] + t.Cs[y % 512]) % 512];
      c[y * w + x] = u8(v < 0 ? 0 : v > 255 ? 255 : v);
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
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) SetSource(m, w, h, i, j, j % 2 ? i - k : i + k, j);
}

void Corner(TSlideCell* m, int w, int h, u8 p) {
  if (p == 0) return;
  const int a = EffectMulDiv(w - 1, p, 100), b = EffectMulDiv(h - 1, p, 100);
  for (int i = 0; i <= a; ++i)
    for (int j = 0; j <= b; ++j) SetSource(m, w, h, i, j, w - 1 - a + i, h - 1 - b + j);
}


}  // namespace

const std::vector<TNamedEffect>& ReferenceEffects() {
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


}  // namespace te_reference
