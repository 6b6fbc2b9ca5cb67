// ReadWorkbook: the first worksheet of the workbook at a path, copied into the
// price table as text. Through the spreadsheet application when one can be
// created on this workstation, otherwise through the built-in .xlsx reader,
// with the same result: N columns, R + 2 rows, row i - 1 holding sheet row i.
// Shows nothing; every failure raises.
#pragma once
#include <string>

#include "framework/core/string_table.h"

namespace sheet {

enum class TReadRoute { Automatic, BuiltInReader };
enum class TReaderUsed { SpreadsheetApplication, BuiltInReader };

// The regional decimal separator is read once per call. Returns which reader
// read the workbook (for the run log).
TReaderUsed ReadWorkbook(fw::TStringTable& table, const std::string& path, TReadRoute route = TReadRoute::Automatic);

// The built-in route alone.
void ReadWorkbookBuiltIn(fw::TStringTable& table, const std::string& path, const std::string& decimalSeparator);

}  // namespace sheet
