// The built-in .xlsx reader against workbooks of independent writers
// (openpyxl, SheetJS) and hand-made packages, then against hostile input.
#include <gtest/gtest.h>

#include <algorithm>

#include "spreadsheet/core/xlsx_reader.h"
#include "tests/spreadsheet/packages.h"

using namespace sheet;
using sheet_test::MakePackage;
using sheet_test::Workbook;

namespace {

std::string Data(const char* name) { return std::string(NAVEKO_SHEET_DATA) + "/" + name; }

TValueBlock Read(const char* name) { return ReadFirstSheetFromFile(Data(name)); }

void ExpectNumber(const TValueBlock& b, int row, int col, TCellKind kind, double value) {
  const TCellValue v = b.At(row, col);
  EXPECT_EQ(v.Kind, kind) << "row " << row << " col " << col;
  EXPECT_DOUBLE_EQ(v.Number, value) << "row " << row << " col " << col;
}

void ExpectText(const TValueBlock& b, int row, int col, const std::string& text, TCellKind kind = TCellKind::Text) {
  const TCellValue v = b.At(row, col);
  EXPECT_EQ(v.Kind, kind) << "row " << row << " col " << col;
  EXPECT_EQ(v.Text, text) << "row " << row << " col " << col;
}

std::string ErrorOf(const std::string& bytes, const TReadLimits& limits = {}) {
  try {
    ReadFirstSheetFromMemory(bytes, limits);
  } catch (const EWorkbookError& e) {
    return e.what();
  }
  return "no error";
}

}  // namespace

TEST(XlsxReader, OpenpyxlWorkbookWithFormattingBeyondTheData) {
  const TValueBlock b = Read("openpyxl_prices.xlsx");
  // G7 holds formatting only, yet it is the last cell; the active second sheet is not read.
  EXPECT_EQ(b.R, 7);
  EXPECT_EQ(b.N, 7);
  ExpectText(b, 1, 1, "guid");
  ExpectText(b, 1, 6, "note");
  ExpectNumber(b, 2, 2, TCellKind::Currency, 12.5);  // "$"#,##0.00
  ExpectNumber(b, 2, 3, TCellKind::Currency, 13);
  ExpectNumber(b, 2, 4, TCellKind::Number, 0.25);
  ExpectText(b, 2, 6, "\xD8\xA3\xD9\x82\xD8\xB1\xD8\xA7\xD8\xB5");  // أقراص
  ExpectNumber(b, 3, 3, TCellKind::Number, 1e20);
  ExpectNumber(b, 3, 4, TCellKind::Number, 1.5e-7);
  ExpectNumber(b, 3, 6, TCellKind::Boolean, 1);
  ExpectText(b, 4, 1, " M-003 ");
  EXPECT_EQ(b.At(4, 2).Kind, TCellKind::Empty);
  ExpectNumber(b, 4, 6, TCellKind::Date, 44646);  // 2022-03-26
  EXPECT_EQ(b.At(7, 7).Kind, TCellKind::Empty);
}

TEST(XlsxReader, SheetJsWorkbookWithSharedStringsAndCachedFormula) {
  const TValueBlock b = Read("sheetjs_prices.xlsx");
  EXPECT_EQ(b.R, 3);
  EXPECT_EQ(b.N, 8);
  ExpectText(b, 1, 5, "price2");
  ExpectText(b, 2, 1, "S-1");
  ExpectNumber(b, 2, 2, TCellKind::Number, 1.25);
  ExpectNumber(b, 2, 6, TCellKind::Number, 3.25);  // =B2+2, by its cached value
  ExpectNumber(b, 3, 7, TCellKind::Boolean, 1);
  ExpectNumber(b, 3, 8, TCellKind::Date, 44646);
  EXPECT_EQ(b.At(2, 7).Kind, TCellKind::Empty);
}

TEST(XlsxReader, HandMadeParts) {
  {
    const TValueBlock b = Read("inline_strings.xlsx");
    EXPECT_EQ(b.R, 2);
    EXPECT_EQ(b.N, 2);
    ExpectText(b, 1, 2, "salp");  // two rich-text runs
    ExpectText(b, 2, 1, " K1 ");
    ExpectNumber(b, 2, 2, TCellKind::Number, 2.5);
  }
  {
    const TValueBlock b = Read("wrong_dimension.xlsx");  // dimension says A1:B2
    EXPECT_EQ(b.R, 4);
    EXPECT_EQ(b.N, 5);
  }
  {
    const TValueBlock b = Read("formulas.xlsx");
    EXPECT_EQ(b.R, 2);
    EXPECT_EQ(b.N, 4);
    ExpectText(b, 1, 1, "plain");
    ExpectNumber(b, 1, 2, TCellKind::Number, 2);
    ExpectText(b, 1, 3, "ab");
    EXPECT_EQ(b.At(1, 4).Kind, TCellKind::Empty);  // no cached value
    ExpectText(b, 2, 1, "rich");                   // the phonetic guide is not text
  }
  {
    const TValueBlock b = Read("no_references.xlsx");  // x: prefixes, no r on rows and most cells
    EXPECT_EQ(b.R, 2);
    EXPECT_EQ(b.N, 5);
    ExpectNumber(b, 1, 2, TCellKind::Number, 2);
    ExpectNumber(b, 2, 1, TCellKind::Number, 3);
    ExpectNumber(b, 2, 4, TCellKind::Number, 4);
    ExpectNumber(b, 2, 5, TCellKind::Number, 5);  // follows D2
  }
  {
    const TValueBlock b = Read("first_sheet_later.xlsx");  // after a chart sheet, in sheet3.xml
    ExpectText(b, 1, 1, "first");
    EXPECT_EQ(b.R, 3);
    EXPECT_EQ(b.N, 3);
  }
  {
    const TValueBlock b = Read("formatted_area.xlsx");
    EXPECT_EQ(b.R, 10);
    EXPECT_EQ(b.N, 7);
  }
  for (const char* name : {"one_cell.xlsx", "empty_sheet.xlsx"}) {
    const TValueBlock b = Read(name);
    EXPECT_EQ(b.R, 1) << name;
    EXPECT_EQ(b.N, 1) << name;
  }
}

TEST(XlsxReader, DateSystemsAndFormats) {
  {
    const TValueBlock b = Read("formats_1904.xlsx");
    ExpectNumber(b, 1, 1, TCellKind::Date, 1462);      // 1904-01-01, built-in 14
    ExpectNumber(b, 1, 2, TCellKind::Date, 46108.5);   // dd/mm/yyyy
    ExpectNumber(b, 1, 3, TCellKind::Currency, 12.5);  // [$€-407]#,##0.00
    ExpectNumber(b, 1, 4, TCellKind::Date, 1462.75);   // [h]:mm
    ExpectNumber(b, 1, 5, TCellKind::Currency, 3);     // built-in 7
    ExpectNumber(b, 2, 1, TCellKind::Boolean, 1);
    ExpectNumber(b, 2, 2, TCellKind::Boolean, 0);
    ExpectText(b, 2, 3, "#N/A", TCellKind::Error);
    ExpectNumber(b, 2, 4, TCellKind::Number, 7);  // "m"0: a quoted m
    ExpectNumber(b, 2, 5, TCellKind::Number, 8);  // [Red]0.00
  }
  {
    const TValueBlock b = Read("dates_1900.xlsx");
    ExpectNumber(b, 1, 1, TCellKind::Date, 2);   // 1900-01-01
    ExpectNumber(b, 1, 2, TCellKind::Date, 60);  // 1900-02-28
    ExpectNumber(b, 1, 3, TCellKind::Date, 61);  // 1900-03-01
    ExpectNumber(b, 1, 4, TCellKind::Date, 44646);
    ExpectNumber(b, 1, 5, TCellKind::Number, -1);     // no date before 1900
    ExpectNumber(b, 2, 1, TCellKind::Date, 44646.5);  // t="d"
  }
}

TEST(XlsxReader, TheFormatsEscapesAreDecodedInSharedAndInlineStringsAndRichTextRuns) {
  struct TCase {
    const char* Stored;
    std::string Value;
  };
  const TCase cases[] = {
      {"line_x000D_break", "line\rbreak"},
      {"_x0001_", "\x01"},
      {"_x0041_ and _x00e9_ _x00E9_", "A and \xC3\xA9 \xC3\xA9"},  // hexadecimal digits of either case
      {"_x005F_x0041_", "_x0041_"},                                // an escaped underscore: the text itself
      {"_xD83D__xDE00_", "\xF0\x9F\x98\x80"},                      // a surrogate pair is one character
      {"_X000D_ _x000G_ _x000D", "_X000D_ _x000G_ _x000D"},        // none of these is an escape
      {"_x00", "_x00"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Stored);
    const std::string shared = std::string("<sst xmlns=\"") + sheet_test::kMainNs + "\"><si><t>" + c.Stored +
                               "</t></si><si><r><t>x</t></r><r><t>" + c.Stored + "</t></r></si></sst>";
    const std::string data = std::string("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c>") +
                             "<c r=\"B1\" t=\"inlineStr\"><is><t>" + c.Stored + "</t></is></c>" +
                             "<c r=\"C1\" t=\"s\"><v>1</v></c></row>";
    const TValueBlock b = ReadFirstSheetFromMemory(MakePackage(Workbook(data, "", shared)));
    ExpectText(b, 1, 1, c.Value);        // a shared string
    ExpectText(b, 1, 2, c.Value);        // an inline string
    ExpectText(b, 1, 3, "x" + c.Value);  // a rich-text run, decoded run by run
  }
}

// An extension of the spreadsheet application for the Mac writes a second,
// 2009-namespace workbookPr after the real one; it must not reset the date system.
TEST(XlsxReader, The1904DateSystemSurvivesAnExtensionsWorkbookPr) {
  const std::string ext =
      "<extLst><ext uri=\"{B58B0392-4F1F-4190-BB64-5DF3571DCE5F}\" "
      "xmlns:x14=\"http://schemas.microsoft.com/office/spreadsheetml/2009/9/main\">"
      "<x14:workbookPr defaultImageDpi=\"32767\"/></ext></extLst>";
  auto parts = Workbook("<row><c s=\"1\"><v>0</v></c></row>",
                        std::string("<styleSheet xmlns=\"") + sheet_test::kMainNs +
                            "\"><cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/></cellXfs></styleSheet>",
                        "", "<workbookPr date1904=\"1\"/>");
  parts[1].second.insert(parts[1].second.find("</workbook>"), ext);
  ExpectNumber(ReadFirstSheetFromMemory(MakePackage(parts)), 1, 1, TCellKind::Date, 1462);  // 1904-01-01
}

// Each part with an element of another namespace that bears the name of one the
// reader acts on, and an attribute likewise: the result is that of the part without it.
TEST(XlsxReader, ElementsAndAttributesOfOtherNamespacesAreSkippedInEveryPart) {
  const std::string x = " xmlns:x=\"urn:an-extension\"";
  const std::string main = sheet_test::kMainNs, rel = sheet_test::kRelNs;
  struct Case {
    const char* part;
    std::string from, to;  // the text replaced in that part
  };
  const std::vector<Case> cases = {
      {"_rels/.rels", "<Relationship ",
       "<x:Relationship" + x + " Id=\"rId9\" Type=\"" + rel +
           "/officeDocument\" Target=\"xl/nothing.xml\"/><Relationship "},
      {"xl/_rels/workbook.xml.rels", "</Relationships>",
       "<x:Relationship" + x + " Id=\"rId1\" Type=\"" + rel +
           "/worksheet\" Target=\"worksheets/decoy.xml\"/></Relationships>"},
      {"xl/workbook.xml", "<sheets>", "<sheets><x:sheet" + x + " name=\"X\" r:id=\"rId9\"/>"},
      {"xl/workbook.xml", "<sheets>",
       "<mc:AlternateContent xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\">"
       "<mc:Choice Requires=\"x\"><sheets><sheet name=\"X\" r:id=\"rId9\"/></sheets></mc:Choice>"
       "</mc:AlternateContent><sheets>"},
      {"xl/workbook.xml", "r:id=\"rId1\"", "x:id=\"rId9\" r:id=\"rId1\"" + x},
      {"xl/styles.xml", "<cellXfs>", "<cellXfs><x:xf" + x + " numFmtId=\"14\"/>"},
      {"xl/styles.xml", "<numFmts>", "<numFmts><x:numFmt" + x + " numFmtId=\"164\" formatCode=\"yyyy\"/>"},
      {"xl/sharedStrings.xml", "<si>", "<x:si" + x + "><t>foreign</t></x:si><si>"},
      {"xl/sharedStrings.xml", "<t>two</t>", "<t>two</t><x:t" + x + ">foreign</x:t>"},
      {"xl/worksheets/sheet1.xml", "<row r=\"1\">", "<row r=\"1\"><x:c" + x + " r=\"J9\"><x:v>5</x:v></x:c>"},
      {"xl/worksheets/sheet1.xml", "<c r=\"B1\"", "<c r=\"B1\" x:t=\"s\"" + x},
      {"xl/worksheets/sheet1.xml", "<sheetData>",
       "<x:sheetData" + x + "><row><c r=\"K20\"><v>1</v></c></row></x:sheetData><sheetData>"},
  };
  const std::string styles = "<styleSheet xmlns=\"" + main +
                             "\"><numFmts><numFmt numFmtId=\"164\" formatCode=\"0.00\"/>"
                             "</numFmts><cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"164\"/></cellXfs></styleSheet>";
  const std::string shared = "<sst xmlns=\"" + main + "\"><si><t>one</t></si><si><t>two</t></si></sst>";
  const std::string data = "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>1</v></c><c r=\"B1\" s=\"1\"><v>3</v></c></row>";
  // Every case's package also holds a decoy sheet, rId9, that no sheet of the main namespace names.
  auto package = [&] {
    auto parts = Workbook(data, styles, shared);
    for (auto& [name, xml] : parts)
      if (name == "xl/_rels/workbook.xml.rels")
        xml.insert(xml.find("</Relationships>"),
                   "<Relationship Id=\"rId9\" Type=\"" + rel + "/worksheet\" Target=\"worksheets/decoy.xml\"/>");
    parts.push_back(
        {"xl/worksheets/decoy.xml",
         "<worksheet xmlns=\"" + main + "\"><sheetData><row><c r=\"K20\"><v>1</v></c></row></sheetData></worksheet>"});
    return parts;
  };
  auto check = [&](const TValueBlock& b, const std::string& what) {
    EXPECT_EQ(b.R, 1) << what;
    EXPECT_EQ(b.N, 2) << what;
    ExpectText(b, 1, 1, "two");
    ExpectNumber(b, 1, 2, TCellKind::Number, 3);
  };
  check(ReadFirstSheetFromMemory(MakePackage(package())), "plain");
  for (const Case& c : cases) {
    auto parts = package();
    auto it = std::find_if(parts.begin(), parts.end(), [&](const auto& p) { return p.first == c.part; });
    ASSERT_NE(it, parts.end()) << c.part;
    const size_t at = it->second.find(c.from);
    ASSERT_NE(at, std::string::npos) << c.part << ": " << c.from;
    it->second.replace(at, c.from.size(), c.to);
    const std::string what = std::string(c.part) + ": " + c.to;
    try {
      check(ReadFirstSheetFromMemory(MakePackage(parts)), what);
    } catch (const EWorkbookError& e) {
      ADD_FAILURE() << what << ": " << e.what();
    }
  }
}

// Prefixes resolve against the declarations in scope: a declaration holds for
// its element and what lies inside it, an inner one hides an outer one.
TEST(XlsxReader, NamespacesFollowTheirScope) {
  const std::string main = sheet_test::kMainNs;
  auto sheet = [&](const std::string& rows, const std::string& prefix = "") {
    const std::string x = prefix.empty() ? "" : prefix + ":";
    return "<" + x + "worksheet xmlns" + (prefix.empty() ? "" : ":" + prefix) + "=\"" + main + "\"><" + x +
           "sheetData><" + x + "row>" + rows + "</" + x + "row></" + x + "sheetData></" + x + "worksheet>";
  };
  const std::string a1 = "<c r=\"A1\"><v>7</v></c>";
  struct Case {
    std::string xml, error;  // no error: the sheet reads as A1 = 7 alone
  };
  const std::vector<Case> cases = {
      {sheet("<x:c r=\"A1\"><x:v>7</x:v></x:c>", "x"), ""},
      {sheet("<c r=\"B1\" xmlns=\"urn:other\"><v>5</v></c>" + a1), ""},
      {sheet("<c r=\"B1\" xmlns=\"\"><v>5</v></c>" + a1), ""},
      {sheet("<x:c r=\"B1\" xmlns:x=\"urn:other\"><x:v>5</x:v></x:c><x:c r=\"A1\"><x:v>7</x:v></x:c>", "x"), ""},
      {sheet("<o:c r=\"B1\" xmlns:o=\"urn:other\"><c r=\"C1\"><v>5</v></c></o:c>" + a1), ""},
      {sheet("<c r=\"A1\" m:t=\"b\" xmlns:m=\"" + main + "\"><v>7</v></c>"), ""},  // a prefixed t is not the cell's
      {sheet("<y:c r=\"A1\"><v>7</v></y:c>"), "prefix y is not declared"},
      {sheet("<c r=\"A1\" y:t=\"s\"><v>7</v></c>"), "prefix y is not declared"},
      {sheet("<c r=\"A1\" xmlns:y=\"" + main + "\"><v>7</v></c><y:c r=\"B1\"><v>5</v></y:c>"),
       "prefix y is not declared"},
      {sheet("<c r=\"A1\" xmlns:y=\"\"><v>7</v></c>"), "is not allowed"},
      {sheet("<c r=\"A1\" xmlns:xml=\"urn:other\"><v>7</v></c>"), "is not allowed"},
      {sheet("<c r=\"A1\"><x:v:w xmlns:x=\"" + main + "\">7</x:v:w></c>"), "not a namespace name"},
      {sheet("<c r=\"A1\" :t=\"s\"><v>7</v></c>"), "not a namespace name"},
  };
  for (const Case& c : cases) {
    const std::string bytes = MakePackage(Workbook(c.xml, "", "", "", true));
    if (!c.error.empty()) {
      EXPECT_NE(ErrorOf(bytes).find(c.error), std::string::npos) << c.xml << ": " << ErrorOf(bytes);
      continue;
    }
    try {
      const TValueBlock b = ReadFirstSheetFromMemory(bytes);
      EXPECT_EQ(b.N * b.R, 1) << c.xml;
      ExpectNumber(b, 1, 1, TCellKind::Number, 7);
    } catch (const EWorkbookError& e) {
      ADD_FAILURE() << c.xml << ": " << e.what();
    }
  }
}

// A sheet of a megabyte is inflated on a thread of its own while it is parsed
// and its cells converted on another: every row arrives, and an error on any
// side ends the read.
TEST(XlsxReader, ALargeSheetIsReadAheadAndItsErrorsEndTheRead) {
  std::string rows;
  for (int r = 1; r <= 40000; ++r) rows += "<row><c><v>" + std::to_string(r) + "</v></c></row>";
  const TValueBlock b = ReadFirstSheetFromMemory(MakePackage(Workbook(rows)));
  EXPECT_EQ(b.R, 40000);
  ExpectNumber(b, 1, 1, TCellKind::Number, 1);
  ExpectNumber(b, 40000, 1, TCellKind::Number, 40000);

  std::string broken = rows;
  broken.insert(broken.size() / 3, "<row><c><v>1</v></row>");  // the parser stops while the reader is ahead
  EXPECT_NE(ErrorOf(MakePackage(Workbook(broken))).find("not well-formed"), std::string::npos);
  // Cells are converted in batches on a thread of their own: of two errors
  // the one earlier in the sheet is reported, whichever side meets it.
  std::string early = rows, late = rows;
  early.replace(early.find("<v>100</v>"), 10, "<v>1x</v>");
  early.replace(early.find("<row><c><v>200</v>"), 18, "<row><c r=\"A0\"><v>200</v>");  // before any hand-over
  EXPECT_NE(ErrorOf(MakePackage(Workbook(early))).find("Cell A100 holds '1x'"), std::string::npos);
  late.replace(late.find("<row><c><v>100</v>"), 18, "<row><c r=\"A0\"><v>100</v>");
  late.replace(late.find("<v>9000</v>"), 11, "<v>9x</v>");
  EXPECT_NE(ErrorOf(MakePackage(Workbook(rows.substr(0, rows.find("<row><c><v>9001")) + "<row><c><v>9x</v></c></row>")))
                .find("Cell A9001 holds '9x'"),
            std::string::npos);  // met by the converter after the parse has ended
  EXPECT_NE(ErrorOf(MakePackage(Workbook(late))).find("'A0'"), std::string::npos);
  TReadLimits small;
  small.MaxPartBytes = 512 * 1024;  // the reading thread meets the limit
  EXPECT_NE(ErrorOf(MakePackage(Workbook(rows)), small).find("inflates to more than"), std::string::npos);
}

TEST(XlsxReader, AStrictWorkbookReadsAsATransitionalOne) {
  const std::string strictMain = "http://purl.oclc.org/ooxml/spreadsheetml/main";
  const std::string strictRel = "http://purl.oclc.org/ooxml/officeDocument/relationships";
  auto parts = Workbook("<row r=\"2\"><c r=\"C2\" s=\"1\"><v>44646</v></c></row>",
                        std::string("<styleSheet xmlns=\"") + sheet_test::kMainNs +
                            "\"><cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/></cellXfs></styleSheet>");
  for (auto& [name, xml] : parts) {
    for (size_t at; (at = xml.find(sheet_test::kMainNs)) != std::string::npos;)
      xml.replace(at, std::string(sheet_test::kMainNs).size(), strictMain);
    for (size_t at; (at = xml.find(sheet_test::kRelNs)) != std::string::npos;)
      xml.replace(at, std::string(sheet_test::kRelNs).size(), strictRel);
  }
  const TValueBlock b = ReadFirstSheetFromMemory(MakePackage(parts));
  EXPECT_EQ(b.R, 2);
  EXPECT_EQ(b.N, 3);
  ExpectNumber(b, 2, 3, TCellKind::Date, 44646);
}

TEST(XlsxReader, CellsOutOfOrderAreSortedAndTheLastDuplicateWins) {
  const TValueBlock b =
      ReadFirstSheetFromMemory(MakePackage(Workbook("<row r=\"3\"><c r=\"B3\"><v>3</v></c></row><row r=\"1\"><c "
                                                    "r=\"A1\"><v>1</v></c><c r=\"A1\"><v>9</v></c></row>")));
  ASSERT_EQ(b.Cells.size(), 2u);
  EXPECT_EQ(b.Cells[0].Row, 1u);
  ExpectNumber(b, 1, 1, TCellKind::Number, 9);
  ExpectNumber(b, 3, 2, TCellKind::Number, 3);
}

TEST(XlsxReader, NotAWorkbook) {
  EXPECT_NE(
      ErrorOf(std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(504, '\0')).find("compound document"),
      std::string::npos);
  EXPECT_NE(ErrorOf("<!DOCTYPE html><html><body>moved</body></html>").find("HTML"), std::string::npos);
  EXPECT_NE(ErrorOf("").find("empty"), std::string::npos);
  EXPECT_NE(ErrorOf("GIF89a....").find("not an .xlsx"), std::string::npos);
  const std::string whole = sheet_test::ReadFile(Data("sheetjs_prices.xlsx"));
  EXPECT_NE(ErrorOf(whole.substr(0, whole.size() / 2)).find("not a readable zip"), std::string::npos);
  EXPECT_NE(ErrorOf(sheet_test::MakePackage({{"readme.txt", "hello"}})).find("no workbook part"), std::string::npos);
}

TEST(XlsxReader, DamagedWorkbooks) {
  auto parts = Workbook("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>");
  parts[1].second = std::string("<workbook xmlns=\"") + sheet_test::kMainNs + "\"><sheets/></workbook>";
  EXPECT_NE(ErrorOf(MakePackage(parts)).find("no worksheet"), std::string::npos);

  EXPECT_NE(ErrorOf(MakePackage(Workbook("<row><c><v>1</v></row>"))).find("not well-formed"), std::string::npos);
  EXPECT_NE(ErrorOf(MakePackage(Workbook("<row><c><v>12abc</v></c></row>"))).find("not a number"), std::string::npos);
  EXPECT_NE(ErrorOf(MakePackage(Workbook("<row><c t=\"s\"><v>4</v></c></row>"))).find("shared string"),
            std::string::npos);
  EXPECT_NE(ErrorOf(MakePackage(Workbook("<row><c r=\"A0\"><v>1</v></c></row>"))).find("'A0'"), std::string::npos);
  EXPECT_NE(ErrorOf(MakePackage(Workbook("<row><c r=\"XFE1\"><v>1</v></c></row>"))).find("'XFE1'"), std::string::npos);
  EXPECT_NE(ErrorOf(MakePackage(Workbook("<row><c t=\"q\"><v>1</v></c></row>"))).find("unknown type"),
            std::string::npos);
}

TEST(XlsxReader, HostileWorkbooksMeetTheirLimits) {
  // Entity expansion ("billion laughs") never starts: the DOCTYPE is refused.
  const std::string laughs =
      "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]>"
      "<worksheet xmlns=\"" +
      std::string(sheet_test::kMainNs) +
      "\"><sheetData><row><c t=\"inlineStr\"><is><t>&b;</t></is></c></row></sheetData></worksheet>";
  EXPECT_NE(ErrorOf(MakePackage(Workbook(laughs, "", "", "", true))).find("document type"), std::string::npos);

  // A part that inflates beyond the limit, whatever the archive declares.
  TReadLimits small;
  small.MaxPartBytes = 1 << 20;
  const std::string bomb = "<row><c><v>1</v></c></row>" + std::string(4 << 20, ' ');
  EXPECT_NE(ErrorOf(MakePackage(Workbook(bomb)), small).find("inflates to more than 1048576"), std::string::npos);

  TReadLimits few;
  few.MaxStoredCells = 3;
  EXPECT_NE(ErrorOf(MakePackage(Workbook("<row><c/><c/><c/><c/></row>")), few).find("more than 3 cells"),
            std::string::npos);
  // One cell in the sheet's far corner makes a block of 17 billion cells.
  EXPECT_NE(ErrorOf(MakePackage(Workbook("<row r=\"1048576\"><c r=\"XFD1048576\"><v>1</v></c></row>"))).find("exceeds"),
            std::string::npos);
}

TEST(CellReference, Parses) {
  std::uint32_t c = 0, r = 0;
  EXPECT_TRUE(ParseCellReference("B12", c, r));
  EXPECT_EQ(c, 2u);
  EXPECT_EQ(r, 12u);
  EXPECT_TRUE(ParseCellReference("XFD1048576", c, r));
  EXPECT_EQ(c, 16384u);
  EXPECT_TRUE(ParseCellReference("$AA$3", c, r));
  EXPECT_EQ(c, 27u);
  for (const char* bad : {"", "12", "A", "A1B", "A-1", "XFE1", "A1048577"})
    EXPECT_FALSE(ParseCellReference(bad, c, r)) << bad;
}
