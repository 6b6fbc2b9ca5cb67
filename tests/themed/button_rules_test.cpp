// The push button's Windows-free rules: the state table, the block's layout,
// glyph cells and greys.
#include <gtest/gtest.h>

#include "themed/core/te_button_rules.h"

using namespace te;

TEST(ButtonStateTable, EveryCombinationTakesTheFirstRuleThatHolds) {
  // Face state, caption state, caption font, visual-style state (PBS_) for
  // each combination; bit 1 disabled, 2 pressed, 4 hot, 8 focused, 16 active default.
  struct TWant {
    int Face, Caption, Font, VisualStyle;
  };
  constexpr TWant kTable[32] = {
      {0, 0, 10, 1}, {3, 3, 14, 4}, {2, 2, 11, 3}, {3, 3, 14, 4},  // 0-3
      {1, 1, 12, 2}, {3, 3, 14, 4}, {2, 2, 11, 3}, {3, 3, 14, 4},  // 4-7
      {4, 4, 13, 5}, {3, 3, 14, 4}, {2, 2, 11, 3}, {3, 3, 14, 4},  // 8-11
      {1, 1, 12, 2}, {3, 3, 14, 4}, {2, 2, 11, 3}, {3, 3, 14, 4},  // 12-15
      {6, 0, 10, 5}, {3, 3, 14, 4}, {2, 2, 11, 3}, {3, 3, 14, 4},  // 16-19
      {1, 1, 12, 2}, {3, 3, 14, 4}, {2, 2, 11, 3}, {3, 3, 14, 4},  // 20-23
      {4, 4, 13, 5}, {3, 3, 14, 4}, {2, 2, 11, 3}, {3, 3, 14, 4},  // 24-27
      {1, 1, 12, 2}, {3, 3, 14, 4}, {2, 2, 11, 3}, {3, 3, 14, 4},  // 28-31
  };
  for (int bits = 0; bits < 32; ++bits) {
    const TButtonConditions c{!(bits & 1), bool(bits & 2), bool(bits & 4), bool(bits & 8), bool(bits & 16)};
    const TButtonLook look = ButtonLook(c);
    const TWant& want = kTable[bits];
    EXPECT_EQ(int(look.FaceState), want.Face) << bits;
    EXPECT_EQ(int(look.CaptionState), want.Caption) << bits;
    EXPECT_EQ(int(look.FontIndex), want.Font) << bits;
    EXPECT_EQ(int(look.VisualStyleState), want.VisualStyle) << bits;
  }
}

TEST(EditFrameState, DisabledThenFocusedThenHot) {
  // ETS_NORMAL 1, ETS_HOT 2, ETS_SELECTED 3 (the focused frame), ETS_DISABLED 4; bit 1 disabled, 2 focused, 4 hot.
  constexpr int kTable[8] = {1, 4, 3, 4, 2, 4, 3, 4};
  for (int bits = 0; bits < 8; ++bits)
    EXPECT_EQ(int(EditFrameState(!(bits & 1), bool(bits & 2), bool(bits & 4))), kTable[bits]) << bits;
}

TEST(ButtonBlock, AWrappedCaptionWithoutGlyphOnTheMainWindowsButton) {
  const TRect block = ButtonBlock(true, 273, 49, 4, 0, 0, false, 0, 0, blGlyphLeft);
  EXPECT_EQ(block, fw::Rect(0, 0, 259, 35)) << "Spacing comes off also without a glyph";
  EXPECT_EQ(PlaceButtonBlock(block, fw::taCenter, 273, 49, 273, 49, false), fw::Rect(7, 7, 266, 42))
      << "7 pixels from each side";
  EXPECT_EQ(PlaceButtonBlock(block, fw::taCenter, 273, 49, 273, 49, true), fw::Rect(8, 8, 267, 43))
      << "held: one pixel right and down";
}

TEST(ButtonBlock, JustifiedBlocksAreFourPixelsFromTheirEdgeAndCentredVertically) {
  const TRect text = ButtonBlock(false, 200, 40, 4, 60, 13, false, 0, 0, blGlyphLeft);
  EXPECT_EQ(text, fw::Rect(0, 0, 60, 13));
  EXPECT_EQ(PlaceButtonBlock(text, fw::taLeftJustify, 200, 40, 200, 40, false), fw::Rect(4, 13, 64, 26));
  EXPECT_EQ(PlaceButtonBlock(text, fw::taRightJustify, 200, 40, 200, 40, false), fw::Rect(136, 13, 196, 26));
  EXPECT_EQ(PlaceButtonBlock(text, fw::taCenter, 200, 40, 200, 40, false), fw::Rect(70, 13, 130, 26));
  EXPECT_EQ(PlaceButtonBlock(fw::Rect(0, 0, 60, 14), fw::taCenter, 200, 41, 200, 41, false).Top, 13)
      << "halves truncate";
}

TEST(ButtonBlock, AGlyphTakesASlotOfItsWidthAndTheSpacing) {
  const TRect block = ButtonBlock(false, 100, 30, 4, 40, 13, true, 16, 16, blGlyphLeft);
  EXPECT_EQ(block, fw::Rect(0, 0, 60, 16)) << "text 40 + glyph 16 + spacing 4, as high as the glyph";
  const TRect placed = PlaceButtonBlock(block, fw::taCenter, 100, 30, 100, 30, false);
  const TRect glyph = ButtonGlyphRect(placed, true, 16, 16, 4, blGlyphLeft);
  const TRect text = ButtonTextRect(placed, true, 16, 16, 4, blGlyphLeft);
  EXPECT_EQ(glyph.Width(), 20) << "a 20-pixel slot: 2 pixels left and right of the 16-pixel glyph";
  EXPECT_EQ(glyph.Left, placed.Left);
  EXPECT_EQ(text.Left, placed.Left + 20);
  EXPECT_EQ(text.Right, placed.Right);
  const TRect above = ButtonBlock(false, 100, 60, 4, 40, 13, true, 16, 16, blGlyphTop);
  EXPECT_EQ(above, fw::Rect(0, 0, 40, 33));
  const TRect top = PlaceButtonBlock(above, fw::taCenter, 100, 60, 100, 60, false);
  EXPECT_EQ(ButtonGlyphRect(top, true, 16, 16, 4, blGlyphTop).Height(), 20);
  EXPECT_EQ(ButtonTextRect(top, true, 16, 16, 4, blGlyphBottom).Bottom, top.Bottom - 20);
  EXPECT_EQ(ButtonGlyphRect(top, true, 16, 16, 4, blGlyphRight).Left, top.Right - 20);
  EXPECT_EQ(ButtonBlock(false, 100, 30, 4, 10, 5, true, 30, 24, blGlyphTop), fw::Rect(0, 0, 30, 33))
      << "never narrower than the glyph";
}

TEST(Glyphs, CellsOfAGlyphBySize) {
  EXPECT_EQ(CellsOfGlyph(48, 16), 3);
  EXPECT_EQ(CellsOfGlyph(64, 16), 4);
  EXPECT_EQ(CellsOfGlyph(80, 16), 1) << "five squares: one cell";
  EXPECT_EQ(CellsOfGlyph(40, 16), 0) << "not whole squares: the number stays";
  EXPECT_EQ(CellsOfGlyph(16, 0), 0);
  EXPECT_EQ(CellsOfGlyph(32, 16), 2);
}

TEST(Glyphs, TheCellShownForDisabledAndHeld) {
  EXPECT_EQ(GlyphCellLeft(1, false, true, 16), 0);
  EXPECT_EQ(GlyphCellLeft(2, false, false, 16), 16) << "disabled: the second cell";
  EXPECT_EQ(GlyphCellLeft(2, true, true, 16), 0) << "two cells have no held one";
  EXPECT_EQ(GlyphCellLeft(3, true, true, 16), 32) << "held: the third cell";
  EXPECT_EQ(GlyphCellLeft(4, false, true, 16), 48) << "disabled and held add up, as the rule has it";
}

TEST(Glyphs, GreysFromTheLightness) {
  EXPECT_EQ(GlyphGrey(0x000000), 0);
  EXPECT_EQ(GlyphGrey(0xFFFFFF), 255);
  EXPECT_EQ(GlyphGrey(0x0000FF), 128) << "pure red: lightness one half, 127.5 rounds to even";
  EXPECT_EQ(GlyphGrey(0x808000), 64) << "(0 + 128) / 2 / 255 x 255";
  int lowest = 255, highest = 0;
  for (unsigned c = 0; c < 0x1000000; c += 0x10101 * 3) {
    const int v = DisabledGlyphGrey(c);
    lowest = std::min(lowest, v);
    highest = std::max(highest, v);
  }
  EXPECT_EQ(lowest, 160);
  EXPECT_EQ(highest, 210);
  EXPECT_EQ(DisabledGlyphGrey(0x0000FF), 185) << "160 + round(25)";
}
