#include "app/core/price_update.h"

#include <charconv>
#include <optional>
#include <stdexcept>

#include "app/core/price_reader.h"
#include "app/core/price_text.h"

namespace naveko {

void ClearTable(fw::TStringTable& table) {
  for (int row = 0; row < table.RowCount(); ++row)
    for (int col = 0; col < table.ColCount(); ++col) table.SetCell(col, row, std::string());
}

std::string SentText(double value) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, r.ptr);
}

namespace {

struct TListedRow {
  int TableRow;
  std::string Key;  // trimmed, as the statement's key
};

std::vector<TJournalRow> Snapshot(const std::vector<TListedRow>& listed, TPriceReader& reader,
                                  const TTextCodec& codec) {
  std::vector<std::string> keys;
  for (const TListedRow& r : listed) keys.push_back(r.Key);
  const std::vector<TRecordPrices> prices = reader.ReadAll(keys);
  std::vector<TJournalRow> rows(listed.size());
  for (size_t i = 0; i < listed.size(); ++i) {
    rows[i].Row = listed[i].TableRow + 1;
    rows[i].Key = codec.ToUtf8(listed[i].Key);
    rows[i].Found = prices[i].Records > 0;
    if (rows[i].Found) rows[i].Old = prices[i].Prices;
  }
  return rows;
}

}  // namespace

TUpdateResult RunPriceUpdate(fw::TStringTable& table, db::TDatabaseQuery& query, const std::string& sep,
                             TRunJournal* journal, const TTextCodec& codec) {
  const int last = table.RowCount() - 1;
  TUpdateResult result;
  std::vector<TListedRow> listed;
  for (int row = 1; row <= last; ++row)
    if (!table.Cell(0, row).empty()) listed.push_back({row, TrimKey(table.Cell(0, row))});
  result.ListedKeys = int(listed.size());

  // The prices as they are, on the disk before the first statement. A run
  // that lists no key has nothing to keep.
  if (listed.empty()) journal = nullptr;
  std::optional<TPriceReader> reader;
  if (journal) {
    try {
      if (!query.Connection()) throw std::runtime_error("The query has no connection");
      reader.emplace(*query.Connection());
      journal->Begin(Snapshot(listed, *reader, codec));
    } catch (const std::exception& e) {
      result.Outcome = TUpdateOutcome::SnapshotFailed;
      result.Error = e.what();
      return result;
    }
  }
  // A record that cannot be kept stops the run, as a failing row does.
  bool journalBroken = false;
  auto record = [&](size_t index, const TJournalRow& row) {
    try {
      journal->RowDone(index, row);
    } catch (const std::exception& e) {
      journalBroken = true;
      throw std::runtime_error(std::string("The journal could not be written: ") + e.what());
    }
  };

  size_t index = 0;
  std::array<db::TParamValue, 4> sent;
  bool executed = false;
  try {
    for (; index < listed.size(); ++index) {
      const int row = listed[index].TableRow;
      executed = false;
      // The text is set again for every row, so the parameters are described anew.
      query.ClearSQL();
      query.SetSQL(kUpdateStatement);
      for (int k = 0; k < 4; ++k) {
        const std::string& cell = table.Cell(k + 1, row);
        if (cell.empty()) {
          sent[k] = std::uint8_t(0);
        } else if (auto v = ParsePrice(cell, sep)) {
          sent[k] = *v;
        } else {
          throw std::invalid_argument("'" + cell + "' is not a valid floating point value");
        }
        query.SetParam(k, sent[k]);
      }
      query.SetParam(4, listed[index].Key);
      query.ExecSQL();
      executed = true;
      ++result.StatementsRun;
      if (!journal) continue;
      // What the database made of the values, spelled as it spells the old ones.
      TJournalRow done = journal->Rows()[index];
      const TRecordPrices now = reader->Read(listed[index].Key);
      if (!done.Found) {
        done.Outcome = TRowOutcome::NotInDatabase;
      } else {
        done.Written = true;
        done.New = now.Prices;
        done.Outcome = done.New == done.Old ? TRowOutcome::Unchanged : TRowOutcome::Changed;
        result.RowsChanged += done.Outcome == TRowOutcome::Changed;
      }
      record(index, done);
    }
  } catch (const std::exception& e) {
    result.Outcome = TUpdateOutcome::RowFailed;
    result.FailedRow = listed[index].TableRow;
    result.Error = e.what();
  } catch (...) {
    result.Outcome = TUpdateOutcome::RowFailed;
    result.FailedRow = listed[index].TableRow;
    result.Error = "unknown error";
  }
  if (!journal) return result;

  if (result.Outcome == TUpdateOutcome::RowFailed && !journalBroken) {
    TJournalRow failed = journal->Rows()[index];
    failed.Outcome = TRowOutcome::Failed;
    failed.Message = codec.ToUtf8(result.Error);
    if (executed && failed.Found) {
      // The statement went through, then reading its result failed: what it sent stands as its new prices.
      failed.Written = true;
      for (size_t k = 0; k < 4; ++k)
        failed.New[k] = std::holds_alternative<double>(sent[k]) ? SentText(std::get<double>(sent[k])) : "0";
    }
    try {
      journal->RowDone(index, failed);
    } catch (const std::exception&) {
      // The running form stays as it was; the final form below still tells.
    }
  }
  try {
    journal->Finish();
  } catch (const std::exception& e) {
    result.JournalError = e.what();
  }
  return result;
}

}  // namespace naveko
