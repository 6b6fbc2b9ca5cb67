// The journal of a price update, or of its undo: one CSV file per run that
// keeps, for every listed medicine, its four prices before the run, what the
// run wrote and how the row ended. The way back reads it; a person opens it in
// the spreadsheet application. Windows-free.
//
// The file: a UTF-8 byte-order mark, the heading, then one record per listed
// key, lines ending in CRLF:
//   row,key,old salp,old price1,old salp2,old price2,new salp,new price1,new salp2,new price2,outcome,check
// A price is the database's own text for it, NULL for a null value, and
// nothing at all where there is no price to tell. The check column chains a
// CRC-32 from the kind of run and the number of listed keys through every
// record, so a record changed, added, dropped or moved by hand, or a file cut
// short, no longer reads.
//
// The new prices of a row that ended (changed, unchanged) are what the
// database holds after its statement. Those of a row that has not ended (about
// to write, not reached, failed) are what its statement sends or sent: the
// values as the update converted them, or the prices an undo puts back.
//
// While a run goes, the file is the snapshot (every listed key, "not reached";
// an undo's snapshot already names what each row will get back) followed by
// records as the run goes: before each statement, what it is about to write,
// on the disk before the statement is sent; after it, how the row ended. So a
// row whose last record says "about to write" may or may not hold what it
// sent, and the way back finds out which from the database. When the run ends
// the file is replaced by the final form, one record per row. Both forms read
// the same.
#pragma once
#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/exception.h"

namespace naveko {

// A price as the database gives it as text; nullopt stands for NULL.
using TPrice = std::optional<std::string>;
using TPrices = std::array<TPrice, 4>;  // salp, price1, salp2, price2

enum class TRowOutcome : std::uint8_t {
  NotReached,        // no statement ran for it (an undo's: New holds what it will put back, if anything)
  AboutToWrite,      // its statement, sending New, was about to run: it may or may not have
  Changed,           // its prices now differ from the old ones
  Unchanged,         // the statement wrote the prices it already had
  NotInDatabase,     // the key matched no record
  Failed,            // the run stopped here; Message says why; New, when present, was sent and may stand
  LeftChangedSince,  // an undo left it: its prices changed after the update
};

struct TJournalRow {
  int Row = 0;           // the sheet's row number (the heading is row 1)
  std::string Key;       // as the statement's key parameter, in UTF-8
  bool Found = false;    // a record had the key when the snapshot was read
  TPrices Old;           // the snapshot (meaningful when Found)
  bool Written = false;  // New holds what the row wrote, or sends (see the file's description)
  TPrices New;
  TRowOutcome Outcome = TRowOutcome::NotReached;
  std::string Message;  // the database's or the conversion's message, for Failed

  bool operator==(const TJournalRow&) const = default;
};

class EJournalError : public fw::Exception {
 public:
  using fw::Exception::Exception;
};

// A row that ended: its New is the database's text after its statement.
bool Ended(const TJournalRow& row);

// An update's journal, or an undo's (which a later undo finishes rather than
// undoes while rows of it are still to be put back).
enum class TJournalKind : std::uint8_t { Update, Undo };

// Writes a journal's text, one piece at a time, keeping the check chain.
class TJournalWriter {
 public:
  TJournalWriter(size_t listedKeys, TJournalKind kind);
  static std::string Heading();                // the byte-order mark and the heading line
  std::string Record(const TJournalRow& row);  // one record with its check, CRLF-ended

 private:
  std::uint32_t chain_;
};

// The final form: the heading and one record per row. A run that lists no
// key keeps no journal.
std::string FormatJournal(const std::vector<TJournalRow>& rows, TJournalKind kind = TJournalKind::Update);

struct TJournal {
  TJournalKind Kind = TJournalKind::Update;
  std::vector<TJournalRow> Rows;  // each row as far as the file tells
  bool Running = false;           // the running form: the run ended before its final form was written
};

// Reads a whole journal, in either form, and checks all of it: the heading,
// every field, the outcomes against the prices, the row order and the check
// chain. A last record that a stop cut in two is left out. Throws
// EJournalError naming the first fault.
TJournal ReadJournal(std::string_view bytes);
inline std::vector<TJournalRow> ParseJournal(std::string_view bytes) { return ReadJournal(bytes).Rows; }

// Where a journal's bytes go: a file in the program, memory in tests.
class TJournalSink {
 public:
  virtual ~TJournalSink() = default;
  // Adds bytes at the end; they may stay in memory until Flush. Throws when they cannot be added.
  virtual void Append(std::string_view bytes) = 0;
  // Puts every byte appended so far on the disk; the first one makes the
  // file appear under its name, so that a journal is never seen without its
  // whole snapshot. Throws when it cannot.
  virtual void Flush() = 0;
  // Puts these bytes in place of the whole file in one step (the old text
  // stays if it fails). Throws when it cannot.
  virtual void Replace(std::string_view bytes) = 0;
  // The journal's name, for the log; empty before it is made.
  virtual std::string Name() const { return std::string(); }
};

// Records one run in its journal as the run goes. Its states, and the steps
// between them:
//   empty --Begin--> recording --Close--> closed
//   empty --Begin fails--> broken (nothing kept: no statement may run)
//   recording --a write or flush fails--> broken
// Once broken, every later step does nothing and Close reports why; the file
// keeps whatever reached the disk, which the way back reads as a run that
// stopped there.
class TRunJournal {
 public:
  enum class TState : std::uint8_t { Empty, Recording, Broken, Closed };

  explicit TRunJournal(TJournalSink& sink, TJournalKind kind = TJournalKind::Update) : sink_(sink), kind_(kind) {}
  // The snapshot, on the disk before it returns: every listed key, not
  // reached yet. Throws when it cannot be kept.
  void Begin(std::vector<TJournalRow> rows);
  // Row `index` will send `sent`: recorded now, on the disk at the next Flush,
  // which must come before the statement is sent. Throws when it cannot be
  // recorded (the journal is then broken).
  void Intent(size_t index, const TPrices& sent);
  // Row `index` has ended as `row` says; on the disk at the next Flush, or at
  // Fail or Close. Throws when it cannot be recorded (broken).
  void RowDone(size_t index, const TJournalRow& row);
  // Everything recorded so far on the disk. Throws when it cannot be (broken).
  void Flush();
  // Row `index` stopped the run for `why`; `sent` when its statement was sent
  // (it may stand). Flushed; never throws.
  void Fail(size_t index, const std::string& why, const std::optional<TPrices>& sent = std::nullopt);
  // The final form in place of the running one (a row whose intent was
  // recorded but whose statement was never sent is "not reached" in it);
  // returns why it could not be written (the running form, which reads the
  // same, then stays), empty when it was. Never throws.
  std::string Close();

  TState State() const { return state_; }
  const std::string& BrokenBecause() const { return broken_; }
  const std::vector<TJournalRow>& Rows() const { return rows_; }

 private:
  void Write(const TJournalRow& row);  // appends its record; broken on failure
  [[noreturn]] void Break(const std::exception& e);
  TJournalSink& sink_;
  TJournalKind kind_;
  TState state_ = TState::Empty;
  std::string broken_;
  std::optional<TJournalWriter> writer_;
  std::vector<TJournalRow> rows_;
};

}  // namespace naveko
