#include "themed/core/te_effect_fills.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "themed/core/te_cpu.h"
#include "themed/core/te_effect_cache.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TE_EFFECTS_SSE2 1
#endif

namespace te::fills {

using u8 = std::uint8_t;

// ---- random and computed fills ---------------------------------------------

void FadeAll(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  std::fill(c, c + w * h, u8(RoundEven(p / 100.0 * 255)));
}

// Marks (with value) the k distinct cells of a grid of n that the generator
// reseeded with n draws first, so that the cells of a larger k include those
// of a smaller one. All n cells when k is n, with no order needed.
static void MarkRandomCells(TEffectCache& cache, u8* marks, int n, int k, u8 value) {
  if (k <= 0) return;
  if (k >= n) {
    std::fill(marks, marks + n, value);
    return;
  }
  const std::uint32_t* rank = cache.Ranks(n, k);
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
  TCacheInHand hand;
  MarkRandomCells(hand.Get(), c, n, RoundEven(n * (p / 100.0)), 255);
}

void PixelFade(u8* c, int w, int h, u8 p) {
  if (p == 0) return;
  const int n = w * h;
  TCacheInHand hand;
  MarkRandomCells(hand.Get(), c, n, RoundEven(double(n) * p / 100), u8(RoundEven(p / 100.0 * 255)));
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
  TCacheInHand hand;
  const std::uint32_t* rank = k >= n ? nullptr : hand.Get().Ranks(n, k);
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

static void SetSource(TSlideCell* m, int w, int h, int i, int j, int si, int sj) {
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

}  // namespace te::fills
