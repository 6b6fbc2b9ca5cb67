// Reading the first worksheet through the spreadsheet application's
// automation interface: the application hidden and silent, the workbook
// opened read-only without updating its links, the last cell of the first
// worksheet's used area found, the block fetched a bounded number of rows at a
// time and copied into the table as text, the workbook closed unsaved and the
// application quit. The whole exchange is bounded in time, and the instance it
// started never outlives it.
#pragma once
#include <chrono>
#include <memory>
#include <string>

#include "framework/core/string_table.h"
#include "framework/win/com.h"
#include "framework/win/handles.h"

namespace sheet {

class TSpreadsheetApplication {
 public:
  static constexpr std::chrono::milliseconds kBound{60000};

  // A new instance of "Excel.Application"; null when none is registered.
  // Throws EAutomationError when one is registered but cannot be started.
  static std::unique_ptr<TSpreadsheetApplication> Start(std::chrono::milliseconds bound = kBound);
  // An application object already made (tests: an in-process stand-in, without a process of its own).
  TSpreadsheetApplication(fw::TComPtr<IDispatch> application, std::chrono::milliseconds bound = kBound);
  // The instance ends: every reference released and, when this import
  // started it, its process waited for a moment and then ended if it lingers.
  ~TSpreadsheetApplication();
  TSpreadsheetApplication(const TSpreadsheetApplication&) = delete;
  TSpreadsheetApplication& operator=(const TSpreadsheetApplication&) = delete;

  // Fills the table (N columns, R + 2 rows) from the first worksheet of the
  // workbook at `path`, then closes it unsaved and quits the application.
  // Throws EAutomationError when the exchange fails (the server refused or
  // crashed, a call was rejected past the bound, the bound passed: the
  // instance is then ended), EValueConversion for a value that has no text.
  void Import(fw::TStringTable& table, const std::string& path, const std::string& decimalSeparator);

  // The process the application runs in (0 when unknown), for tests and the log.
  DWORD ProcessId() const { return pid_; }

  // Rows fetched by one call: the block of a sheet whose last cell lies far
  // below its data is read in slices of at most this many cells.
  static constexpr long kCellsPerFetch = 1 << 20;

 private:
  class TWatchdog;
  void FindProcess(ULONGLONG startedAfter);
  void EndProcess();
  fw::TComPtr<IDispatch> application_;
  std::chrono::milliseconds bound_;
  ULONGLONG deadline_;  // GetTickCount64 at which the exchange has run out of time
  DWORD pid_ = 0;
  fw::UniqueFile process_;  // this import's own instance: SYNCHRONIZE | PROCESS_TERMINATE
  std::unique_ptr<TWatchdog> watchdog_;
};

}  // namespace sheet
