#include "app/core/price_undo.h"

#include <algorithm>
#include <optional>

namespace naveko {

namespace {

// A row of the undone run that holds what it sent, if its statement ran.
bool PossiblyWritten(const TJournalRow& r) {
  return r.Written && (r.Outcome == TRowOutcome::AboutToWrite || r.Outcome == TRowOutcome::Failed);
}

// An undo's row that is still to be put back: its New names the prices.
bool StillToPutBack(const TJournalRow& r) {
  return r.Written && (r.Outcome == TRowOutcome::NotReached || r.Outcome == TRowOutcome::Failed);
}

// An undo that ended before its final form was written (ended at any
// instant), or that stopped with rows still to put back.
bool Unfinished(const TJournal& j) {
  return j.Kind == TJournalKind::Undo && (j.Running || std::any_of(j.Rows.begin(), j.Rows.end(), StillToPutBack));
}

// What an undo will do, decided before its first statement: its journal's
// snapshot (each row's prices now, and in New what it will put back), and the
// rows an earlier attempt already ended.
struct TPlan {
  std::vector<TJournalRow> Rows;
  std::vector<std::optional<TJournalRow>> Ended;
  std::string Notes;
};

TJournalRow SnapshotRow(const TJournalRow& r) {
  TJournalRow s;
  s.Row = r.Row;
  s.Key = r.Key;
  return s;
}

// Undoing a run: every row it changed, and every row it may have written,
// whose prices are now exactly what the run left there.
TPlan PlanUndo(const TJournal& journal, TPriceStore& store) {
  std::vector<const TJournalRow*> wrote;
  std::vector<std::string> keys;
  for (const TJournalRow& r : journal.Rows)
    if (r.Found && (r.Outcome == TRowOutcome::Changed || PossiblyWritten(r))) {
      wrote.push_back(&r);
      keys.push_back(r.Key);
    }
  const std::vector<TRecordPrices> now = store.ReadAll(keys);
  TPlan plan;
  for (size_t i = 0; i < wrote.size(); ++i) {
    const TJournalRow& then = *wrote[i];
    bool one = now[i].Records == 1;
    TPrices left = then.New;  // what the run left there, in the database's spelling
    if (PossiblyWritten(then)) {
      if (one && now[i].Prices == then.Old) continue;  // its statement never took effect: nothing to put back
      if (one) {
        try {
          left = store.StoredForm(keys[i], ValuesOfSent(then.New)).Prices;
        } catch (const std::exception& e) {
          plan.Notes += "row " + std::to_string(then.Row) + ": what it sent could not be matched: " + e.what() + "\n";
          one = false;
        }
      }
    }
    TJournalRow row = SnapshotRow(then);
    row.Found = now[i].Records > 0;
    if (row.Found) row.Old = now[i].Prices;
    // Only a row that holds exactly what the run left, in one record, goes back.
    if (one && now[i].Prices == left) {
      row.Written = true;
      row.New = then.Old;
    }
    plan.Rows.push_back(row);
    plan.Ended.emplace_back();
  }
  return plan;
}

// Finishing an undo that stopped half way: its own snapshot and targets, with
// the rows it ended kept as they ended; the rest are put back now.
TPlan PlanFinish(const TJournal& journal) {
  TPlan plan;
  for (const TJournalRow& r : journal.Rows) {
    TJournalRow row = SnapshotRow(r);
    row.Found = r.Found;
    row.Old = r.Old;
    const bool ended = Ended(r) || r.Outcome == TRowOutcome::LeftChangedSince;
    if (r.Written) {
      row.Written = true;
      row.New = r.New;  // what it puts back, or put back
    }
    plan.Rows.push_back(row);
    plan.Ended.push_back(ended ? std::optional<TJournalRow>(r) : std::nullopt);
  }
  return plan;
}

class TUndoRun {
 public:
  TUndoRun(TPriceStore& store, TJournalSink& sink) : store_(store), journal_(sink, TJournalKind::Undo) {}

  TUndoResult Run(TPlan plan) {
    result_.Candidates = int(plan.Rows.size());
    result_.Notes = plan.Notes;
    if (plan.Rows.empty()) return result_;  // nothing to put back, and nothing to record
    try {
      journal_.Begin(plan.Rows);
    } catch (const std::exception& e) {
      return Stopped(-1, std::string("Its journal could not be kept: ") + e.what());
    }
    for (size_t i = 0; i < plan.Rows.size(); ++i) {
      if (plan.Ended[i]) {
        Count(*plan.Ended[i]);
        Record(i, *plan.Ended[i]);
      } else if (!PutBack(i)) {
        break;
      }
      if (journal_.State() == TRunJournal::TState::Broken) {
        Stopped(plan.Rows[i].Row, "Its journal could not be written: " + journal_.BrokenBecause());
        break;
      }
    }
    result_.JournalError = journal_.Close();
    return result_;
  }

 private:
  bool PutBack(size_t i) {
    TJournalRow row = journal_.Rows()[i];
    const std::string& key = row.Key;
    try {
      if (!row.Written) {
        row.Outcome = TRowOutcome::LeftChangedSince;
      } else if (row.Found && row.Old == row.New) {
        row.Outcome = TRowOutcome::Unchanged;  // it already holds what it would get back
      } else {
        const TPrices target = row.New;
        const bool changed = store_.PutBack(key, ValuesOfPrices(target), row.Old);
        const TRecordPrices now = store_.Read(key);
        if (changed || (now.Records == 1 && now.Prices == target)) {
          row.New = now.Prices;  // an earlier attempt may have put it back already
          row.Outcome = row.New == row.Old ? TRowOutcome::Unchanged : TRowOutcome::Changed;
        } else {
          row.Written = false;
          row.New = {};
          row.Outcome = TRowOutcome::LeftChangedSince;
        }
      }
    } catch (const std::exception& e) {
      journal_.Fail(i, e.what(), row.Written ? std::optional<TPrices>(row.New) : std::nullopt);
      Stopped(row.Row, e.what());
      return false;
    }
    Count(row);
    Record(i, row);
    return true;
  }

  void Count(const TJournalRow& row) {
    if (row.Outcome == TRowOutcome::LeftChangedSince)
      ++result_.LeftChanged;
    else
      ++result_.Restored;
  }

  void Record(size_t i, const TJournalRow& row) {
    try {
      journal_.RowDone(i, row);
    } catch (const std::exception&) {
      // Broken: the loop stops at it.
    }
  }

  TUndoResult& Stopped(int row, const std::string& why) {
    result_.Done = false;
    result_.FailedRow = row;
    result_.Error = why;
    return result_;
  }

  TPriceStore& store_;
  TRunJournal journal_;
  TUndoResult result_;
};

}  // namespace

TUndoResult UndoJournal(const TJournal& journal, TPriceStore& store, TJournalSink& own) {
  const bool finishing = Unfinished(journal);
  TUndoResult result;
  try {
    TPlan plan = finishing ? PlanFinish(journal) : PlanUndo(journal, store);
    result = TUndoRun(store, own).Run(std::move(plan));
  } catch (const std::exception& e) {
    result.Done = false;
    result.Error = e.what();  // the prices could not be read: nothing was changed
  }
  result.Finishing = finishing;
  return result;
}

TUndoCommandResult RunUndoCommand(TJournalFolder& folder, const std::string& named, const TOpenStore& open) {
  TUndoCommandResult out;
  // The whole journal is read and checked before the first statement.
  TJournal journal;
  try {
    out.Journal = named.empty() ? folder.Newest() : named;
    if (out.Journal.empty()) {
      out.Status = TUndoStatus::NothingToUndo;
      return out;
    }
    journal = ReadJournal(folder.Read(out.Journal));
  } catch (const std::exception& e) {
    out.Status = TUndoStatus::JournalRefused;
    out.Why = e.what();
    return out;
  }
  TPriceStore* store = nullptr;
  try {
    store = &open();
  } catch (const std::exception& e) {
    out.Status = TUndoStatus::DatabaseFailed;
    out.Why = e.what();
    return out;
  }
  const std::unique_ptr<TJournalSink> own = folder.Create();
  out.Undo = UndoJournal(journal, *store, *own);
  out.OwnJournal = own->Name();
  out.Status = out.Undo.Done ? TUndoStatus::Done : TUndoStatus::Stopped;
  return out;
}

}  // namespace naveko
