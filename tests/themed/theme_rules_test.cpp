// The theme layer's and the themed controls' Windows-free rules.
#include <gtest/gtest.h>

#include "themed/core/te_theme_rules.h"

using namespace te;

namespace {
// A small class tree: Base <- Middle <- Leaf, and Other beside it.
const fw::TClassInfo kBase("Base", nullptr);
const fw::TClassInfo kMiddle("Middle", &kBase);
const fw::TClassInfo kLeaf("Leaf", &kMiddle);
const fw::TClassInfo kOther("Other", &kBase);
}  // namespace

TEST(ClassHookChoice, TheMostDerivedRegisteredClassWinsInEitherOrder) {
  EXPECT_EQ(ChooseClassHook({&kBase, &kMiddle}, kLeaf), 1);
  EXPECT_EQ(ChooseClassHook({&kMiddle, &kBase}, kLeaf), 0);
  EXPECT_EQ(ChooseClassHook({&kMiddle, &kBase}, kOther), 1) << "a sibling class falls back to the common ancestor";
  EXPECT_EQ(ChooseClassHook({&kLeaf}, kMiddle), -1) << "a descendant's hook does not serve its ancestor";
  EXPECT_EQ(ChooseClassHook({}, kLeaf), -1);
}

TEST(ClassHookChoice, OfTwoHooksForOneClassTheEarlierRegisteredWins) {
  EXPECT_EQ(ChooseClassHook({&kMiddle, &kBase, &kMiddle}, kLeaf), 0);
  EXPECT_EQ(ChooseClassHook({&kBase, &kBase}, kOther), 0);
  EXPECT_EQ(ChooseClassHook({&kLeaf, &kMiddle, &kLeaf, &kBase}, kLeaf), 0);
}

TEST(BorderInnerRect, MarginAndBevelsPerSide) {
  // 100 x 30, margin 2, two bevels of width 1.
  EXPECT_EQ(BorderInnerRect(100, 30, 2, 1, 2, kAllBevelSides), fw::Rect(4, 4, 96, 26));
  EXPECT_EQ(BorderInnerRect(100, 30, 2, 1, 2, kbsTop), fw::Rect(2, 4, 98, 28));
  EXPECT_EQ(BorderInnerRect(100, 30, 0, 3, 1, kbsLeft | kbsBottom), fw::Rect(3, 0, 100, 27));
  EXPECT_EQ(BorderInnerRect(100, 30, 0, 5, 0, kAllBevelSides), fw::Rect(0, 0, 100, 30)) << "no bevel drawn";
  EXPECT_EQ(BorderInnerRect(273, 49, 0, 0, 2, kAllBevelSides), fw::Rect(0, 0, 273, 49)) << "the push button";
}

// ---- Text records ----------------------------------------------------------------------

TEST(TextRecord, AlignmentFromDrawTextFlags) {
  struct Case {
    std::uint32_t flags;
    int alignment;
  };
  const Case cases[] = {{0, 0},
                        {dt::Center, 3},
                        {dt::Right, 6},
                        {dt::Center | dt::Right, 3},
                        {dt::VCenter, 1},
                        {dt::VCenter | dt::Center, 4},
                        {dt::VCenter | dt::Right, 7},
                        {dt::Bottom, 2},
                        {dt::Bottom | dt::Center, 5},
                        {dt::Bottom | dt::Right, 8},
                        {dt::Bottom | dt::Center | dt::Right, 5},
                        {dt::VCenter | dt::Bottom | dt::Right, 7}};
  for (const Case& c : cases)
    EXPECT_EQ(MakeTextInfo(fw::Rect(1, 2, 3, 4), L"x", c.flags).Alignment, c.alignment) << std::hex << c.flags;
}

TEST(TextRecord, OptionsKeepOnlyTheFourFlagsAndTheTextAndRectangleAreCopied) {
  const TteTextInfo t =
      MakeTextInfo(fw::Rect(1, 2, 30, 40), L"نص", dt::RtlReading | dt::NoPrefix | dt::SingleLine | dt::WordBreak |
                                                     dt::CalcRect | 0x100 /* DT_NOCLIP */);
  EXPECT_EQ(t.Options, ktoRtlReading | ktoNoPrefix | ktoSingleLine | ktoWordBreak);
  EXPECT_EQ(t.Rect, fw::Rect(1, 2, 30, 40));
  EXPECT_EQ(t.Text, L"نص");
  EXPECT_EQ(t.Orientation, 0);
  EXPECT_EQ(MakeTextInfo({}, L"", 0).Options, 0) << "bit 1 is never set";
}

TEST(TextRecord, DrawingFlagsAndRightToLeftTurnTheLeftAlignmentsRight) {
  TteTextInfo t = MakeTextInfo({}, L"", dt::VCenter | dt::RtlReading | dt::NoPrefix);
  std::uint8_t alignment;
  EXPECT_EQ(TextInfoDrawFlags(t, alignment), dt::RtlReading | dt::NoPrefix) << "no alignment flag is passed";
  EXPECT_EQ(alignment, 7) << "middle-left reads as middle-right";
  t.Alignment = 4;
  TextInfoDrawFlags(t, alignment);
  EXPECT_EQ(alignment, 4) << "the centre stays";
  t.Alignment = 2;
  TextInfoDrawFlags(t, alignment);
  EXPECT_EQ(alignment, 8);
  t.Options = ktoWordBreak | ktoSingleLine;
  t.Alignment = 0;
  EXPECT_EQ(TextInfoDrawFlags(t, alignment), dt::WordBreak | dt::SingleLine);
  EXPECT_EQ(alignment, 0);
}

TEST(TextRecord, PlacementByAlignmentTruncatesHalvesTowardZero) {
  // A 100 x 40 rectangle, a 30 x 11 text.
  const int want[9][2] = {{0, 0}, {0, 14}, {0, 29}, {35, 0}, {35, 14}, {35, 29}, {70, 0}, {70, 14}, {70, 29}};
  for (int a = 0; a < 9; ++a) {
    int dx, dy;
    ASSERT_TRUE(AlignedTextOffset(std::uint8_t(a), 100, 40, 30, 11, dx, dy));
    EXPECT_EQ(dx, want[a][0]) << a;
    EXPECT_EQ(dy, want[a][1]) << a;
  }
  int dx = 0, dy = 0;
  ASSERT_TRUE(AlignedTextOffset(4, 10, 10, 15, 13, dx, dy));
  EXPECT_EQ(dx, -2) << "a text wider than the rectangle starts left of it by half the excess";
  EXPECT_EQ(dy, -1);
  EXPECT_FALSE(AlignedTextOffset(9, 10, 10, 5, 5, dx, dy));
}

// ---- Window frames -----------------------------------------------------------------------

TEST(WindowFrame, ButtonHitCodes) {
  const int want[] = {17, 11, 12, 13, 13, 14, 14, 15, 15, 16, 0, 0, 0};
  for (int i = 0; i < 13; ++i) EXPECT_EQ(WindowButtonHitCode(i), want[i]) << i;
  EXPECT_EQ(WindowButtonHitCode(-1), 0);
}

TEST(WindowFrame, ButtonPlacesFromTheRight) {
  const TRect client = fw::Rect(4, 22, 396, 296);
  const TRect b = fw::Rect(396 - 23, 4, 396 - 1, 21);  // the rightmost cell
  const TRect none{-1, -1, -1, -1};
  const std::uint16_t close = 1 << 1, help = 1 << 2, min = 1 << 3, max = 1 << 5, roll = 1 << 7, tray = 1 << 9;
  auto moved = [&](int cells) { return fw::Rect(b.Left - 22 * cells, b.Top, b.Right - 22 * cells, b.Bottom); };
  EXPECT_EQ(BaseWindowButtonRect(client, close | max | min | help, 2), moved(3));
  EXPECT_EQ(BaseWindowButtonRect(client, close | max | min | help, 3), moved(2));
  EXPECT_EQ(BaseWindowButtonRect(client, close | max | min | help, 5), moved(1));
  EXPECT_EQ(BaseWindowButtonRect(client, close | max | min | help, 1), b);
  EXPECT_EQ(BaseWindowButtonRect(client, max | tray, 9), moved(1)) << "only the present groups count";
  EXPECT_EQ(BaseWindowButtonRect(client, roll, 8), b) << "the roll group: bit 7 or 8";
  EXPECT_EQ(BaseWindowButtonRect(client, 1, 0), fw::Rect(4, 4, 26, 21)) << "the system menu at the left";
  for (int i = 0; i < 13; ++i) EXPECT_EQ(BaseWindowButtonRect(client, 0, i), none) << i;
  EXPECT_EQ(BaseWindowButtonRect(client, 0xFFFF, 10), none);
}
