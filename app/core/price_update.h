// The price update run over an imported price table: for each listed medicine,
// one parameterised update of four price columns of mat00, committed by itself;
// the first failing row ends the run. Windows-free.
#pragma once
#include <string>

#include "db/query.h"
#include "framework/core/string_table.h"

namespace naveko {

inline constexpr const char* kUpdateStatement =
    "update mat00 set salp= :a0,price1= :a1,salp2= :a2,price2= :a3  where guid= :a4";
inline constexpr int kMaxTableRows = 1500;  // sheet rows 2 to 1500

enum class TUpdateOutcome { Success, RowFailed };

struct TUpdateResult {
  TUpdateOutcome Outcome = TUpdateOutcome::Success;
  int StatementsRun = 0;  // executed without error
  int FailedRow = -1;     // the table row that ended the run
  std::string Error;      // why, for logs and tests; the user sees only the fixed message
};

// Caps the table at kMaxTableRows, then updates rows 1 to the last; the heading
// row 0 and rows whose key cell is empty are skipped.
TUpdateResult RunPriceUpdate(fw::TStringTable& table, db::TDatabaseQuery& query, const std::string& decimalSeparator);

// Empties every cell within the table's current counts.
void ClearTable(fw::TStringTable& table);

}  // namespace naveko
