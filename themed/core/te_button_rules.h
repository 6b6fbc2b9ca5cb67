// The push button's rules that need no Windows: its state table, where its
// caption-and-glyph block goes, which glyph cell shows, how a glyph turns
// into greys, and how many cells a glyph of a given size has. Tested natively
// and under Wine.
#pragma once
#include <cstdint>

#include "framework/core/types.h"
#include "themed/core/te_theme_rules.h"
#include "themed/core/te_theme_streams.h"

namespace te {

using fw::TRect;

enum TButtonLayout : std::uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// ---- The state table -----------------------------------------------------------------------

// The Windows visual style's push button: part BP_PUSHBUTTON of class "Button"
// and its PBS_ states.
constexpr int kBpPushButton = 1;
enum TPushButtonState : int { kPbsNormal = 1, kPbsHot = 2, kPbsPressed = 3, kPbsDisabled = 4, kPbsDefaulted = 5 };

struct TButtonConditions {
  bool Enabled = true, Pressed = false, Hot = false, Focused = false, ActiveDefault = false;
};

// What one combination of conditions looks like, the first rule that holds winning:
// disabled, pressed, hot, focused, active default, otherwise.
struct TButtonLook {
  TteObjectState FaceState;           // theme state of the face and the glyph
  TteObjectState CaptionState;        // theme state of the caption (the active default's is normal)
  TThemeFontIndex FontIndex;          // the theme's caption font
  TPushButtonState VisualStyleState;  // of the visual style's push button
};
TButtonLook ButtonLook(const TButtonConditions& c);

// ---- The caption-and-glyph block -----------------------------------------------------------

// The unplaced block (steps 4 and 5 of GetContentRect): a wrapped caption gets
// the button less 10 and Spacing (and the glyph's size, also when there is no
// glyph's Spacing), else the measured text; a glyph adds its width or height
// and Spacing beside or above the caption, and the block is never smaller than it.
TRect ButtonBlock(bool wordWrap, int width, int height, int spacing, int textWidth, int textHeight, bool hasGlyph,
                  int glyphWidth, int glyphHeight, TButtonLayout layout);
// Placed (steps 6 and 7): 4 pixels from the left or right edge and centred
// vertically, or centred in (0, 0, width, height); one pixel right and down while held.
TRect PlaceButtonBlock(TRect block, fw::TAlignment alignment, int paintWidth, int paintHeight, int width, int height,
                       bool pressed);
// The caption's and the glyph's parts of a placed block.
TRect ButtonTextRect(TRect block, bool hasGlyph, int glyphWidth, int glyphHeight, int spacing, TButtonLayout layout);
TRect ButtonGlyphRect(TRect block, bool hasGlyph, int glyphWidth, int glyphHeight, int spacing, TButtonLayout layout);

// ---- Glyphs -------------------------------------------------------------------------------

// The left of the source cell: the second cell for a disabled button of two or
// more cells, the third for a held button of three or more (cells are cellWidth wide).
int GlyphCellLeft(int numGlyphs, bool enabled, bool pressed, int cellWidth);
// The cells of a glyph of this size: width div height when that is 1 to 4, else 1;
// 0 when the size says nothing (no height, or not a whole number of squares).
int CellsOfGlyph(int width, int height);
// Grey of the lightness (largest + smallest channel) / 2 of an RGB colour, as
// a 32-bit float: round(L x 255), ties to even.
std::uint8_t GlyphGrey(fw::TColor rgb);
// A one-cell glyph's disabled grey: (round(L x 50) + 160) mod 256, 160 to 210.
std::uint8_t DisabledGlyphGrey(fw::TColor rgb);

}  // namespace te
