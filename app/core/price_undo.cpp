#include "app/core/price_undo.h"

#include <stdexcept>

#include "app/core/price_reader.h"
#include "app/core/price_update.h"

namespace naveko {

namespace {

// A row the journal's run wrote and whose old prices it knows.
bool Restorable(const TJournalRow& r) {
  return r.Written && r.Found && (r.Outcome == TRowOutcome::Changed || r.Outcome == TRowOutcome::Failed);
}

}  // namespace

TUndoResult UndoPriceUpdate(const std::vector<TJournalRow>& journal, db::TDatabaseQuery& query, TRunJournal& own,
                            const TTextCodec& codec) {
  TUndoResult result;
  std::vector<const TJournalRow*> wrote;
  std::vector<std::string> keys;
  for (const TJournalRow& r : journal)
    if (Restorable(r)) {
      wrote.push_back(&r);
      keys.push_back(codec.FromUtf8(r.Key));
    }
  result.Candidates = int(wrote.size());
  if (!query.Connection()) {
    result.Done = false;
    result.Error = "The query has no connection";
    return result;
  }

  if (wrote.empty()) return result;  // nothing to put back, and nothing to record

  size_t index = 0;
  bool begun = false, journalBroken = false;
  auto record = [&](const TJournalRow& row) {
    try {
      own.RowDone(index, row);
    } catch (...) {
      journalBroken = true;
      throw;
    }
  };
  try {
    TPriceReader reader(*query.Connection());
    const std::vector<TRecordPrices> now = reader.ReadAll(keys);
    std::vector<TJournalRow> rows(wrote.size());
    for (size_t i = 0; i < wrote.size(); ++i) {
      rows[i].Row = wrote[i]->Row;
      rows[i].Key = wrote[i]->Key;
      rows[i].Found = now[i].Records > 0;
      if (rows[i].Found) rows[i].Old = now[i].Prices;
    }
    own.Begin(rows);
    begun = true;

    for (; index < wrote.size(); ++index) {
      const TJournalRow& then = *wrote[index];
      TJournalRow done = own.Rows()[index];
      // Only a row that still holds exactly what the run wrote, in one record, goes back.
      if (now[index].Records != 1 || now[index].Prices != then.New) {
        done.Outcome = TRowOutcome::LeftChangedSince;
        ++result.LeftChanged;
        record(done);
        continue;
      }
      query.ClearSQL();
      query.SetSQL(kUpdateStatement);
      for (int k = 0; k < 4; ++k) {
        const TPrice& old = then.Old[size_t(k)];
        query.SetParam(k, old ? db::TParamValue(*old) : db::TParamValue());
      }
      query.SetParam(4, keys[index]);
      query.ExecSQL();
      const TRecordPrices after = reader.Read(keys[index]);
      done.Written = true;
      done.New = after.Prices;
      done.Outcome = done.New == done.Old ? TRowOutcome::Unchanged : TRowOutcome::Changed;
      ++result.Restored;
      record(done);
    }
  } catch (const std::exception& e) {
    result.Done = false;
    result.Error = e.what();
    if (index < wrote.size()) result.FailedRow = wrote[index]->Row;
    if (begun && !journalBroken && index < own.Rows().size()) {
      TJournalRow failed = own.Rows()[index];
      failed.Outcome = TRowOutcome::Failed;
      failed.Message = codec.ToUtf8(result.Error);
      try {
        own.RowDone(index, failed);
      } catch (const std::exception&) {
        // The final form below still tells.
      }
    }
  }
  if (begun) {
    try {
      own.Finish();
    } catch (const std::exception& e) {
      result.JournalError = e.what();
    }
  }
  return result;
}

}  // namespace naveko
