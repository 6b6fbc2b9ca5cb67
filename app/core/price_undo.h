// The way back: puts back the old prices of the rows a journal says its run
// wrote, where they still hold what that run wrote. One update per row, each
// committed by itself, in the journal's order; recorded in a journal of its
// own, so that an undo can be undone. Windows-free.
#pragma once
#include <string>
#include <vector>

#include "app/core/journal.h"
#include "db/query.h"

namespace naveko {

struct TUndoResult {
  bool Done = true;       // false: it stopped at a failure (Error says why)
  int Candidates = 0;     // rows the journal's run wrote
  int Restored = 0;       // put back
  int LeftChanged = 0;    // left as they are: their prices changed since
  int FailedRow = -1;     // the sheet row it stopped at, or -1
  std::string Error;
  std::string JournalError;  // its own journal's final form could not be written
};

// `journal` is a whole journal already read and checked; `own` records this
// undo. The statements run through `query`; `codec` turns the journal's UTF-8
// back into the database's 8-bit text.
TUndoResult UndoPriceUpdate(const std::vector<TJournalRow>& journal, db::TDatabaseQuery& query, TRunJournal& own,
                            const TTextCodec& codec = {});

}  // namespace naveko
