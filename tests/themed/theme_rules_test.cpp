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
