// The price update run over an imported price table: for each listed medicine,
// one parameterised update of four price columns of mat00, committed by itself;
// the first failing row ends the run. With a journal, the prices of every
// listed key are read and kept before the first statement, what each statement
// is about to write is on the disk before it is sent, and every row is
// recorded as it ends. Windows-free.
#pragma once
#include <functional>
#include <string>

#include "app/core/journal.h"
#include "app/core/price_store.h"
#include "framework/core/string_table.h"

namespace naveko {

enum class TUpdateOutcome {
  Success,
  RowFailed,       // a row's statement (or its record) failed; the rows before it stay updated
  SnapshotUnread,  // the database refused to give the prices beforehand; no statement ran
  SnapshotFailed,  // the prices could not be kept on the disk beforehand; no statement ran
};

struct TUpdateResult {
  TUpdateOutcome Outcome = TUpdateOutcome::Success;
  int ListedKeys = 0;        // data rows with a key
  int StatementsRun = 0;     // executed without error
  int RowsChanged = 0;       // rows whose prices now differ (known with a journal only)
  int FailedRow = -1;        // the sheet row that ended the run (the heading is row 1)
  std::string Error;         // why, for the log and tests; the user sees only the fixed message
  std::string JournalError;  // the journal's final form could not be written (its running form stays)
};

// Told after each listed row has ended (`done` of `listed`), and once before
// the first with done 0: the window keeps answering and shows the progress.
using TRowProgress = std::function<void(int done, int listed)>;

// Updates rows 1 to the last of the table; the heading row 0 and rows whose
// key cell is empty are skipped. Every data row is used, however many there
// are. The table's text is UTF-8, as the journal's.
TUpdateResult RunPriceUpdate(const fw::TStringTable& table, TPriceStore& store, const std::string& decimalSeparator,
                             TRunJournal* journal = nullptr, const TRowProgress& progress = {});

// Empties every cell within the table's current counts.
void ClearTable(fw::TStringTable& table);

}  // namespace naveko
