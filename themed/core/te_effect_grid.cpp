#include "themed/core/te_effect_grid.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "framework/core/types.h"
#include "themed/core/te_cpu.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TE_HAVE_AVX2_CODE 1
#endif

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

namespace {

void PaintCoverRowPlain(const std::uint16_t* hi, std::uint8_t* out, int n, std::uint16_t b, const std::uint8_t* table) {
  for (int x = 0; x < n; ++x) out[x] = table[hi[x] < b ? hi[x] : b];
}

#if TE_HAVE_AVX2_CODE
// Eight cells at a time: their shapes widened to 32 bits, gathered from the
// table four bytes each, the first byte of each kept.
TE_TARGET_AVX2 void PaintCoverRowAvx2(const std::uint16_t* hi, std::uint8_t* out, int n, std::uint16_t b,
                                      const std::uint8_t* table) {
  const __m256i last = _mm256_set1_epi32(b);
  const __m256i firstBytes = _mm256_setr_epi8(0, 4, 8, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,  //
                                              0, 4, 8, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
  int x = 0;
  for (; x + 8 <= n; x += 8) {
    const __m256i k =
        _mm256_min_epu32(_mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(hi + x))), last);
    const __m256i v =
        _mm256_shuffle_epi8(_mm256_i32gather_epi32(reinterpret_cast<const int*>(table), k, 1), firstBytes);
    const std::uint32_t low = std::uint32_t(_mm256_extract_epi32(v, 0)),
                        high = std::uint32_t(_mm256_extract_epi32(v, 4));
    std::memcpy(out + x, &low, 4);
    std::memcpy(out + x + 4, &high, 4);
  }
  _mm256_zeroupper();
  PaintCoverRowPlain(hi + x, out + x, n - x, b, table);
}
#endif

}  // namespace

void PaintCoverRow(const std::uint16_t* hi, std::uint8_t* out, int n, std::uint16_t b, const std::uint8_t* table) {
#if TE_HAVE_AVX2_CODE
  if (HasAVX2()) return PaintCoverRowAvx2(hi, out, n, b, table);
#endif
  PaintCoverRowPlain(hi, out, n, b, table);
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

void TShapeCover::FindRowShapes() {
  LoRows.resize(size_t(H));
  HiRows.resize(size_t(H));
  for (int y = 0; y < H; ++y) {
    LoRows[size_t(y)] = TRowShape::Of(&Lo[size_t(y) * size_t(W)], W);
    HiRows[size_t(y)] = TRowShape::Of(&Hi[size_t(y) * size_t(W)], W);
  }
}

TShapeCover::TRowShape TShapeCover::TRowShape::Of(const std::uint16_t* v, int w) {
  auto turn = [&](bool falling) {
    int t = 0;
    while (t + 1 < w && (falling ? v[t + 1] <= v[t] : v[t + 1] >= v[t])) ++t;
    int x = t;
    while (x + 1 < w && (falling ? v[x + 1] >= v[x] : v[x + 1] <= v[x])) ++x;
    return x + 1 >= w ? t : -1;
  };
  if (const int t = turn(true); t >= 0) return {Valley, t};
  if (const int t = turn(false); t >= 0) return {Hill, t};
  return {};
}
int TShapeCover::TRowShape::AtMost(const std::uint16_t* v, int w, std::uint16_t b, int* runs) const {
  // The first x of [lo, hi] where v <= b, v falling there, or hi + 1.
  auto firstAtMost = [&](int lo, int hi) {
    for (++hi; lo < hi;) {
      const int mid = (lo + hi) / 2;
      if (v[mid] <= b)
        hi = mid;
      else
        lo = mid + 1;
    }
    return lo;
  };
  // The last x of [lo, hi] where v <= b, v rising there, or lo - 1.
  auto lastAtMost = [&](int lo, int hi) {
    for (--lo; lo < hi;) {
      const int mid = (lo + hi + 1) / 2;
      if (v[mid] <= b)
        lo = mid;
      else
        hi = mid - 1;
    }
    return lo;
  };
  if (Kind == Valley) {
    if (v[Turn] > b) return 0;
    runs[0] = firstAtMost(0, Turn);
    runs[1] = lastAtMost(Turn, w - 1);
    return 1;
  }
  if (v[Turn] <= b) {  // a hill whose top is in: the whole row
    runs[0] = 0;
    runs[1] = w - 1;
    return 1;
  }
  int n = 0;
  if (const int x = lastAtMost(0, Turn); x >= 0) runs[2 * n] = 0, runs[2 * n + 1] = x, ++n;
  if (const int x = firstAtMost(Turn, w - 1); x <= w - 1) runs[2 * n] = x, runs[2 * n + 1] = w - 1, ++n;
  return n;
}

void TShapeCover::PaintFlat(std::uint8_t* cells, int first, int last, std::uint8_t value) const {
  if (last < first || last < 0 || first > KMax) return;
  const std::uint16_t a = std::uint16_t(std::max(first, 0)), b = std::uint16_t(std::min(last, KMax));
  for (int y = 0; y < H; ++y) {
    const size_t row = size_t(y) * size_t(W);
    const std::uint16_t *lo = &Lo[row], *hi = &Hi[row];
    std::uint8_t* out = cells + row;
    const TRowShape& l = LoRows[size_t(y)];
    const TRowShape& h = HiRows[size_t(y)];
    int runs[4];
    if (a == 0 && l.Kind != TRowShape::Other) {
      for (int r = 0, n = l.AtMost(lo, W, b, runs); r < n; ++r)
        std::memset(out + runs[2 * r], value, size_t(runs[2 * r + 1] - runs[2 * r] + 1));
      continue;
    }
    if (l.Kind == TRowShape::Valley && h.Kind == TRowShape::Valley) {
      if (l.AtMost(lo, W, b, runs) == 0) continue;
      const int x0 = runs[0], x1 = runs[1];
      int held[4];  // the cells of the run whose last shape is before first stay
      if (h.AtMost(hi, W, std::uint16_t(a - 1), held) == 1) {
        const int h0 = held[0], h1 = held[1];
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

}  // namespace te
