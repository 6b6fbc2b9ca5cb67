#include "themed/core/te_effect_grid.h"

#include <cmath>
#include <cstdlib>

#include "framework/core/types.h"

namespace te {

int EffectMulDiv(int a, int b, int d) { return fw::MulDiv(a, b, d); }
int RoundEven(double v) { return int(std::nearbyint(v)); }

void TFadeGrid::MaskLine(int x0, int y0, int x1, int y1, std::uint8_t value) {
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

void TFadeGrid::MaskCircle(int cx, int cy, int r, std::uint8_t value) {
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
