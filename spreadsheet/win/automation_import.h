// Reading the first worksheet through the spreadsheet application's
// automation interface: the application hidden, the workbook opened, the last
// cell of the used area found, the whole block fetched in one call and copied
// into the table as text. The application quits whatever happens once it exists.
#pragma once
#include <string>

#include "framework/core/string_table.h"
#include "framework/win/com.h"

namespace sheet {

// The application object of "Excel.Application", or null when it cannot be created here.
fw::TComPtr<IDispatch> CreateSpreadsheetApplication();

// Steps 2 to 21 of the exchange with an application already created: fills the
// table (R + 2 rows, N columns) or raises after the application has quit. The
// application reference is dropped when Quit has run.
void ImportThroughAutomation(fw::TComPtr<IDispatch> application, fw::TStringTable& table, const std::string& path,
                             const std::string& decimalSeparator);

}  // namespace sheet
