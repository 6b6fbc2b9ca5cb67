#include "framework/core/string_table.h"

#include <gtest/gtest.h>

using fw::TStringTable;

TEST(StringTable, CountsBelowOneBecomeOne) {
  TStringTable t(30, 1500);
  EXPECT_EQ(t.ColCount(), 30);
  EXPECT_EQ(t.RowCount(), 1500);
  t.SetRowCount(0);
  t.SetColCount(-5);
  EXPECT_EQ(t.RowCount(), 1);
  EXPECT_EQ(t.ColCount(), 1);
}

TEST(StringTable, UnwrittenAndOutsideCellsReadEmpty) {
  TStringTable t(3, 3);
  EXPECT_EQ(t.Cell(1, 1), "");
  t.SetCell(2, 2, "x");
  EXPECT_EQ(t.Cell(2, 2), "x");
  EXPECT_EQ(t.Cell(3, 0), "");
  EXPECT_EQ(t.Cell(0, 3), "");
  EXPECT_EQ(t.Cell(-1, 0), "");
  t.SetCell(5, 5, "ignored");
  EXPECT_EQ(t.Cell(5, 5), "");
}

TEST(StringTable, ShrinkingDropsCellsSoGrowingBackShowsThemEmpty) {
  TStringTable t(2, 4);
  t.SetCell(1, 3, "price");
  t.SetCell(0, 0, "key");
  t.SetRowCount(2);
  EXPECT_EQ(t.Cell(1, 3), "");
  t.SetRowCount(4);
  EXPECT_EQ(t.Cell(1, 3), "");
  EXPECT_EQ(t.Cell(0, 0), "key");
  t.SetColCount(1);
  t.SetColCount(2);
  EXPECT_EQ(t.Cell(1, 0), "");
}
