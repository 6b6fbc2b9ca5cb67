// The way back: puts back the old prices of the rows a journal's run wrote,
// where they still hold what that run wrote. One statement per row, committed
// by itself, in the journal's order, each carrying its own condition; recorded
// in a journal of its own, so that an undo can be undone, and finished when it
// stopped half way. Windows-free.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "app/core/journal.h"
#include "app/core/price_store.h"

namespace naveko {

struct TUndoResult {
  bool Done = true;        // false: it stopped at a failure (Error says why)
  bool Finishing = false;  // it finished an undo that had stopped half way
  int Candidates = 0;      // rows it had to look at: those the journal's run may have written
  int Restored = 0;        // back to the prices before that run
  int LeftChanged = 0;     // left as they are: their prices changed since
  int FailedRow = -1;      // the sheet row it stopped at, or -1
  std::string Error;
  std::string JournalError;  // its own journal's final form could not be written
  std::string Notes;         // rows it could not judge, for the log
};

// Undoes `journal` (an update's, or an undo that ended), or finishes it when it
// is an undo with rows still to put back; `own` receives this run's journal.
//
// Its own journal's snapshot names, for every row, what it will put back and
// on the condition of which prices, before the first statement: a row is put
// back only while it holds what the undone run left there. A row of the undone
// run whose last record says it was about to write (or failed after sending)
// may or may not hold what it sent: the database is asked what those values
// become once stored, and the row counts as written only when it holds that.
TUndoResult UndoJournal(const TJournal& journal, TPriceStore& store, TJournalSink& own);

// Where the journals are: the program's folder in the user's profile, memory in tests.
class TJournalFolder {
 public:
  virtual ~TJournalFolder() = default;
  virtual std::string Newest() = 0;                       // the newest journal's name, empty when there is none
  virtual std::string Read(const std::string& name) = 0;  // its bytes; throws when it cannot be read
  virtual std::unique_ptr<TJournalSink> Create() = 0;     // a new journal, made by its first flush
};

enum class TUndoStatus { NothingToUndo, JournalRefused, DatabaseFailed, Stopped, Done };

struct TUndoCommandResult {
  TUndoStatus Status = TUndoStatus::Done;
  std::string Journal;     // the journal it read
  std::string OwnJournal;  // the journal it wrote, empty when none
  std::string Why;         // why the journal was refused or the database failed
  TUndoResult Undo;
};

// Opens the database, throwing when it cannot.
using TOpenStore = std::function<TPriceStore&()>;

// Project2.exe /undo [NAME]: the named journal or the newest, read and checked
// whole before the database is opened, then undone or finished.
TUndoCommandResult RunUndoCommand(TJournalFolder& folder, const std::string& named, const TOpenStore& open);

}  // namespace naveko
