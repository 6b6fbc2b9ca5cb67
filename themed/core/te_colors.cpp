#include "themed/core/te_colors.h"

#include <cmath>

namespace te {

namespace {
// Round to nearest, ties to even (the default floating-point rounding mode).
int RoundEven(float v) { return int(std::lrintf(v)); }
}  // namespace

TteColor RgbToTeColor(fw::TColor rgb, std::uint8_t alpha) {
  const std::uint32_t r = rgb & 0xFF, g = (rgb >> 8) & 0xFF, b = (rgb >> 16) & 0xFF;
  return TteColor(alpha) << 24 | r << 16 | g << 8 | b;
}

fw::TColor TeColorToColor(TteColor p) {
  const std::uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
  return fw::TColor(b << 16 | g << 8 | r);
}

TteColor MakeTeColor(std::int16_t r, std::int16_t g, std::int16_t b, std::uint8_t a) {
  auto clamp = [](std::int16_t v) { return std::uint32_t(v > 255 ? 255 : v < 0 ? 0 : v); };
  return TteColor(a) << 24 | clamp(r) << 16 | clamp(g) << 8 | clamp(b);
}

void TeColorToHSL(TteColor p, float& h, float& s, float& l) {
  const float r = float((p >> 16) & 0xFF) / 255.0f;
  const float g = float((p >> 8) & 0xFF) / 255.0f;
  const float b = float(p & 0xFF) / 255.0f;
  const float mx = std::fmax(r, std::fmax(g, b));
  const float mn = std::fmin(r, std::fmin(g, b));
  l = (mx + mn) / 2.0f;
  if (mx == mn) {
    h = 0;
    s = 0;
    return;
  }
  const float d = mx - mn;
  s = l < 0.5f ? d / (mx + mn) : d / (2.0f - mx - mn);
  float sixths;
  if (mx == r) sixths = (g - b) / d;
  else if (mx == g) sixths = (b - r) / d + 2.0f;
  else sixths = (r - g) / d + 4.0f;
  h = sixths / 6.0f;
  if (h < 0) h += 1.0f;
}

TteColor HSLToTeColor(float h, float s, float l) {
  if (s == 0) {
    const int v = RoundEven(l * 255.0f);
    return MakeTeColor(std::int16_t(v), std::int16_t(v), std::int16_t(v), 255);
  }
  const float m2 = l <= 0.5f ? l * (1.0f + s) : l + s - l * s;
  const float m1 = 2.0f * l - m2;
  auto v = [&](float hue) {
    hue = hue - std::floor(hue);
    float out;
    if (6.0f * hue < 1.0f) out = m1 + (m2 - m1) * 6.0f * hue;
    else if (2.0f * hue < 1.0f) out = m2;
    else if (3.0f * hue < 2.0f) out = m1 + (m2 - m1) * (2.0f / 3.0f - hue) * 6.0f;
    else out = m1;
    return std::int16_t(RoundEven(out * 255.0f));
  };
  return MakeTeColor(v(h + 1.0f / 3.0f), v(h), v(h - 1.0f / 3.0f), 255);
}

TteColor ChangeHue(TteColor p, int delta) {
  float h, s, l;
  TeColorToHSL(p, h, s, l);
  int k = RoundEven(h * 255.0f) + delta;
  if (k > 255) k -= 255;  // the hue scale wraps by 255
  if (k < 0) k += 255;
  return HSLToTeColor(float(k) / 255.0f, s, l);
}

TteColor ChangeBrightness(TteColor p, std::int16_t delta) {
  return MakeTeColor(std::int16_t(((p >> 16) & 0xFF) + delta), std::int16_t(((p >> 8) & 0xFF) + delta),
                     std::int16_t((p & 0xFF) + delta), 255);
}

TteColor AdjustTeColor(TteColor p, std::int16_t dr, std::int16_t dg, std::int16_t db, std::uint8_t da) {
  return MakeTeColor(std::int16_t(((p >> 16) & 0xFF) + dr), std::int16_t(((p >> 8) & 0xFF) + dg),
                     std::int16_t((p & 0xFF) + db), std::uint8_t(((p >> 24) + da) & 0xFF));
}

TteColor BrightenTeColor(TteColor p, std::int16_t delta) { return AdjustTeColor(p, delta, delta, delta, 0); }

}  // namespace te
