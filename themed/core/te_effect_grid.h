// The grids the transition effects draw on and their primitives: a FADE grid
// of W x H alpha bytes, a SLIDE grid of W x H cells pointing at cells of the
// new image; the value styles (Slide, Fade, Smooth); the effects' own seeded
// pseudo-random generator. Windows-free.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace te {

#pragma pack(push, 1)
struct TSlideCell {
  std::uint8_t Alpha;
  std::uint8_t Spare;
  std::uint16_t Col;  // source column, in cells
  std::uint16_t Row;  // source row, in cells
};
#pragma pack(pop)
static_assert(sizeof(TSlideCell) == 6, "a map cell is 6 bytes");

// Windows' MulDiv: a * b / d rounded half away from zero, -1 when d is 0.
int EffectMulDiv(int a, int b, int d);
// Rounding to nearest, ties to even.
int RoundEven(double v);

class TFadeGrid {
 public:
  TFadeGrid(std::uint8_t* cells, int w, int h) : cells_(cells), W(w), H(h) {}
  // Writes only inside the grid.
  void PlotCell(int x, int y, std::uint8_t value) {
    if (x >= 0 && x < W && y >= 0 && y < H) cells_[y * W + x] = value;
  }
  std::uint8_t At(int x, int y) const { return cells_[y * W + x]; }
  std::uint8_t* Cells() const { return cells_; }
  void MaskLine(int x0, int y0, int x1, int y1, std::uint8_t value);
  void MaskCircle(int cx, int cy, int r, std::uint8_t value);
  void Row(int y, std::uint8_t value) { MaskLine(0, y, W - 1, y, value); }
  // The cells of the rectangle [x0, x1] x [y0, y1] inside the grid, row by row.
  void Rect(int x0, int y0, int x1, int y1, std::uint8_t value) {
    x0 = std::max(x0, 0), y0 = std::max(y0, 0), x1 = std::min(x1, W - 1), y1 = std::min(y1, H - 1);
    if (x0 > x1) return;
    for (int y = y0; y <= y1; ++y) std::memset(cells_ + std::ptrdiff_t(y) * W + x0, value, size_t(x1 - x0 + 1));
  }

 private:
  std::uint8_t* cells_;

 public:
  const int W, H;
};

namespace grid_detail {

// How far a line of m rounds has moved along an axis of extent d by round r:
// it moves one cell in a round where its error, growing by d, passes m, so
// after r rounds it has moved ((r + 1) d - 1) / m cells (d <= m).
inline std::int64_t Moved(std::int64_t r, std::int64_t d, std::int64_t m) { return d == 0 ? 0 : ((r + 1) * d - 1) / m; }

// The rounds [first, last] of 0..m at which a + s * Moved(r, d, m) lies in
// [0, limit) (the position is monotone in r); first > last when there are none.
inline void RoundsInside(int a, int s, int d, int m, int limit, int& first, int& last) {
  auto at = [&](std::int64_t r) { return a + s * Moved(r, d, m); };
  auto inside = [&](std::int64_t r) { return at(r) >= 0 && at(r) < limit; };
  auto before = [&](std::int64_t r) { return s > 0 ? at(r) < 0 : at(r) >= limit; };
  std::int64_t lo = 0, hi = std::int64_t(m) + 1;
  while (lo < hi) {
    const std::int64_t mid = (lo + hi) / 2;
    if (before(mid)) lo = mid + 1;
    else hi = mid;
  }
  if (lo > m || !inside(lo)) {
    first = 1;
    last = 0;
    return;
  }
  std::int64_t a2 = lo, b2 = m;
  while (a2 < b2) {
    const std::int64_t mid = (a2 + b2 + 1) / 2;
    if (inside(mid)) a2 = mid;
    else b2 = mid - 1;
  }
  first = int(lo);
  last = int(a2);
}

}  // namespace grid_detail

// The cells of the line MaskLine draws, each given to plot as its index in a
// W x H grid, in the order it steps them; nothing outside the grid. The line
// steps round by round from (x0, y0), its long axis one cell a round, its
// short one when its error carries; the closed form of the steps lets the
// walk start at the first round inside the grid and stop at the last.
template <class Plot>
void ForLineCells(int x0, int y0, int x1, int y1, int W, int H, Plot&& plot) {
  using grid_detail::Moved;
  const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
  const int m = dx > dy ? dx : dy;
  const int sx = x1 - x0 >= 1 ? 1 : -1, sy = y1 - y0 >= 1 ? 1 : -1;
  int fx, lx, fy, ly;
  grid_detail::RoundsInside(x0, sx, dx, m, W, fx, lx);
  grid_detail::RoundsInside(y0, sy, dy, m, H, fy, ly);
  const int first = std::max(fx, fy), last = std::min(lx, ly);
  if (first > last) return;
  std::int64_t cell = (y0 + sy * Moved(first, dy, m)) * W + x0 + sx * Moved(first, dx, m);
  const std::int64_t stepX = sx, stepY = std::int64_t(sy) * W;
  // Remainders of (r + 1) d - 1 modulo m for an axis that lags.
  std::int64_t remX = dx == m ? 0 : (std::int64_t(first + 1) * dx - 1) % m;
  std::int64_t remY = dy == m ? 0 : (std::int64_t(first + 1) * dy - 1) % m;
  for (int r = first;; ++r) {
    plot(int(cell));
    if (r == last) break;
    if (dx == m) cell += stepX;
    else if ((remX += dx) >= m) remX -= m, cell += stepX;
    if (dy == m) cell += stepY;
    else if ((remY += dy) >= m) remY -= m, cell += stepY;
  }
}

// The cells of the circle MaskCircle draws, each given to plot as its index in
// a W x H grid (some more than once); nothing outside the grid.
template <class Plot>
void ForCircleCells(int cx, int cy, int r, int W, int H, Plot&& plot) {
  if (cx + r + 1 < 0 || cx - r - 1 >= W || cy + r + 1 < 0 || cy - r - 1 >= H) return;
  // Cells cx - a, cx - a - 1 and cx + a, cx + a + 1 of row y.
  auto fourCells = [&](int y, int a) {
    if (y < 0 || y >= H) return;
    const int row = y * W;
    for (int x : {cx + a, cx + a + 1, cx - a, cx - a - 1})
      if (x >= 0 && x < W) plot(row + x);
  };
  auto points = [&](int x, int y) {
    fourCells(cy + y, x);
    fourCells(cy - y, x);
    fourCells(cy + x, y);
    fourCells(cy - x, y);
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

// Which shapes of a family cover each cell: a family whose shape k covers the
// same cells at every progress, drawn by an effect in increasing k, each in
// one value, so that a cell ends with the value of the last of a frame's
// shapes that covers it. Per cell the first and the last k that cover it,
// drawn once for a grid size. A frame of shapes 0..b covers the cells whose
// first k is at most b, whatever the family; one of shapes a..b, a > 0, is
// of use only when every cell's covering shapes run without a gap (Gapless),
// which is checked as the cover is drawn.
//
// Along most rows of the families in use the first and the last k fall and
// then rise (a circle's, a diamond's, a fan's), so the cells whose first k is
// at most b are one run of the row, found by two binary searches: a frame
// fills runs instead of testing every cell. Rows that do not have that shape
// are tested cell by cell.
class TShapeCover {
 public:
  static constexpr std::uint16_t kNone = 0xFFFF;
  // shape(k, plot) gives every cell of shape k to plot (an index, maybe more than once).
  template <class Shape>
  void Build(int w, int h, int kmax, Shape&& shape) {
    W = w;
    H = h;
    KMax = kmax;
    const size_t n = size_t(w) * size_t(h);
    Built = Gapless = kmax < kNone - 1;
    Lo.assign(Built ? n : 0, kNone);
    Hi.assign(Built ? n : 0, 0);
    if (!Built) return;
    std::vector<std::uint16_t> count(n, 0);
    for (int k = 0; k <= kmax; ++k)
      shape(k, [&](int cell) {
        const size_t c = size_t(cell);
        if (Lo[c] != kNone && Hi[c] == k) return;  // this shape again
        if (Lo[c] == kNone) Lo[c] = std::uint16_t(k);
        Hi[c] = std::uint16_t(k);
        ++count[c];
      });
    for (size_t c = 0; c < n && Gapless; ++c) Gapless = Lo[c] == kNone || count[c] == Hi[c] - Lo[c] + 1;
    LoRows.resize(size_t(h));
    HiRows.resize(size_t(h));
    for (int y = 0; y < h; ++y) {
      LoRows[size_t(y)] = TValley::Of(&Lo[size_t(y) * size_t(w)], w);
      HiRows[size_t(y)] = TValley::Of(&Hi[size_t(y) * size_t(w)], w);
    }
  }

  // A frame of shapes first..last (within 0..KMax): each covered cell gets value(the last one covering it).
  template <class Value>
  void Paint(std::uint8_t* cells, int first, int last, Value&& value) const {
    if (last < first) return;
    std::vector<std::uint8_t> table(size_t(last - first + 1));
    for (int k = first; k <= last; ++k) table[size_t(k - first)] = value(k);
    const std::uint16_t a = std::uint16_t(std::max(first, 0)), b = std::uint16_t(std::min(last, KMax));
    const std::uint8_t* t = table.data() - first;
    for (int y = 0; y < H; ++y) {
      const size_t row = size_t(y) * size_t(W);
      const std::uint16_t *lo = &Lo[row], *hi = &Hi[row];
      std::uint8_t* out = cells + row;
      int x0 = 0, x1 = W - 1;
      if (a == 0 && LoRows[size_t(y)].Is) {
        if (!LoRows[size_t(y)].AtMost(lo, W, b, x0, x1)) continue;
        for (int x = x0; x <= x1; ++x) out[x] = t[hi[x] < b ? hi[x] : b];
        continue;
      }
      for (int x = x0; x <= x1; ++x)
        if (lo[x] <= b && hi[x] >= a && lo[x] != kNone) out[x] = t[hi[x] < b ? hi[x] : b];
    }
  }

  // The same when every shape has one value.
  void PaintFlat(std::uint8_t* cells, int first, int last, std::uint8_t value) const {
    if (last < first || last < 0 || first > KMax) return;
    const std::uint16_t a = std::uint16_t(std::max(first, 0)), b = std::uint16_t(std::min(last, KMax));
    for (int y = 0; y < H; ++y) {
      const size_t row = size_t(y) * size_t(W);
      const std::uint16_t *lo = &Lo[row], *hi = &Hi[row];
      std::uint8_t* out = cells + row;
      const TValley& l = LoRows[size_t(y)];
      const TValley& h = HiRows[size_t(y)];
      if (l.Is && (a == 0 || h.Is)) {
        int x0, x1;
        if (!l.AtMost(lo, W, b, x0, x1)) continue;
        int h0 = 1, h1 = 0;  // the cells of the run whose last k is below a stay
        if (a > 0 && h.AtMost(hi, W, std::uint16_t(a - 1), h0, h1)) {
          if (x0 < h0) std::memset(out + x0, value, size_t(std::min(x1, h0 - 1) - x0 + 1));
          if (x1 > h1) std::memset(out + std::max(x0, h1 + 1), value, size_t(x1 - std::max(x0, h1 + 1) + 1));
        } else {
          std::memset(out + x0, value, size_t(x1 - x0 + 1));
        }
        continue;
      }
      for (int x = 0; x < W; ++x) {
        const bool covered = lo[x] <= b && hi[x] >= a && lo[x] != kNone;
        out[x] = covered ? value : out[x];
      }
    }
  }

  int W = 0, H = 0, KMax = -1;
  bool Built = false, Gapless = false;
  std::vector<std::uint16_t> Lo, Hi;

 private:
  // A row whose values fall (or stay) up to Turn and rise (or stay) after it.
  struct TValley {
    bool Is = false;
    int Turn = 0;
    static TValley Of(const std::uint16_t* v, int w) {
      int t = 0;
      while (t + 1 < w && v[t + 1] <= v[t]) ++t;
      int x = t;
      while (x + 1 < w && v[x + 1] >= v[x]) ++x;
      return {x + 1 >= w, t};
    }
    // The run [x0, x1] of cells whose value is at most b; false when there is none.
    bool AtMost(const std::uint16_t* v, int w, std::uint16_t b, int& x0, int& x1) const {
      if (v[Turn] > b) return false;
      int lo = 0, hi = Turn;  // first x in [0, Turn] with v[x] <= b (v falls there)
      while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (v[mid] <= b) hi = mid;
        else lo = mid + 1;
      }
      x0 = lo;
      lo = Turn;
      hi = w - 1;  // last x in [Turn, w) with v[x] <= b (v rises there)
      while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (v[mid] <= b) lo = mid;
        else hi = mid - 1;
      }
      x1 = lo;
      return true;
    }
  };
  std::vector<TValley> LoRows, HiRows;
};

// The Fade style's value v = MulDiv(p, 255, 100).
inline std::uint8_t FadeValue(int p) { return std::uint8_t(EffectMulDiv(p, 255, 100)); }
// The Smooth style's step k of n: MulDiv(round(2p - k * 2p / n), 255, 100), 255
// when p is 100 or the value reaches 256.
std::uint8_t SmoothValue(int k, int n, int p);

// The effects' generator, defined here so that frames are the same on every
// platform: a 32-bit counter advanced by 0x9E3779B9 and mixed (the "splitmix32"
// finaliser); Random(n) maps the mixed word onto 0 .. n - 1 by multiplication.
class TEffectRandom {
 public:
  void Seed(std::uint32_t seed) { state_ = seed; }
  std::uint32_t Next();
  int Random(int n) { return n <= 0 ? 0 : int((std::uint64_t(Next()) * std::uint32_t(n)) >> 32); }

 private:
  std::uint32_t state_ = 0;
};
TEffectRandom& EffectRandom();

}  // namespace te
