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

}  // namespace te
