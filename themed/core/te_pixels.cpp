#include "themed/core/te_pixels.h"

#include <cstring>

#include "themed/core/te_cpu.h"

#if defined(__x86_64__) || defined(__i386__)
#include <mmintrin.h>
#define TE_HAVE_MMX_CODE 1
#endif
#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#include <immintrin.h>
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

void PlainBlendRow(const TteColor* src, TteColor* dst, int n) {
  for (int i = 0; i < n; ++i) {
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
  for (int i = 0; i < n; ++i) {
    const std::uint32_t a = src[i] >> 24;
    if (a == 0) continue;
    dst[i] = a == 255 ? src[i] : MmxBlend(src[i], dst[i], a);
  }
}

template <void (*Blend)(const TteColor*, TteColor*, int)>
void BlendRowOnto(const TteColor* src, const TteColor* under, TteColor* dst, int n) {
  CopyRow(under, dst, n);
  Blend(src, dst, n);
}

template <void (*Onto)(const TteColor*, const TteColor*, TteColor*, int)>
void MaskBlendRowOnto(TteColor* src, const std::uint8_t* alpha, TteColor key, const TteColor* under, TteColor* dst,
                      int n) {
  const TteColor rgbKey = key & 0x00FFFFFF;
  for (int i = 0; i < n; ++i) {
    const TteColor rgb = src[i] & 0x00FFFFFF;
    src[i] = rgb | (rgb == rgbKey ? 0 : TteColor(alpha[i]) << 24);
  }
  Onto(src, under, dst, n);
}

#if TE_HAVE_SSE2
// Four pixels at a time in 16-bit lanes, the very bytes of the per-pixel
// formulas: plain (s*a + d*(255-a)) >> 8 with alpha 255, or MMX
// (s*a + d*(256-a)) >> 8 on all four channels; alpha 0 keeps the target and
// alpha 255 copies the source in both. Groups of four that are all clear or
// all opaque skip the arithmetic; the others pick their clear and opaque
// lanes only when they have any. The rest of a row goes pixel by pixel.
// s*a + d*(255-a) (d*(256-a) for MMX) in 16-bit lanes, blue and red in lanes
// of their own and green and alpha in theirs, so that nothing is unpacked.
template <bool kMmx>
inline __m128i BlendLanes(__m128i sv, __m128i dv, __m128i a32) {
  const __m128i lowBytes = _mm_set1_epi32(0x00FF00FF);
  const __m128i a = _mm_or_si128(a32, _mm_slli_epi32(a32, 16));
  const __m128i na = kMmx ? _mm_sub_epi16(_mm_set1_epi16(256), a) : _mm_xor_si128(a, _mm_set1_epi16(255));
  const __m128i rb =
      _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(sv, lowBytes), a), _mm_mullo_epi16(_mm_and_si128(dv, lowBytes), na));
  const __m128i ga =
      _mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(sv, 8), a), _mm_mullo_epi16(_mm_srli_epi16(dv, 8), na));
  const __m128i out = _mm_or_si128(_mm_srli_epi16(rb, 8), _mm_andnot_si128(lowBytes, ga));
  return kMmx ? out : _mm_or_si128(out, _mm_set1_epi32(int(0xFF000000u)));
}

// Four pixels at a time, the very bytes of the per-pixel formulas: alpha 0
// keeps the target and alpha 255 copies the source in both variants. Groups
// of four that are all clear or all opaque skip the arithmetic; the others
// pick their clear and opaque lanes only when they have any. The rest of a
// row goes pixel by pixel.
template <bool kMmx>
inline void Blend4(const TteColor* src, TteColor* dst) {
  const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
  __m128i* out = reinterpret_cast<__m128i*>(dst);
  const __m128i a32 = _mm_srli_epi32(sv, 24);
  const __m128i isClear = _mm_cmpeq_epi32(a32, _mm_setzero_si128());
  const __m128i isOpaque = _mm_cmpeq_epi32(a32, _mm_set1_epi32(255));
  if (_mm_movemask_epi8(_mm_or_si128(isClear, isOpaque)) == 0) {  // the common case: no lane clear or opaque
    _mm_storeu_si128(out, BlendLanes<kMmx>(sv, _mm_loadu_si128(out), a32));
    return;
  }
  const int clear = _mm_movemask_epi8(isClear);
  if (clear == 0xFFFF) return;
  if (_mm_movemask_epi8(isOpaque) == 0xFFFF) {
    _mm_storeu_si128(out, sv);
    return;
  }
  const __m128i dv = _mm_loadu_si128(out);
  __m128i v = BlendLanes<kMmx>(sv, dv, a32);
  v = _mm_or_si128(_mm_and_si128(isClear, dv), _mm_andnot_si128(isClear, v));
  v = _mm_or_si128(_mm_and_si128(isOpaque, sv), _mm_andnot_si128(isOpaque, v));
  _mm_storeu_si128(out, v);
}

template <bool kMmx>
void BlendRowSse2(const TteColor* src, TteColor* dst, int n) {
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    Blend4<kMmx>(src + i, dst + i);
    Blend4<kMmx>(src + i + 4, dst + i + 4);
  }
  for (; i + 4 <= n; i += 4) Blend4<kMmx>(src + i, dst + i);
  if (kMmx)
    MmxBlendRow(src + i, dst + i, n - i);
  else
    PlainBlendRow(src + i, dst + i, n - i);
}

// BlendLanes in 256-bit lanes, eight pixels of source sv over target dv with
// alpha a32 (one per 32-bit lane): alpha 0 keeps the target, 255 the source.
template <bool kMmx>
TE_TARGET_AVX2 inline __m256i BlendLanesAvx2(__m256i sv, __m256i dv, __m256i a32) {
  const __m256i lowBytes = _mm256_set1_epi32(0x00FF00FF);
  const __m256i isClear = _mm256_cmpeq_epi32(a32, _mm256_setzero_si256());
  const __m256i isOpaque = _mm256_cmpeq_epi32(a32, _mm256_set1_epi32(255));
  const __m256i a = _mm256_or_si256(a32, _mm256_slli_epi32(a32, 16));
  const __m256i na = kMmx ? _mm256_sub_epi16(_mm256_set1_epi16(256), a) : _mm256_xor_si256(a, _mm256_set1_epi16(255));
  const __m256i rb = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(sv, lowBytes), a),
                                      _mm256_mullo_epi16(_mm256_and_si256(dv, lowBytes), na));
  const __m256i ga = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_srli_epi16(sv, 8), a),
                                      _mm256_mullo_epi16(_mm256_srli_epi16(dv, 8), na));
  __m256i v = _mm256_or_si256(_mm256_srli_epi16(rb, 8), _mm256_andnot_si256(lowBytes, ga));
  if (!kMmx) v = _mm256_or_si256(v, _mm256_set1_epi32(int(0xFF000000u)));
  v = _mm256_blendv_epi8(v, dv, isClear);
  return _mm256_blendv_epi8(v, sv, isOpaque);
}

// The same in 256-bit lanes, eight pixels at a time, where the processor has
// AVX2; the target row is read from under, which may be dst itself.
template <bool kMmx>
TE_TARGET_AVX2 void BlendRowOntoAvx2(const TteColor* src, const TteColor* under, TteColor* dst, int n) {
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    const __m256i a32 = _mm256_srli_epi32(sv, 24);
    const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(under + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), BlendLanesAvx2<kMmx>(sv, dv, a32));
  }
  // The wide registers' upper halves are cleared before SSE code runs again
  // (the compiler leaves that out before a tail call); left dirty, they slow
  // every SSE instruction that follows, anywhere in the program.
  _mm256_zeroupper();
  CopyRow(under + i, dst + i, n - i);
  BlendRowSse2<kMmx>(src + i, dst + i, n - i);
}

// The alpha four pixels at a time, then the SSE2 blend onto under.
template <bool kMmx>
void MaskBlendRowOntoSse2(TteColor* src, const std::uint8_t* alpha, TteColor key, const TteColor* under, TteColor* dst,
                          int n) {
  const __m128i rgbMask = _mm_set1_epi32(0x00FFFFFF), keyColour = _mm_set1_epi32(int(key & 0x00FFFFFF));
  const __m128i zero = _mm_setzero_si128();
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    std::int32_t cells;
    std::memcpy(&cells, alpha + i, sizeof cells);
    const __m128i a = _mm_slli_epi32(_mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(cells), zero), zero), 24);
    const __m128i rgb = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)), rgbMask);
    const __m128i isKey = _mm_cmpeq_epi32(rgb, keyColour);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(src + i), _mm_or_si128(rgb, _mm_andnot_si128(isKey, a)));
  }
  MaskBlendRowOnto<BlendRowOnto<BlendRowSse2<kMmx>>>(src + i, alpha + i, key, under + i, dst + i, n - i);
  BlendRowOnto<BlendRowSse2<kMmx>>(src, under, dst, i);
}

// Both steps in one pass, eight pixels at a time: the mask bytes widened into
// the alpha byte, key pixels cleared, the result stored back and blended.
template <bool kMmx>
TE_TARGET_AVX2 void MaskBlendRowOntoAvx2(TteColor* src, const std::uint8_t* alpha, TteColor key, const TteColor* under,
                                         TteColor* dst, int n) {
  const __m256i rgbMask = _mm256_set1_epi32(0x00FFFFFF);
  const __m256i keyColour = _mm256_set1_epi32(int(key & 0x00FFFFFF));
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i a32 = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(alpha + i)));
    const __m256i rgb = _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i)), rgbMask);
    const __m256i isKey = _mm256_cmpeq_epi32(rgb, keyColour);
    const __m256i sa = _mm256_andnot_si256(isKey, a32);  // the alpha each pixel gets
    const __m256i sv = _mm256_or_si256(rgb, _mm256_slli_epi32(sa, 24));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(src + i), sv);
    const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(under + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), BlendLanesAvx2<kMmx>(sv, dv, sa));
  }
  _mm256_zeroupper();
  MaskBlendRowOnto<BlendRowOnto<BlendRowSse2<kMmx>>>(src + i, alpha + i, key, under + i, dst + i, n - i);
}

template <bool kMmx>
TE_TARGET_AVX2 void BlendRowAvx2(const TteColor* src, TteColor* dst, int n) {
  BlendRowOntoAvx2<kMmx>(src, dst, dst, n);
}
#endif

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

const TPixelOps kPlain{CopyRow,
                       CopyRowKeyed,
                       PlainBlendRow,
                       BlendRowOnto<PlainBlendRow>,
                       MaskBlendRowOnto<BlendRowOnto<PlainBlendRow>>,
                       PlainBlendPixel,
                       FillPixels,
                       FillPixelRect,
                       SetAlphaRun,
                       SetAlphaPixelRect,
                       ClearAlphaOfColor};
const TPixelOps kMmx{CopyRow,
                     CopyRowKeyed,
                     MmxBlendRow,
                     BlendRowOnto<MmxBlendRow>,
                     MaskBlendRowOnto<BlendRowOnto<MmxBlendRow>>,
                     MmxBlendPixel,
                     FillPixels,
                     FillPixelRect,
                     SetAlphaRun,
                     SetAlphaPixelRect,
                     ClearAlphaOfColor};
#if TE_HAVE_SSE2
using TBlendRowOnto = void (*)(const TteColor*, const TteColor*, TteColor*, int);
using TMaskBlendRowOnto = void (*)(TteColor*, const std::uint8_t*, TteColor, const TteColor*, TteColor*, int);
TPixelOps WithBlendRow(TPixelOps ops, void (*blendRow)(const TteColor*, TteColor*, int), TBlendRowOnto blendRowOnto,
                       TMaskBlendRowOnto maskBlendRowOnto) {
  ops.BlendRow = blendRow;
  ops.BlendRowOnto = blendRowOnto;
  ops.MaskBlendRowOnto = maskBlendRowOnto;
  return ops;
}
const TPixelOps kPlainSse2 =
    WithBlendRow(kPlain, BlendRowSse2<false>, BlendRowOnto<BlendRowSse2<false>>, MaskBlendRowOntoSse2<false>);
const TPixelOps kMmxSse2 =
    WithBlendRow(kMmx, BlendRowSse2<true>, BlendRowOnto<BlendRowSse2<true>>, MaskBlendRowOntoSse2<true>);
const TPixelOps kPlainAvx2 =
    WithBlendRow(kPlain, BlendRowAvx2<false>, BlendRowOntoAvx2<false>, MaskBlendRowOntoAvx2<false>);
const TPixelOps kMmxAvx2 = WithBlendRow(kMmx, BlendRowAvx2<true>, BlendRowOntoAvx2<true>, MaskBlendRowOntoAvx2<true>);
#else
const TPixelOps kPlainSse2 = kPlain, kMmxSse2 = kMmx, kPlainAvx2 = kPlain, kMmxAvx2 = kMmx;
#endif

}  // namespace

const TPixelOps& PlainPixelOps() { return kPlain; }
const TPixelOps& MmxPixelOps() { return kMmx; }
const TPixelOps& PlainSse2PixelOps() { return kPlainSse2; }
const TPixelOps& MmxSse2PixelOps() { return kMmxSse2; }
const TPixelOps& PlainAvx2PixelOps() { return kPlainAvx2; }
const TPixelOps& MmxAvx2PixelOps() { return kMmxAvx2; }

TPixelOps PixelOps = kPlain;

void SelectPixelOps(bool mmx) {
  if (HasAVX2())
    PixelOps = mmx ? kMmxAvx2 : kPlainAvx2;
  else if (HasSSE2())
    PixelOps = mmx ? kMmxSse2 : kPlainSse2;
  else
    PixelOps = mmx ? kMmx : kPlain;
}

}  // namespace te
