// The library's pixel type and the pixel-row routines every drawing rests on.
// TteColor is 0xAARRGGBB with straight (not premultiplied) alpha; in memory
// the bytes are blue, green, red, alpha. The routines come in a plain and an
// MMX version whose blends differ by design, each row blend also with SSE2;
// one set is chosen at start by the processor tests and called through
// PixelOps. Windows-free.
#pragma once
#include <cstdint>
#include <vector>

#include "framework/core/types.h"

namespace te {

using TteColor = std::uint32_t;
using TArrayOfteColor = std::vector<TteColor>;

// Red 0x7F, green 0, blue 0x7F, alpha 0; the same colour read as a COLORREF.
inline constexpr TteColor TransparentKey = 0x007F007F;

struct TPixelOps {
  void (*CopyRow)(const TteColor* src, TteColor* dst, int n);
  // Key pixels (low 24 bits 0x7F007F) leave the target; the others land with alpha 255.
  void (*CopyRowKeyed)(const TteColor* src, TteColor* dst, int n);
  // Source alpha 0 leaves the target, 255 copies; otherwise the variant's blend.
  void (*BlendRow)(const TteColor* src, TteColor* dst, int n);
  // The same over a row that is elsewhere: dst gets under with src blended on
  // it (CopyRow(under, dst) then BlendRow(src, dst), in one pass where the
  // processor allows; under may be dst).
  void (*BlendRowOnto)(const TteColor* src, const TteColor* under, TteColor* dst, int n);
  // A transition frame's row: src takes its alpha from alpha[] (0 where its
  // colour is key's), then is blended onto under into dst, as BlendRowOnto.
  void (*MaskBlendRowOnto)(TteColor* src, const std::uint8_t* alpha, TteColor key, const TteColor* under, TteColor* dst,
                           int n);
  TteColor (*BlendPixel)(TteColor top, TteColor bottom);
  void (*FillPixels)(TteColor* p, int n, TteColor v);
  void (*FillPixelRect)(TteColor* bits, int width, const fw::TRect& r, TteColor v);  // r already clipped
  void (*SetAlphaRun)(TteColor* p, int n, std::uint8_t a);
  void (*SetAlphaPixelRect)(TteColor* bits, int width, const fw::TRect& r, std::uint8_t a);
  void (*ClearAlphaOfColor)(TteColor* p, int n, TteColor color);
};

// Plain blend: red, green, blue (s*a + d*(255-a)) >> 8, alpha 255.
const TPixelOps& PlainPixelOps();
// MMX blend: all four channels (s*a + d*(256-a)) >> 8; BlendPixel uses it for every a.
const TPixelOps& MmxPixelOps();
// The same two, their BlendRow four pixels at a time with SSE2 (the same bytes
// as the pixel-by-pixel routine); the plain and MMX sets where there is no SSE2.
const TPixelOps& PlainSse2PixelOps();
const TPixelOps& MmxSse2PixelOps();
// And eight at a time with AVX2 (to be used only where HasAVX2()).
const TPixelOps& PlainAvx2PixelOps();
const TPixelOps& MmxAvx2PixelOps();

// The set in use, chosen once at start (SelectPixelOps(HasMMX())): the plain
// or the MMX blend, each with its widest row the processor has (AVX2, SSE2).
extern TPixelOps PixelOps;
void SelectPixelOps(bool mmx);

}  // namespace te
