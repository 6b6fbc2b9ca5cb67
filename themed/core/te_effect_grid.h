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
    if (before(mid))
      lo = mid + 1;
    else
      hi = mid;
  }
  if (lo > m || !inside(lo)) {
    first = 1;
    last = 0;
    return;
  }
  std::int64_t a2 = lo, b2 = m;
  while (a2 < b2) {
    const std::int64_t mid = (a2 + b2 + 1) / 2;
    if (inside(mid))
      a2 = mid;
    else
      b2 = mid - 1;
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
    if (dx == m)
      cell += stepX;
    else if ((remX += dx) >= m)
      remX -= m, cell += stepX;
    if (dy == m)
      cell += stepY;
    else if ((remY += dy) >= m)
      remY -= m, cell += stepY;
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

// out[x] = table[min(hi[x], b)] for the n cells of a row; table holds three
// bytes past b, since the widest path reads four at once.
void PaintCoverRow(const std::uint16_t* hi, std::uint8_t* out, int n, std::uint16_t b, const std::uint8_t* table);

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
// then rise (a circle's, a diamond's, a fan's) or rise and then fall (two
// fans from opposite corners), so the cells whose first k is at most b are
// one or two runs of the row, found by binary searches: a frame fills runs
// instead of testing every cell. Rows of any other shape are tested cell by cell.
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
    // Drawn in increasing k, a cell's covering shapes run without a gap when
    // each one that is not its first comes right after its last so far. The
    // first and last shape of a cell lie side by side while drawing (one
    // memory access a cell), apart afterwards (rows of each for the frames).
    struct TSpan {
      std::uint16_t Lo, Hi;
    };
    std::vector<TSpan> spans(n, TSpan{kNone, 0});
    bool gapless = true;
    for (int k = 0; k <= kmax; ++k) {
      const std::uint16_t k16 = std::uint16_t(k);
      shape(k, [&](int cell) {
        TSpan& s = spans[size_t(cell)];
        if (s.Lo == kNone) {
          s.Lo = s.Hi = k16;
        } else if (s.Hi != k16) {
          gapless = gapless && s.Hi + 1 == k;
          s.Hi = k16;
        }
      });
    }
    Gapless = gapless;
    for (size_t c = 0; c < n; ++c) {
      Lo[c] = spans[c].Lo;
      Hi[c] = spans[c].Hi;
    }
    FindRowShapes();
  }

  // A frame of shapes first..last (within 0..KMax): each covered cell gets value(the last one covering it).
  template <class Value>
  void Paint(std::uint8_t* cells, int first, int last, Value&& value) const {
    if (last < first) return;
    // Three spare entries: a row painter may read four table bytes at once.
    std::vector<std::uint8_t> table(size_t(last - first + 1) + 3);
    for (int k = first; k <= last; ++k) table[size_t(k - first)] = value(k);
    const std::uint16_t a = std::uint16_t(std::max(first, 0)), b = std::uint16_t(std::min(last, KMax));
    const std::uint8_t* t = table.data() - first;
    for (int y = 0; y < H; ++y) {
      const size_t row = size_t(y) * size_t(W);
      const std::uint16_t *lo = &Lo[row], *hi = &Hi[row];
      std::uint8_t* out = cells + row;
      int runs[4];
      if (a == 0 && LoRows[size_t(y)].Kind != TRowShape::Other) {
        for (int r = 0, n = LoRows[size_t(y)].AtMost(lo, W, b, runs); r < n; ++r)
          PaintCoverRow(hi + runs[2 * r], out + runs[2 * r], runs[2 * r + 1] - runs[2 * r] + 1, b, t);
        continue;
      }
      for (int x = 0; x < W; ++x)
        if (lo[x] <= b && hi[x] >= a && lo[x] != kNone) out[x] = t[hi[x] < b ? hi[x] : b];
    }
  }

  // The same when every shape has one value.
  void PaintFlat(std::uint8_t* cells, int first, int last, std::uint8_t value) const;

  int W = 0, H = 0, KMax = -1;
  bool Built = false, Gapless = false;
  std::vector<std::uint16_t> Lo, Hi;

 private:
  // A row whose values fall (or stay) up to Turn and rise (or stay) after it
  // (a valley), or rise and then fall (a hill), or neither.
  struct TRowShape {
    enum TKind : std::uint8_t { Other, Valley, Hill } Kind = Other;
    int Turn = 0;
    static TRowShape Of(const std::uint16_t* v, int w);
    // The runs [runs[2i], runs[2i+1]] of the cells whose value is at most b:
    // their number, at most one for a valley and two for a hill.
    int AtMost(const std::uint16_t* v, int w, std::uint16_t b, int* runs) const;
  };
  void FindRowShapes();  // LoRows and HiRows from Lo and Hi
  std::vector<TRowShape> LoRows, HiRows;
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
