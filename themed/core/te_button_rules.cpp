#include "themed/core/te_button_rules.h"

#include <cmath>

#include "themed/core/te_colors.h"
#include "themed/core/te_rects.h"

namespace te {

TButtonLook ButtonLook(const TButtonConditions& c) {
  if (!c.Enabled) return {StateDisabled, StateDisabled, tfButtonTextDisabled, kPbsDisabled};
  if (c.Pressed) return {StatePressed, StatePressed, tfButtonTextPressed, kPbsPressed};
  if (c.Hot) return {StateHot, StateHot, tfButtonTextHot, kPbsHot};
  if (c.Focused) return {StateFocused, StateFocused, tfButtonTextFocused, kPbsDefaulted};
  if (c.ActiveDefault) return {StateDefault, StateNormal, tfButtonTextNormal, kPbsDefaulted};
  return {StateNormal, StateNormal, tfButtonTextNormal, kPbsNormal};
}

TRect ButtonBlock(bool wordWrap, int width, int height, int spacing, int textWidth, int textHeight, bool hasGlyph,
                  int glyphWidth, int glyphHeight, TButtonLayout layout) {
  TRect r = wordWrap ? TRect{0, 0, width - 10 - spacing - glyphWidth, height - 10 - spacing - glyphHeight}
                     : TRect{0, 0, textWidth, textHeight};
  if (hasGlyph) {
    if (layout == blGlyphLeft || layout == blGlyphRight)
      r.Right += glyphWidth + spacing;
    else
      r.Bottom += glyphHeight + spacing;
    if (glyphWidth > r.Right) r.Right = glyphWidth;
    if (glyphHeight > r.Bottom) r.Bottom = glyphHeight;
  }
  return r;
}

TRect PlaceButtonBlock(TRect r, fw::TAlignment alignment, int paintWidth, int paintHeight, int width, int height,
                       bool pressed) {
  auto offset = [&r](int dx, int dy) { r = fw::Moved(r, dx, dy); };
  switch (alignment) {
    case fw::taLeftJustify: offset(4, (paintHeight - r.Bottom) / 2); break;
    case fw::taRightJustify: offset(paintWidth - r.Right - 4, (paintHeight - r.Bottom) / 2); break;
    case fw::taCenter: {
      TRect placed;
      CenterRect(r, TRect{0, 0, width, height}, placed);
      r = placed;
      break;
    }
  }
  if (pressed) offset(1, 1);
  return r;
}

TRect ButtonTextRect(TRect r, bool hasGlyph, int glyphWidth, int glyphHeight, int spacing, TButtonLayout layout) {
  if (!hasGlyph) return r;
  switch (layout) {
    case blGlyphLeft: r.Left += glyphWidth + spacing; break;
    case blGlyphRight: r.Right -= glyphWidth + spacing; break;
    case blGlyphTop: r.Top += glyphHeight + spacing; break;
    case blGlyphBottom: r.Bottom -= glyphHeight + spacing; break;
  }
  return r;
}

TRect ButtonGlyphRect(TRect r, bool hasGlyph, int glyphWidth, int glyphHeight, int spacing, TButtonLayout layout) {
  if (!hasGlyph) return r;
  switch (layout) {
    case blGlyphLeft: r.Right = r.Left + glyphWidth + spacing; break;
    case blGlyphRight: r.Left = r.Right - glyphWidth - spacing; break;
    case blGlyphTop: r.Bottom = r.Top + glyphHeight + spacing; break;
    case blGlyphBottom: r.Top = r.Bottom - glyphHeight - spacing; break;
  }
  return r;
}

int GlyphCellLeft(int numGlyphs, bool enabled, bool pressed, int cellWidth) {
  int left = 0;
  if (numGlyphs > 1 && !enabled) left += cellWidth;
  if (numGlyphs > 2 && pressed) left += 2 * cellWidth;
  return left;
}

int CellsOfGlyph(int width, int height) {
  if (height == 0 || width % height != 0) return 0;
  const int n = width / height;
  return n >= 1 && n <= 4 ? n : 1;
}

namespace {
float Lightness(fw::TColor rgb) {
  float h, s, l;
  TeColorToHSL(RgbToTeColor(rgb, 255), h, s, l);
  return l;
}
}  // namespace

std::uint8_t GlyphGrey(fw::TColor rgb) { return std::uint8_t(std::lrint(Lightness(rgb) * 255.0f)); }

std::uint8_t DisabledGlyphGrey(fw::TColor rgb) {
  return std::uint8_t((std::lrint(Lightness(rgb) * 50.0f) + 160) % 256);
}

}  // namespace te
