// ReadWorkbook: the first worksheet of the workbook at a path, copied into the
// price table as text. Through the spreadsheet application when one is
// installed on this workstation, otherwise, or when the exchange with it fails
// before the values are copied (it cannot start, keeps rejecting calls, waits
// on a dialog, crashes, runs out of time), through the built-in .xlsx reader,
// with the same result: N columns, R + 2 rows, row i - 1 holding sheet row i.
// Shows nothing; every failure of the reader that ends up reading raises.
#pragma once
#include <string>

#include "framework/core/string_table.h"

namespace sheet {

enum class TReadRoute { Automatic, BuiltInReader };
enum class TReaderUsed { SpreadsheetApplication, BuiltInReader };

struct TReadReport {
  TReaderUsed Reader = TReaderUsed::BuiltInReader;
  std::string AutomationFailure;  // why the spreadsheet application did not read it, when it was tried
};

// The regional decimal separator is read once per call. Tells which reader
// read the workbook (for the run log).
TReadReport ReadWorkbook(fw::TStringTable& table, const std::string& path, TReadRoute route = TReadRoute::Automatic);

// The built-in route alone.
void ReadWorkbookBuiltIn(fw::TStringTable& table, const std::string& path, const std::string& decimalSeparator);

}  // namespace sheet
