#include "spreadsheet/win/read_workbook.h"

#include "framework/win/sysutils.h"
#include "spreadsheet/core/value_copy.h"
#include "spreadsheet/core/xlsx_reader.h"
#include "spreadsheet/win/automation_import.h"
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

TReaderUsed ReadWorkbook(fw::TStringTable& table, const std::string& path, TReadRoute route) {
  const std::string sep = fw::LocaleDecimalSeparator();
  if (route == TReadRoute::Automatic) {
    if (fw::TComPtr<IDispatch> app = CreateSpreadsheetApplication()) {
      ImportThroughAutomation(std::move(app), table, path, sep);
      return TReaderUsed::SpreadsheetApplication;
    }
  }
  ReadWorkbookBuiltIn(table, path, sep);
  return TReaderUsed::BuiltInReader;
}

}  // namespace sheet
