#include "themed/core/te_effect_grid.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "framework/core/types.h"

namespace te {

int EffectMulDiv(int a, int b, int d) { return fw::MulDiv(a, b, d); }
int RoundEven(double v) { return int(std::nearbyint(v)); }

// Rows and columns are filled as runs; any other line walks only its cells
// inside the grid (ForLineCells).
void TFadeGrid::MaskLine(int x0, int y0, int x1, int y1, std::uint8_t value) {
  if (y0 == y1) {
    if (y0 < 0 || y0 >= H) return;
    const int a = std::max(std::min(x0, x1), 0), b = std::min(std::max(x0, x1), W - 1);
    if (a <= b) std::memset(cells_ + std::ptrdiff_t(y0) * W + a, value, size_t(b - a + 1));
    return;
  }
  ForLineCells(x0, y0, x1, y1, W, H, [&](int cell) { cells_[cell] = value; });
}

// The midpoint circle, each step's points doubled (x and x + 1) so that
// neighbouring radii leave no holes.
void TFadeGrid::MaskCircle(int cx, int cy, int r, std::uint8_t value) {
  ForCircleCells(cx, cy, r, W, H, [&](int cell) { cells_[cell] = value; });
}

std::uint8_t SmoothValue(int k, int n, int p) {
  const double step = n == 0 ? 2.0 * p : 2.0 * p / n;
  int v = EffectMulDiv(RoundEven(2.0 * p - k * step), 255, 100);
  if (p == 100 || v >= 256) v = 255;
  if (v < 0) v = 0;
  return std::uint8_t(v);
}

std::uint32_t TEffectRandom::Next() {
  state_ += 0x9E3779B9u;
  std::uint32_t z = state_;
  z = (z ^ (z >> 16)) * 0x85EBCA6Bu;
  z = (z ^ (z >> 13)) * 0xC2B2AE35u;
  return z ^ (z >> 16);
}

TEffectRandom& EffectRandom() {
  static TEffectRandom generator;
  return generator;
}

}  // namespace te
