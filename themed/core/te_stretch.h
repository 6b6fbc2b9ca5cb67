// Drawing one pixel grid into another by straight pixel writes, with or
// without nearest-neighbour scaling, in the opaque, keyed or alpha mode. The
// alpha bitmap uses it for bitmap-to-bitmap drawing (column and row maps
// truncated) and for 32-bit bottom-up DIB targets (maps rounded). Windows-free.
#pragma once
#include <vector>

#include "framework/core/types.h"
#include "themed/core/te_pixels.h"

namespace te {

struct TPixelGrid {
  TteColor* Bits = nullptr;
  int Width = 0, Height = 0;
  bool BottomUp = false;  // row 0 is the last row in memory
  TteColor* Row(int y) const { return Bits + std::ptrdiff_t(BottomUp ? Height - 1 - y : y) * Width; }
};

enum class TDrawMode { Opaque, Keyed, Alpha };
enum class TMapRounding { Truncate, Nearest };

// The source index of each of count target positions starting at offset
// (relative to the destination's start): for a destination of fewer than 2
// pixels the middle (srcStart + srcEnd - 1) / 2, else F(offset_i * k + srcStart)
// with k = (srcLen - 1) / (destLen - 1) held as a 32-bit float.
std::vector<int> StretchMap(int destLen, int srcStart, int srcEnd, int offset, int count, TMapRounding rounding);

// Draws src of source into dest of target (clipped to the target); nothing when
// src does not lie inside source. EndMMX runs at the end.
void StretchPixels(const TPixelGrid& target, const fw::TRect& dest, const TPixelGrid& source, const fw::TRect& src,
                   TDrawMode mode, TMapRounding rounding);

// Mask bytes (cols x rows) as the alpha of the grid's pixels in r (clipped to
// the grid), stretched by nearest cell in 16.16 fixed point; colours are kept.
void ApplyMaskAlphaPixels(const TPixelGrid& grid, const std::uint8_t* mask, int cols, int rows, const fw::TRect& r);

// One frame of a FADE transition in one pass over the rows, with the result
// of its four steps: the old picture copied to work (skipped when they are the
// same grid); the mask stretched onto each of tiles x tiles tiles of
// tileWidth x tileHeight pixels of the new picture as its alpha
// (ApplyMaskAlphaPixels per tile); the alpha of the new picture's key-colour
// pixels cleared (ClearAlphaOfColor); and the new picture, at 0,0, blended
// over work (PixelOps.BlendRow), clipped to work. The new picture keeps the
// alpha it was given. All grids top-down; old and work of one size.
void ComposeFadeFrame(const TPixelGrid& work, const TPixelGrid& oldImage, const TPixelGrid& newImage,
                      const std::uint8_t* mask, int cols, int rows, int tileWidth, int tileHeight, int tiles);

}  // namespace te
