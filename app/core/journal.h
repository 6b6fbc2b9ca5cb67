// The journal of a price update, or of its undo: one CSV file per run that
// keeps, for every listed medicine, its four prices before the run, what the
// run wrote and how the row ended. The way back reads it; a person opens it in
// the spreadsheet application. Windows-free.
//
// The file: a UTF-8 byte-order mark, the heading, then one record per listed
// key, lines ending in CRLF:
//   row,key,old salp,old price1,old salp2,old price2,new salp,new price1,new salp2,new price2,outcome,check
// A price is the database's own text for it, NULL for a null value, and
// nothing at all where there is no price to tell (the key matched no record,
// or the row wrote nothing). The check column chains a CRC-32 from the number
// of listed keys through every record, so a record changed, added, dropped or
// moved by hand, or a file cut short, no longer reads.
//
// While a run goes, the file is the snapshot (every listed key, "not reached")
// followed by one record per row as each row ends; when the run ends it is
// replaced by the final form above. Both forms read the same.
#pragma once
#include <array>
#include <cstdint>
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
  NotReached,        // no statement ran for it
  Changed,           // its prices now differ from the old ones
  Unchanged,         // the statement wrote the prices it already had
  NotInDatabase,     // the key matched no record
  Failed,            // the run stopped here; Message says why
  LeftChangedSince,  // an undo left it: its prices changed after the update
};

struct TJournalRow {
  int Row = 0;           // the sheet's row number (the heading is row 1)
  std::string Key;       // as the statement's key parameter, in UTF-8
  bool Found = false;    // a record had the key when the snapshot was read
  TPrices Old;           // the snapshot (meaningful when Found)
  bool Written = false;  // New holds what the row wrote
  TPrices New;
  TRowOutcome Outcome = TRowOutcome::NotReached;
  std::string Message;   // the database's or the conversion's message, for Failed

  bool operator==(const TJournalRow&) const = default;
};

class EJournalError : public fw::Exception {
 public:
  using fw::Exception::Exception;
};

// Writes a journal's text, one piece at a time, keeping the check chain.
class TJournalWriter {
 public:
  explicit TJournalWriter(size_t listedKeys);
  static std::string Heading();               // the byte-order mark and the heading line
  std::string Record(const TJournalRow& row);  // one record with its check, CRLF-ended

 private:
  std::uint32_t chain_;
};

// The final form: the heading and one record per row. A run that lists no
// key keeps no journal.
std::string FormatJournal(const std::vector<TJournalRow>& rows);

// Reads a whole journal, in either form, and checks all of it: the heading,
// every field, the outcomes against the prices, the row order and the check
// chain. Throws EJournalError naming the first fault.
std::vector<TJournalRow> ParseJournal(std::string_view bytes);

// Where a journal's bytes go: a file in the program, memory in tests.
class TJournalSink {
 public:
  virtual ~TJournalSink() = default;
  // Adds bytes at the end; they are on the disk when it returns. Throws when they cannot be.
  virtual void Append(std::string_view bytes) = 0;
  // Puts these bytes in place of the whole file in one step (the old text
  // stays if it fails). Throws when it cannot.
  virtual void Replace(std::string_view bytes) = 0;
};

// Records one run in its journal as the run goes.
class TRunJournal {
 public:
  explicit TRunJournal(TJournalSink& sink) : sink_(sink) {}
  // The snapshot, before the first statement: every listed key, not reached yet.
  void Begin(std::vector<TJournalRow> rows);
  // Row `index` of the snapshot has ended as `row` says.
  void RowDone(size_t index, const TJournalRow& row);
  // The final form in place of the running one. A failure is reported and
  // leaves the running form, which reads the same.
  void Finish();
  const std::vector<TJournalRow>& Rows() const { return rows_; }

 private:
  TJournalSink& sink_;
  std::optional<TJournalWriter> writer_;
  std::vector<TJournalRow> rows_;
};

// Converts the program's 8-bit text to UTF-8 and back (identity in tests).
struct TTextCodec {
  std::function<std::string(std::string_view)> ToUtf8 = [](std::string_view s) { return std::string(s); };
  std::function<std::string(std::string_view)> FromUtf8 = [](std::string_view s) { return std::string(s); };
};

}  // namespace naveko
