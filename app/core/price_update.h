// The price update run over an imported price table: for each listed medicine,
// one parameterised update of four price columns of mat00, committed by itself;
// the first failing row ends the run. With a journal, the prices of every
// listed key are read and kept before the first statement, and every row is
// recorded as it ends. Windows-free.
#pragma once
#include <string>

#include "app/core/journal.h"
#include "db/query.h"
#include "framework/core/string_table.h"

namespace naveko {

inline constexpr const char* kUpdateStatement =
    "update mat00 set salp= :a0,price1= :a1,salp2= :a2,price2= :a3  where guid= :a4";

enum class TUpdateOutcome {
  Success,
  RowFailed,       // a row's statement (or its record) failed; the rows before it stay updated
  SnapshotFailed,  // the prices could not be read or kept beforehand; no statement ran
};

struct TUpdateResult {
  TUpdateOutcome Outcome = TUpdateOutcome::Success;
  int ListedKeys = 0;     // data rows with a key
  int StatementsRun = 0;  // executed without error
  int RowsChanged = 0;    // rows whose prices now differ (known with a journal only)
  int FailedRow = -1;     // the table row that ended the run
  std::string Error;      // why, for the log and tests; the user sees only the fixed message
  std::string JournalError;  // the journal's final form could not be written (its running form stays)
};

// Updates rows 1 to the last of the table; the heading row 0 and rows whose
// key cell is empty are skipped. Every data row is used, however many there
// are. `codec` turns the table's text into the journal's UTF-8.
TUpdateResult RunPriceUpdate(fw::TStringTable& table, db::TDatabaseQuery& query, const std::string& decimalSeparator,
                             TRunJournal* journal = nullptr, const TTextCodec& codec = {});

// Empties every cell within the table's current counts.
void ClearTable(fw::TStringTable& table);

// A value sent to the database as the journal spells it: the shortest text
// that reads back as the same double.
std::string SentText(double value);

}  // namespace naveko
