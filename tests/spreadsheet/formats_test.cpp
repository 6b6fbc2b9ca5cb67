// Number formats deciding dates and currency, the general number format, and
// the row-by-row copy of a block into the price table.
#include <gtest/gtest.h>

#include "spreadsheet/core/general_number.h"
#include "spreadsheet/core/number_format.h"
#include "spreadsheet/core/value_copy.h"

using namespace sheet;

TEST(NumberFormat, BuiltinIds) {
  for (int id : {14, 15, 16, 17, 18, 19, 20, 21, 22, 27, 36, 45, 46, 47, 50, 58})
    EXPECT_EQ(BuiltinFormatKind(id), TFormatKind::Date) << id;
  for (int id : {5, 6, 7, 8, 42, 44}) EXPECT_EQ(BuiltinFormatKind(id), TFormatKind::Currency) << id;
  for (int id : {0, 1, 2, 3, 4, 9, 10, 11, 12, 13, 37, 38, 41, 43, 48, 49})
    EXPECT_EQ(BuiltinFormatKind(id), TFormatKind::Number) << id;
}

TEST(NumberFormat, CustomCodes) {
  for (const char* code : {"dd/mm/yyyy", "yyyy-mm-dd hh:mm", "[h]:mm:ss", "[mm]:ss", "h:mm AM/PM", "mmm-yy",
                           "[$-401]dd/mm/yyyy", "[Red][<0]d-m;General"})
    EXPECT_EQ(FormatCodeKind(code), TFormatKind::Date) << code;
  for (const char* code : {"\"$\"#,##0.00", "$#,##0", "[$€-407]#,##0.00", "#,##0.00 \xE2\x82\xAC", "\\$0.00",
                           "[$USD] 0.00", "\xC2\xA3#,##0"})
    EXPECT_EQ(FormatCodeKind(code), TFormatKind::Currency) << code;
  for (const char* code : {"General", "0.00", "#,##0", "0.00E+00", "@", "\"m\"0", "\\d0", "[Red]0.00", "[$-401]0.00",
                           "0_m", "0*d", "[>=100]0;0.0"})
    EXPECT_EQ(FormatCodeKind(code), TFormatKind::Number) << code;
}

TEST(GeneralNumber, FifteenDigitsAndTheSeparator) {
  EXPECT_EQ(FormatGeneral(12.5, "."), "12.5");
  EXPECT_EQ(FormatGeneral(12.5, ","), "12,5");
  EXPECT_EQ(FormatGeneral(-3, "."), "-3");
  EXPECT_EQ(FormatGeneral(1500, "."), "1500");
  EXPECT_EQ(FormatGeneral(0, "."), "0");
  EXPECT_EQ(FormatGeneral(0.1 + 0.2, "."), "0.3");
  EXPECT_EQ(FormatGeneral(1.0 / 3, "."), "0.333333333333333");
  EXPECT_EQ(FormatGeneral(2.0 / 3, "."), "0.666666666666667");
  EXPECT_EQ(FormatGeneral(123456789012345.0, "."), "123456789012345");
  EXPECT_EQ(FormatGeneral(1234567890123456.0, "."), "1.23456789012346E15");
  EXPECT_EQ(FormatGeneral(999999999999999.9, "."), "1E15");
  EXPECT_EQ(FormatGeneral(1e20, "."), "1E20");
  EXPECT_EQ(FormatGeneral(-2.5e100, ","), "-2,5E100");
  EXPECT_EQ(FormatGeneral(0.00001, "."), "0.00001");
  EXPECT_EQ(FormatGeneral(0.000012345, "."), "0.000012345");
  EXPECT_EQ(FormatGeneral(0.000001, "."), "1E-6");
  EXPECT_EQ(FormatGeneral(1.5e-7, ","), "1,5E-7");
  EXPECT_EQ(FormatGeneral(1234.5678, "\xD9\xAB"),
            "1234\xD9\xAB"
            "5678");  // a multi-byte separator
}

TEST(CopyBlock, RowCountsFollowTheCopy) {
  // Last cell E3: 5 columns, 5 rows; rows 3 and 4 stay empty.
  fw::TStringTable t(30, 1500);
  t.SetRowCount(3);
  t.SetColCount(5);
  std::vector<int> counts;
  CopyBlock(t, 3, 5, [&](int i, int j) {
    counts.push_back(t.RowCount());
    return std::to_string(i) + ":" + std::to_string(j);
  });
  EXPECT_EQ(t.ColCount(), 5);
  EXPECT_EQ(t.RowCount(), 5);
  EXPECT_EQ(t.Cell(0, 0), "1:1");
  EXPECT_EQ(t.Cell(4, 2), "3:5");
  EXPECT_EQ(t.Cell(0, 3), "");
  // The count falls to 3 after the first row and grows by one per row.
  EXPECT_EQ(counts.front(), 3);
  EXPECT_EQ(counts[5], 3);
  EXPECT_EQ(counts[10], 4);
}

TEST(CopyBlock, AFailureLeavesTheTablePartlyFilled) {
  fw::TStringTable t(2, 10);
  EXPECT_THROW(CopyBlock(t, 10, 2,
                         [&](int i, int j) -> std::string {
                           if (i == 2 && j == 2) throw std::runtime_error("error value");
                           return "x";
                         }),
               std::runtime_error);
  EXPECT_EQ(t.Cell(1, 0), "x");
  EXPECT_EQ(t.Cell(0, 1), "x");
  EXPECT_EQ(t.Cell(1, 1), "");
}

TEST(CopyBlock, ManyRowsStayLinear) {
  // 100 000 rows: the count changes after every row, which must not rescan the table.
  fw::TStringTable t(3, 100000);
  CopyBlock(t, 100000, 3, [](int i, int) { return std::to_string(i); });
  EXPECT_EQ(t.RowCount(), 100002);
  EXPECT_EQ(t.Cell(2, 99999), "100000");
}
