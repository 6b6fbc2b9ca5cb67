#include "spreadsheet/win/read_workbook.h"

#include "framework/win/sysutils.h"
#include "spreadsheet/core/value_copy.h"
#include "spreadsheet/core/xlsx_reader.h"
#include "spreadsheet/win/automation_import.h"
#include "spreadsheet/win/late_bound.h"
#include "spreadsheet/win/value_text.h"

namespace sheet {

void ReadWorkbookBuiltIn(fw::TStringTable& table, const std::string& path, const std::string& sep) {
  const TValueBlock block = ReadFirstSheetFromFile(path);
  table.SetRowCount(block.R);
  table.SetColCount(block.N);
  if (block.R == 1 && block.N == 1)
    throw EWorkbookError("The sheet's used block is a single cell, which is not a price list");
  // Cells come sorted by row and column, the order the copy visits them in.
  size_t next = 0;
  CopyBlock(table, block.R, block.N, [&](int i, int j) -> std::string {
    if (next < block.Cells.size() && block.Cells[next].Row == std::uint32_t(i) &&
        block.Cells[next].Col == std::uint32_t(j))
      return CellText(block, block.Cells[next++], sep);
    return std::string();
  });
}

TReadReport ReadWorkbook(fw::TStringTable& table, const std::string& path, TReadRoute route) {
  const std::string sep = fw::LocaleDecimalSeparator();
  TReadReport report;
  if (route == TReadRoute::Automatic) {
    try {
      if (std::unique_ptr<TSpreadsheetApplication> app = TSpreadsheetApplication::Start()) {
        app->Import(table, path, sep);
        report.Reader = TReaderUsed::SpreadsheetApplication;
        return report;
      }
    } catch (const EAutomationError& e) {
      // The exchange failed before the values were copied: the built-in reader reads the same file.
      report.AutomationFailure = e.what();
      const int rows = table.RowCount(), cols = table.ColCount();
      for (int row = 0; row < rows; ++row)
        for (int col = 0; col < cols; ++col) table.SetCell(col, row, std::string());
    }
  }
  ReadWorkbookBuiltIn(table, path, sep);
  return report;
}

}  // namespace sheet
