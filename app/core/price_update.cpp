#include "app/core/price_update.h"

#include <optional>

#include "app/core/price_text.h"

namespace naveko {

void ClearTable(fw::TStringTable& table) {
  for (int row = 0; row < table.RowCount(); ++row)
    for (int col = 0; col < table.ColCount(); ++col) table.SetCell(col, row, std::string());
}

namespace {

struct TListedRow {
  int TableRow;
  std::string Key;  // trimmed, as the statement's key
};

std::vector<TListedRow> ListedRows(const fw::TStringTable& table) {
  std::vector<TListedRow> listed;
  const int last = table.RowCount() - 1;
  for (int row = 1; row <= last; ++row)
    if (!table.Cell(0, row).empty()) listed.push_back({row, TrimKey(table.Cell(0, row))});
  return listed;
}

constexpr size_t kIntentsAhead = 32;

// One run: the listed rows, in order, each through its steps; the first
// failure of any step stops it and is recorded as that row's.
class TUpdateRun {
 public:
  TUpdateRun(const fw::TStringTable& table, TPriceStore& store, const std::string& sep, TRunJournal* journal)
      : table_(table), store_(store), sep_(sep), journal_(journal), listed_(ListedRows(table)) {
    result_.ListedKeys = int(listed_.size());
  }

  TUpdateResult Run(const TRowProgress& progress) {
    // A run that lists no key has nothing to keep and nothing to run.
    if (listed_.empty()) return result_;
    if (journal_ && !KeepSnapshot()) return result_;
    if (progress) progress(0, int(listed_.size()));
    for (size_t i = 0; i < listed_.size(); ++i) {
      if (!UpdateRow(i)) break;
      if (progress) progress(int(i + 1), int(listed_.size()));
    }
    if (journal_) result_.JournalError = journal_->Close();
    return result_;
  }

 private:
  // The prices as they are, on the disk before the first statement.
  bool KeepSnapshot() {
    std::vector<TRecordPrices> prices;
    try {
      std::vector<std::string> keys;
      for (const TListedRow& r : listed_) keys.push_back(r.Key);
      prices = store_.ReadAll(keys);
    } catch (const std::exception& e) {
      result_.Outcome = TUpdateOutcome::SnapshotUnread;
      result_.Error = e.what();
      return false;
    }
    try {
      std::vector<TJournalRow> rows(listed_.size());
      for (size_t i = 0; i < listed_.size(); ++i) {
        rows[i].Row = listed_[i].TableRow + 1;
        rows[i].Key = listed_[i].Key;
        rows[i].Found = prices[i].Records > 0;
        if (rows[i].Found) rows[i].Old = prices[i].Prices;
      }
      journal_->Begin(std::move(rows));
      return true;
    } catch (const std::exception& e) {
      result_.Outcome = TUpdateOutcome::SnapshotFailed;
      result_.Error = e.what();
      return false;
    }
  }

  // The four values of a row as its statement sends them: an empty cell the
  // integer 0, any other the number it spells; nullopt and why when a cell is no number.
  std::optional<TValues> Convert(int row, std::string& why) const {
    TValues values;
    for (int k = 0; k < 4; ++k) {
      const std::string& cell = table_.Cell(k + 1, row);
      if (cell.empty()) {
        values[size_t(k)] = std::uint8_t(0);
      } else if (auto v = ParsePrice(cell, sep_)) {
        values[size_t(k)] = *v;
      } else {
        why = "'" + cell + "' is not a valid floating point value";
        return std::nullopt;
      }
    }
    return values;
  }

  bool UpdateRow(size_t i) {
    const TListedRow& listed = listed_[i];
    std::string why;
    const std::optional<TValues> values = Convert(listed.TableRow, why);
    if (!values) return Stop(i, why, std::nullopt);
    const TPrices sent = SentTexts(*values);
    if (journal_ && i >= intended_ && !RecordIntents(i)) return false;
    try {
      store_.Update(listed.Key, *values);
    } catch (const std::exception& e) {
      return Stop(i, e.what(), sent);  // an error may come after the record was written
    }
    ++result_.StatementsRun;
    if (!journal_) return true;
    try {
      // What the database made of the values, spelled as it spells the old ones.
      TJournalRow done = journal_->Rows()[i];
      if (!done.Found) {
        done.Written = false;
        done.New = {};
        done.Outcome = TRowOutcome::NotInDatabase;
      } else {
        done.New = store_.Read(listed.Key).Prices;
        done.Outcome = done.New == done.Old ? TRowOutcome::Unchanged : TRowOutcome::Changed;
      }
      journal_->RowDone(i, done);
      result_.RowsChanged += done.Outcome == TRowOutcome::Changed;
      return true;
    } catch (const std::exception& e) {
      const bool broken = journal_->State() == TRunJournal::TState::Broken;
      return Stop(i, (broken ? "The journal could not be written: " : "") + std::string(e.what()), sent);
    }
  }

  // What the next rows will send, from row `first` up to kIntentsAhead of
  // them or the first whose prices are no numbers, on the disk in one flush
  // before the first of them is sent: a flush a row would cost more than the
  // statement on a quick database.
  bool RecordIntents(size_t first) {
    try {
      size_t i = first;
      for (std::string why; i < listed_.size() && i < first + kIntentsAhead; ++i) {
        const std::optional<TValues> values = Convert(listed_[i].TableRow, why);
        if (!values) break;
        journal_->Intent(i, SentTexts(*values));
      }
      journal_->Flush();
      intended_ = i;
      return true;
    } catch (const std::exception& e) {
      return Stop(first, std::string("The journal could not be written: ") + e.what(), std::nullopt);
    }
  }

  // The run stops at row `i` for `why`; `sent` when its statement was sent.
  // Returns false, to stop.
  bool Stop(size_t i, const std::string& why, const std::optional<TPrices>& sent) {
    result_.Outcome = TUpdateOutcome::RowFailed;
    result_.FailedRow = listed_[i].TableRow + 1;
    result_.Error = why;
    if (journal_) journal_->Fail(i, why, sent);
    return false;
  }

  const fw::TStringTable& table_;
  TPriceStore& store_;
  const std::string& sep_;
  TRunJournal* journal_;
  std::vector<TListedRow> listed_;
  size_t intended_ = 0;  // the rows before it have their intents on the disk
  TUpdateResult result_;
};

}  // namespace

TUpdateResult RunPriceUpdate(const fw::TStringTable& table, TPriceStore& store, const std::string& sep,
                             TRunJournal* journal, const TRowProgress& progress) {
  return TUpdateRun(table, store, sep, journal).Run(progress);
}

}  // namespace naveko
