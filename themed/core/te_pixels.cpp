#include "themed/core/te_pixels.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <mmintrin.h>
#define TE_HAVE_MMX_CODE 1
#endif
#if defined(__SSE2__)
#include <emmintrin.h>
#define TE_HAVE_SSE2 1
#endif

namespace te {

namespace {

void CopyRow(const TteColor* src, TteColor* dst, int n) {
  if (src == dst || n <= 0) return;
  std::memmove(dst, src, size_t(n) * sizeof(TteColor));
}

void CopyRowKeyed(const TteColor* src, TteColor* dst, int n) {
  for (int i = 0; i < n; ++i)
    if ((src[i] & 0x00FFFFFF) != TransparentKey) dst[i] = src[i] | 0xFF000000u;
}

inline TteColor PlainBlend(TteColor s, TteColor d, std::uint32_t a) {
  const std::uint32_t na = 255 - a;
  const std::uint32_t r = (((s >> 16) & 0xFF) * a + ((d >> 16) & 0xFF) * na) >> 8;
  const std::uint32_t g = (((s >> 8) & 0xFF) * a + ((d >> 8) & 0xFF) * na) >> 8;
  const std::uint32_t b = ((s & 0xFF) * a + (d & 0xFF) * na) >> 8;
  return 0xFF000000u | r << 16 | g << 8 | b;
}

#if TE_HAVE_SSE2
// Four pixels at a time in 16-bit lanes, the same bytes as the per-pixel
// formulas: plain (s*a + d*(255-a)) >> 8 with alpha 255, or MMX
// (s*a + d*(256-a)) >> 8 on all four channels; alpha 0 keeps the target and
// alpha 255 copies the source in both. Returns how many pixels it did.
template <bool kMmx>
int BlendRowSse2(const TteColor* src, TteColor* dst, int n) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i full = _mm_set1_epi16(kMmx ? 256 : 255);
  const __m128i alphaMask = _mm_set1_epi32(int(0xFF000000u));
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    const __m128i a = _mm_and_si128(sv, alphaMask);
    const __m128i isClear = _mm_cmpeq_epi32(a, zero);
    const __m128i isOpaque = _mm_cmpeq_epi32(a, alphaMask);
    if (_mm_movemask_epi8(isClear) == 0xFFFF) continue;
    auto half = [&](__m128i s8, __m128i d8) {
      __m128i alpha = _mm_shufflelo_epi16(s8, _MM_SHUFFLE(3, 3, 3, 3));
      alpha = _mm_shufflehi_epi16(alpha, _MM_SHUFFLE(3, 3, 3, 3));
      const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(s8, alpha), _mm_mullo_epi16(d8, _mm_sub_epi16(full, alpha)));
      return _mm_srli_epi16(sum, 8);
    };
    const __m128i lo = half(_mm_unpacklo_epi8(sv, zero), _mm_unpacklo_epi8(dv, zero));
    const __m128i hi = half(_mm_unpackhi_epi8(sv, zero), _mm_unpackhi_epi8(dv, zero));
    __m128i blended = _mm_packus_epi16(lo, hi);
    if (!kMmx) blended = _mm_or_si128(blended, alphaMask);
    // Clear pixels keep the target, opaque ones take the source.
    __m128i out = _mm_or_si128(_mm_and_si128(isClear, dv), _mm_andnot_si128(isClear, blended));
    out = _mm_or_si128(_mm_and_si128(isOpaque, sv), _mm_andnot_si128(isOpaque, out));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), out);
  }
  return i;
}
#endif

void PlainBlendRow(const TteColor* src, TteColor* dst, int n) {
  int i = 0;
#if TE_HAVE_SSE2
  i = BlendRowSse2<false>(src, dst, n);
#endif
  for (; i < n; ++i) {
    const std::uint32_t a = src[i] >> 24;
    if (a == 0) continue;
    dst[i] = a == 255 ? src[i] : PlainBlend(src[i], dst[i], a);
  }
}

TteColor PlainBlendPixel(TteColor top, TteColor bottom) {
  const std::uint32_t a = top >> 24;
  if (a == 255) return top;
  if (a == 0) return bottom;
  return PlainBlend(top, bottom, a);
}

// The MMX blend, per channel with 16-bit lanes: (s*a + d*(256-a)) >> 8.
#if TE_HAVE_MMX_CODE
inline TteColor MmxBlend(TteColor s, TteColor d, std::uint32_t a) {
  const __m64 zero = _mm_setzero_si64();
  const __m64 sv = _mm_unpacklo_pi8(_mm_cvtsi32_si64(int(s)), zero);
  const __m64 dv = _mm_unpacklo_pi8(_mm_cvtsi32_si64(int(d)), zero);
  const __m64 av = _mm_set1_pi16(short(a));
  const __m64 nav = _mm_set1_pi16(short(256 - a));
  const __m64 sum = _mm_add_pi16(_mm_mullo_pi16(sv, av), _mm_mullo_pi16(dv, nav));
  return TteColor(_mm_cvtsi64_si32(_mm_packs_pu16(_mm_srli_pi16(sum, 8), zero)));
}
#else
inline TteColor MmxBlend(TteColor s, TteColor d, std::uint32_t a) {
  TteColor out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const std::uint32_t c = (((s >> shift) & 0xFF) * a + ((d >> shift) & 0xFF) * (256 - a)) >> 8;
    out |= c << shift;
  }
  return out;
}
#endif

void MmxBlendRow(const TteColor* src, TteColor* dst, int n) {
  int i = 0;
#if TE_HAVE_SSE2
  i = BlendRowSse2<true>(src, dst, n);
#endif
  for (; i < n; ++i) {
    const std::uint32_t a = src[i] >> 24;
    if (a == 0) continue;
    dst[i] = a == 255 ? src[i] : MmxBlend(src[i], dst[i], a);
  }
}

TteColor MmxBlendPixel(TteColor top, TteColor bottom) { return MmxBlend(top, bottom, top >> 24); }

void FillPixels(TteColor* p, int n, TteColor v) {
  for (int i = 0; i < n; ++i) p[i] = v;
}

void FillPixelRect(TteColor* bits, int width, const fw::TRect& r, TteColor v) {
  for (int y = r.Top; y < r.Bottom; ++y) FillPixels(bits + std::ptrdiff_t(y) * width + r.Left, r.Right - r.Left, v);
}

void SetAlphaRun(TteColor* p, int n, std::uint8_t a) {
  const TteColor alpha = TteColor(a) << 24;
  for (int i = 0; i < n; ++i) p[i] = (p[i] & 0x00FFFFFF) | alpha;
}

void SetAlphaPixelRect(TteColor* bits, int width, const fw::TRect& r, std::uint8_t a) {
  for (int y = r.Top; y < r.Bottom; ++y) SetAlphaRun(bits + std::ptrdiff_t(y) * width + r.Left, r.Right - r.Left, a);
}

void ClearAlphaOfColor(TteColor* p, int n, TteColor color) {
  const TteColor rgb = color & 0x00FFFFFF;
  for (int i = 0; i < n; ++i)
    if ((p[i] & 0x00FFFFFF) == rgb) p[i] &= 0x00FFFFFF;
}

const TPixelOps kPlain{CopyRow,       CopyRowKeyed,      PlainBlendRow, PlainBlendPixel,  FillPixels,
                       FillPixelRect, SetAlphaRun,       SetAlphaPixelRect, ClearAlphaOfColor};
const TPixelOps kMmx{CopyRow,       CopyRowKeyed,      MmxBlendRow, MmxBlendPixel,  FillPixels,
                     FillPixelRect, SetAlphaRun,       SetAlphaPixelRect, ClearAlphaOfColor};

}  // namespace

const TPixelOps& PlainPixelOps() { return kPlain; }
const TPixelOps& MmxPixelOps() { return kMmx; }

TPixelOps PixelOps = kPlain;

void SelectPixelOps(bool mmx) { PixelOps = mmx ? kMmx : kPlain; }

}  // namespace te
