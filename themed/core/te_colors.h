// Colour functions: the framework's TColor (0x00BBGGRR) and the library's
// TteColor (0xAARRGGBB), the HSL model and channel offsets. Bit-exact with
// 32-bit float intermediates and rounding to nearest, ties to even.
// Windows-free: system-colour references are resolved by the caller
// (ColorToTeColor in te_bitmap resolves them with the framework's ColorToRGB).
#pragma once
#include <cstdint>

#include "framework/core/types.h"
#include "themed/core/te_pixels.h"

namespace te {

// An already resolved RGB colour (0x00BBGGRR) with the given alpha.
TteColor RgbToTeColor(fw::TColor rgb, std::uint8_t alpha);
fw::TColor TeColorToColor(TteColor p);
TteColor MakeTeColor(std::int16_t r, std::int16_t g, std::int16_t b, std::uint8_t a);
void TeColorToHSL(TteColor p, float& h, float& s, float& l);
TteColor HSLToTeColor(float h, float s, float l);
TteColor ChangeHue(TteColor p, int delta);
TteColor ChangeBrightness(TteColor p, std::int16_t delta);
TteColor AdjustTeColor(TteColor p, std::int16_t deltaR, std::int16_t deltaG, std::int16_t deltaB, std::uint8_t deltaA);
TteColor BrightenTeColor(TteColor p, std::int16_t delta);

}  // namespace te
