// ReadWorkbook's built-in route: the table it leaves and the texts of each
// value kind under the Windows conversions, read from the test workbooks.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/spreadsheet/packages.h"

#include "framework/core/text.h"
#include "framework/win/com.h"
#include "framework/win/sysutils.h"
#include "spreadsheet/core/cell_value.h"
#include "spreadsheet/core/xlsx_reader.h"
#include "spreadsheet/win/read_workbook.h"
#include "spreadsheet/win/value_text.h"

namespace {

std::string Data(const char* name) { return std::string(NAVEKO_SHEET_DATA) + "/" + name; }

// The platform's own text for a VARIANT, for the kinds whose text the user's settings decide.
std::string PlatformText(VARTYPE vt, double value) {
  fw::TVariant v, text;
  v.Raw().vt = vt;
  if (vt == VT_DATE) v.Raw().date = value;
  if (vt == VT_CY) ::VarCyFromR8(value, &v.Raw().cyVal);
  if (vt == VT_BOOL) v.Raw().boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  EXPECT_HRESULT_SUCCEEDED(
      ::VariantChangeTypeEx(text.Out(), &v.Raw(), LOCALE_USER_DEFAULT, VARIANT_ALPHABOOL | VARIANT_LOCALBOOL, VT_BSTR));
  return fw::WideToUtf8((*text).bstrVal);
}

}  // namespace

TEST(ReadWorkbook, FillsTheTableFromTheFirstSheet) {
  fw::TStringTable t(30, 1500);
  sheet::ReadWorkbook(t, Data("openpyxl_prices.xlsx"));  // no spreadsheet application here: built-in
  EXPECT_EQ(t.ColCount(), 7);
  EXPECT_EQ(t.RowCount(), 9);  // last cell G7
  EXPECT_EQ(t.Cell(0, 0), "guid");
  EXPECT_EQ(t.Cell(1, 1), PlatformText(VT_CY, 12.5));
  EXPECT_EQ(t.Cell(3, 1), "0.25");
  EXPECT_EQ(t.Cell(4, 1), "1500");
  // Text in UTF-8, whatever the code page: "أقراص".
  EXPECT_EQ(t.Cell(5, 1), "\xD8\xA3\xD9\x82\xD8\xB1\xD8\xA7\xD8\xB5");
  EXPECT_EQ(t.Cell(2, 2), "1E20");
  EXPECT_EQ(t.Cell(3, 2), "1.5E-7");
  EXPECT_EQ(t.Cell(4, 2), "123456789012345");
  EXPECT_EQ(t.Cell(5, 2), PlatformText(VT_BOOL, 1));
  EXPECT_EQ(t.Cell(0, 3), " M-003 ");
  EXPECT_EQ(t.Cell(1, 3), "");
  EXPECT_EQ(t.Cell(5, 3), PlatformText(VT_DATE, 44646));
  EXPECT_FALSE(t.Cell(5, 3).empty());
  EXPECT_EQ(t.Cell(6, 6), "");
}

TEST(ReadWorkbook, ATimeOfDayWithoutADateIsNoDayLate) {
  // Serials in the 1900 system with a time format ("h:mm", built-in 20), and the
  // OLE dates the spreadsheet application gives for them through automation.
  struct TCase {
    const char* Serial;
    double Ole;
  };
  const TCase cases[] = {{"0.5", 0.5}, {"0", 0}, {"0.75", 0.75}, {"1", 2}, {"59.5", 60.5}, {"61", 61}};
  std::string row;
  int col = 0;
  for (const TCase& c : cases)
    row += std::string("<c r=\"") + char('A' + col++) + "1\" s=\"1\"><v>" + c.Serial + "</v></c>";
  const std::string styles = std::string("<styleSheet xmlns=\"") + sheet_test::kMainNs +
                             "\"><cellXfs count=\"2\"><xf numFmtId=\"0\"/><xf numFmtId=\"20\"/></cellXfs></styleSheet>";
  const std::string path = (std::filesystem::temp_directory_path() / "naveko-times.xlsx").string();
  {
    std::ofstream(path, std::ios::binary) << sheet_test::MakePackage(
        sheet_test::Workbook("<row r=\"1\">" + row + "</row><row r=\"2\"><c r=\"A2\"><v>1</v></c></row>", styles));
  }
  const sheet::TValueBlock block = sheet::ReadFirstSheetFromFile(path);
  fw::TStringTable t(30, 1500);
  sheet::ReadWorkbookBuiltIn(t, path, ".");
  std::filesystem::remove(path);
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].Serial);
    const sheet::TCellValue v = block.At(1, int(i) + 1);
    EXPECT_EQ(v.Kind, sheet::TCellKind::Date);
    EXPECT_EQ(v.Number, cases[i].Ole);
    EXPECT_EQ(t.Cell(int(i), 0), PlatformText(VT_DATE, cases[i].Ole)) << "the text the table receives";
  }
}

TEST(ReadWorkbook, NumbersTakeTheGivenDecimalSeparator) {
  fw::TStringTable t(30, 1500);
  sheet::ReadWorkbookBuiltIn(t, Data("sheetjs_prices.xlsx"), ",");
  EXPECT_EQ(t.Cell(1, 1), "1,25");
  EXPECT_EQ(t.Cell(5, 1), "3,25");
  EXPECT_EQ(t.RowCount(), 5);
  EXPECT_EQ(t.ColCount(), 8);
}

TEST(ReadWorkbook, AnErrorValueFailsWithTheTablePartlyFilled) {
  fw::TStringTable t(30, 1500);
  EXPECT_THROW(sheet::ReadWorkbookBuiltIn(t, Data("formats_1904.xlsx"), "."), sheet::EValueConversion);
  EXPECT_EQ(t.Cell(2, 0), PlatformText(VT_CY, 12.5));
  EXPECT_EQ(t.Cell(1, 1), PlatformText(VT_BOOL, 0));
  EXPECT_EQ(t.Cell(3, 1), "");  // after the error cell
}

TEST(ReadWorkbook, OneCellAndEmptySheetsFail) {
  for (const char* name : {"one_cell.xlsx", "empty_sheet.xlsx"}) {
    fw::TStringTable t(30, 1500);
    EXPECT_THROW(sheet::ReadWorkbook(t, Data(name)), sheet::EWorkbookError) << name;
  }
}

TEST(ReadWorkbook, AMissingFileFails) {
  fw::TStringTable t(30, 1500);
  EXPECT_THROW(sheet::ReadWorkbook(t, "C:\\no\\such\\F26-3-2022.xlsx"), sheet::EWorkbookError);
}
