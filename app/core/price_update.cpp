#include "app/core/price_update.h"

#include <stdexcept>

#include "app/core/price_text.h"

namespace naveko {

void ClearTable(fw::TStringTable& table) {
  for (int row = 0; row < table.RowCount(); ++row)
    for (int col = 0; col < table.ColCount(); ++col) table.SetCell(col, row, std::string());
}

TUpdateResult RunPriceUpdate(fw::TStringTable& table, db::TDatabaseQuery& query, const std::string& sep) {
  if (table.RowCount() > kMaxTableRows) table.SetRowCount(kMaxTableRows);
  const int last = table.RowCount() - 1;
  TUpdateResult result;
  int row = 1;
  try {
    for (; row <= last; ++row) {
      const std::string& key = table.Cell(0, row);
      if (key.empty()) continue;
      // The text is set again for every row, so the parameters are described anew.
      query.ClearSQL();
      query.SetSQL(kUpdateStatement);
      for (int k = 0; k < 4; ++k) {
        const std::string& cell = table.Cell(k + 1, row);
        if (cell.empty()) {
          query.SetParam(k, std::uint8_t(0));
        } else if (auto v = ParsePrice(cell, sep)) {
          query.SetParam(k, *v);
        } else {
          throw std::invalid_argument("'" + cell + "' is not a valid floating point value");
        }
      }
      query.SetParam(4, TrimKey(key));
      query.ExecSQL();
      ++result.StatementsRun;
    }
  } catch (const std::exception& e) {
    result.Outcome = TUpdateOutcome::RowFailed;
    result.FailedRow = row;
    result.Error = e.what();
  } catch (...) {
    result.Outcome = TUpdateOutcome::RowFailed;
    result.FailedRow = row;
    result.Error = "unknown error";
  }
  return result;
}

}  // namespace naveko
