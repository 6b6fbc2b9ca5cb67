#include "app/core/journal.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>

namespace naveko {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kHeading =
    "row,key,old salp,old price1,old salp2,old price2,new salp,new price1,new salp2,new price2,outcome,check";
constexpr std::string_view kNull = "NULL";
constexpr std::string_view kFailedPrefix = "failed: ";
constexpr size_t kFields = 12;

struct TOutcomeName {
  TRowOutcome Outcome;
  std::string_view Name;
};
constexpr TOutcomeName kOutcomeNames[] = {
    {TRowOutcome::NotReached, "not reached"},
    {TRowOutcome::AboutToWrite, "about to write"},
    {TRowOutcome::Changed, "changed"},
    {TRowOutcome::Unchanged, "unchanged"},
    {TRowOutcome::NotInDatabase, "not in the database"},
    {TRowOutcome::LeftChangedSince, "left: changed since the update"},
};

std::uint32_t Crc(std::uint32_t crc, std::string_view bytes) {
  return std::uint32_t(crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()), uInt(bytes.size())));
}

// The chain starts from the kind of run and the number of listed keys, so
// neither can be changed without the checks telling.
std::uint32_t Seed(size_t listedKeys, TJournalKind kind) {
  const std::string count = "listed keys " + std::to_string(listedKeys);
  return Crc(0, kind == TJournalKind::Undo ? "undo, " + count : count);
}

std::string Hex(std::uint32_t v) {
  char buf[9];
  std::snprintf(buf, sizeof buf, "%08x", unsigned(v));
  return buf;
}

bool IsPlainNumber(std::string_view s) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  size_t digits = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) ++digits;
  if (i < s.size() && s[i] == '.')
    for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) ++digits;
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t exp = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) ++exp;
    if (exp == 0) return false;
  }
  return i == s.size();
}

// A text the spreadsheet application would take for a formula gets an
// apostrophe in front (and so does one that begins with an apostrophe), so
// that opening a journal never runs what a price list smuggled into a key.
bool NeedsGuard(std::string_view s) {
  if (s.empty()) return false;
  if (s[0] == '\'') return true;
  return std::string_view("=+-@\t\r").find(s[0]) != std::string_view::npos && !IsPlainNumber(s);
}

std::string Field(std::string_view value) {
  std::string v = NeedsGuard(value) ? "'" + std::string(value) : std::string(value);
  const bool quote = v.empty() || v == kNull || v.find_first_of(",\"\r\n") != std::string::npos;
  if (!quote) return v;
  std::string out = "\"";
  for (char c : v) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string PriceField(bool present, const TPrice& p) {
  if (!present) return std::string();
  return p ? Field(*p) : std::string(kNull);
}

std::string OutcomeText(const TJournalRow& row) {
  if (row.Outcome == TRowOutcome::Failed) return std::string(kFailedPrefix) + row.Message;
  for (const auto& o : kOutcomeNames)
    if (o.Outcome == row.Outcome) return std::string(o.Name);
  return std::string();
}

// --- reading -----------------------------------------------------------

struct TField {
  std::string Text;
  bool Quoted = false;
};

struct TRecord {
  std::vector<TField> Fields;
  std::string_view Checked;  // the record's bytes before the comma of its check
  size_t Number = 0;         // 1 for the first record after the heading
};

[[noreturn]] void Fail(const std::string& why) { throw EJournalError("The journal " + why); }
[[noreturn]] void Fail(const TRecord& r, const std::string& why) {
  Fail("record " + std::to_string(r.Number) + " " + why);
}

// Splits the records after the heading. A last line that a stop cut short (a
// record without its line end, or the garbage a power cut may leave after the
// last line end) is returned in `partial` instead: a fault with no line end
// after it is such a line; one with a line end after it is a fault.
std::vector<TRecord> SplitRecords(std::string_view s, bool& partial) {
  std::vector<TRecord> records;
  size_t pos = 0;
  partial = false;
  // A fault at `at` of the record begun at `start`: torn, or refused.
  auto fault = [&](const TRecord& rec, size_t at, const char* why) {
    if (s.find("\r\n", at) != std::string_view::npos) Fail(rec, why);
    partial = true;
  };
  while (pos < s.size()) {
    TRecord rec;
    rec.Number = records.size() + 1;
    const size_t start = pos;
    size_t lastComma = std::string_view::npos;
    bool ended = false;
    while (!ended) {
      TField f;
      if (pos < s.size() && s[pos] == '"') {
        f.Quoted = true;
        ++pos;
        for (;;) {
          if (pos >= s.size()) {
            partial = true;
            return records;
          }
          if (s[pos] == '"') {
            if (pos + 1 < s.size() && s[pos + 1] == '"') {
              f.Text += '"';
              pos += 2;
              continue;
            }
            ++pos;
            break;
          }
          f.Text += s[pos++];
        }
      } else {
        while (pos < s.size() && s[pos] != ',' && s[pos] != '\r' && s[pos] != '\n') {
          if (s[pos] == '"') {
            fault(rec, pos, "has a quote inside an unquoted field");
            return records;
          }
          f.Text += s[pos++];
        }
      }
      rec.Fields.push_back(std::move(f));
      if (pos >= s.size()) {
        partial = true;
        return records;
      }
      if (s[pos] == ',') {
        lastComma = pos++;
      } else if (s.substr(pos, 2) == "\r\n") {
        pos += 2;
        ended = true;
      } else {
        fault(rec, pos + 1, "has a line break that is not CRLF, or text after a closing quote");
        return records;
      }
    }
    if (lastComma == std::string_view::npos) Fail(rec, "has a single field");
    rec.Checked = s.substr(start, lastComma - start);
    records.push_back(std::move(rec));
  }
  return records;
}

std::string Unguard(const TField& f) {
  if (!f.Text.empty() && f.Text[0] == '\'') return f.Text.substr(1);
  return f.Text;
}

// A price field: absent (unquoted and empty), NULL, or the database's text.
struct TPriceField {
  bool Present = false;
  TPrice Value;
};

TPriceField ReadPrice(const TField& f) {
  if (!f.Quoted && f.Text.empty()) return {};
  if (!f.Quoted && f.Text == kNull) return {true, std::nullopt};
  return {true, Unguard(f)};
}

// Four price fields from `first`: all present or all absent.
bool ReadPrices(const TRecord& r, size_t first, TPrices& out) {
  int present = 0;
  for (size_t k = 0; k < 4; ++k) {
    TPriceField p = ReadPrice(r.Fields[first + k]);
    present += p.Present;
    out[k] = p.Value;
  }
  if (present != 0 && present != 4) Fail(r, "has some of a row's four prices but not all");
  return present == 4;
}

TJournalRow ReadRow(const TRecord& r) {
  if (r.Fields.size() != kFields)
    Fail(r, "has " + std::to_string(r.Fields.size()) + " fields instead of " + std::to_string(kFields));
  TJournalRow row;
  const std::string& number = r.Fields[0].Text;
  if (r.Fields[0].Quoted || number.empty() || number.size() > 9 ||
      !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
    Fail(r, "has no row number");
  row.Row = std::stoi(number);
  if (row.Row < 2) Fail(r, "names the heading row or none");
  row.Key = Unguard(r.Fields[1]);
  row.Found = ReadPrices(r, 2, row.Old);
  row.Written = ReadPrices(r, 6, row.New);
  const std::string outcome = Unguard(r.Fields[10]);
  if (outcome.rfind(kFailedPrefix, 0) == 0) {
    row.Outcome = TRowOutcome::Failed;
    row.Message = outcome.substr(kFailedPrefix.size());
  } else {
    auto it = std::find_if(std::begin(kOutcomeNames), std::end(kOutcomeNames),
                           [&](const TOutcomeName& o) { return o.Name == outcome; });
    if (it == std::end(kOutcomeNames)) Fail(r, "has an unknown outcome");
    row.Outcome = it->Outcome;
  }
  switch (row.Outcome) {
    case TRowOutcome::NotReached:  // an undo's may name what it will put back; checked with the kind
    case TRowOutcome::Failed: break;
    case TRowOutcome::AboutToWrite:
      if (!row.Written) Fail(r, "is about to write without the prices it sends");
      break;
    case TRowOutcome::LeftChangedSince:
      if (row.Written) Fail(r, "has new prices for a row that wrote none");
      break;
    case TRowOutcome::Changed:
    case TRowOutcome::Unchanged:
      if (!row.Found || !row.Written) Fail(r, "is a written row without its old and new prices");
      if ((row.Outcome == TRowOutcome::Changed) == (row.Old == row.New))
        Fail(r, "has an outcome its prices contradict");
      break;
    case TRowOutcome::NotInDatabase:
      if (row.Found || row.Written) Fail(r, "has prices for a key not in the database");
      break;
  }
  return row;
}

// The kind whose chain the first record continues.
TJournalKind KindOf(const TRecord& first, size_t listedKeys) {
  for (TJournalKind kind : {TJournalKind::Update, TJournalKind::Undo})
    if (first.Fields.back().Text == Hex(Crc(Seed(listedKeys, kind), first.Checked))) return kind;
  Fail(first, "does not match its check: it was changed, moved or cut");
}

void CheckChain(const std::vector<TRecord>& records, size_t listedKeys, TJournalKind kind) {
  std::uint32_t chain = Seed(listedKeys, kind);
  for (const TRecord& r : records) {
    chain = Crc(chain, r.Checked);
    const TField& check = r.Fields.back();
    if (check.Quoted || check.Text != Hex(chain)) Fail(r, "does not match its check: it was changed, moved or cut");
  }
}

bool Ascending(const std::vector<TJournalRow>& rows, size_t from, size_t to) {
  for (size_t i = from + 1; i < to; ++i)
    if (rows[i].Row <= rows[i - 1].Row) return false;
  return true;
}

// After the snapshot, each row has at most an intent and at most an ending,
// the ending after the intent; intents come in the rows' order (a few ahead,
// flushed together), and so do endings.
bool InRunOrder(const std::vector<TJournalRow>& rows, size_t from) {
  int lastIntent = 0, lastEnding = 0, noIntentUpTo = 0;
  for (size_t i = from; i < rows.size(); ++i) {
    const int row = rows[i].Row;
    if (rows[i].Outcome == TRowOutcome::AboutToWrite) {
      if (row <= lastIntent || row <= noIntentUpTo) return false;
      lastIntent = row;
    } else {
      if (row <= lastEnding) return false;
      lastEnding = row;
      if (row > lastIntent) noIntentUpTo = row;  // it ended without an intent: none may follow
    }
  }
  return true;
}

}  // namespace

bool Ended(const TJournalRow& row) {
  return row.Outcome == TRowOutcome::Changed || row.Outcome == TRowOutcome::Unchanged;
}

TJournalWriter::TJournalWriter(size_t listedKeys, TJournalKind kind) : chain_(Seed(listedKeys, kind)) {}

std::string TJournalWriter::Heading() { return std::string(kBom) + std::string(kHeading) + "\r\n"; }

std::string TJournalWriter::Record(const TJournalRow& row) {
  std::string text = std::to_string(row.Row) + "," + Field(row.Key);
  for (const TPrice& p : row.Old) text += "," + PriceField(row.Found, p);
  for (const TPrice& p : row.New) text += "," + PriceField(row.Written, p);
  text += "," + Field(OutcomeText(row));
  chain_ = Crc(chain_, text);
  return text + "," + Hex(chain_) + "\r\n";
}

std::string FormatJournal(const std::vector<TJournalRow>& rows, TJournalKind kind) {
  TJournalWriter writer(rows.size(), kind);
  std::string text = TJournalWriter::Heading();
  for (const TJournalRow& row : rows) text += writer.Record(row);
  return text;
}

TJournal ReadJournal(std::string_view bytes) {
  const std::string heading = TJournalWriter::Heading();
  if (bytes.substr(0, kBom.size()) != kBom) Fail("does not begin with UTF-8's byte-order mark");
  if (bytes.substr(0, heading.size()) != heading) Fail("has no heading line, or another one");
  bool partial = false;
  const std::vector<TRecord> records = SplitRecords(bytes.substr(heading.size()), partial);
  // A run that lists no key keeps no journal, so a heading alone is a journal cut short.
  if (records.empty()) Fail("is cut short: it has no records");
  std::vector<TJournalRow> rows;
  rows.reserve(records.size());
  for (const TRecord& r : records) rows.push_back(ReadRow(r));

  // The snapshot is the leading run of rows not reached; a final form begins
  // with a row that was reached (the run always reaches its first row), so a
  // file that begins with a row not reached is a running form, the snapshot
  // alone included.
  const size_t leading =
      size_t(std::find_if(rows.begin(), rows.end(),
                          [](const TJournalRow& r) { return r.Outcome != TRowOutcome::NotReached; }) -
             rows.begin());
  TJournal journal;
  journal.Running = leading != 0;
  const size_t listed = journal.Running ? leading : rows.size();
  if (partial && !journal.Running) Fail("is cut short: its last line has no end");
  journal.Kind = KindOf(records.front(), listed);
  CheckChain(records, listed, journal.Kind);
  if (!Ascending(rows, 0, listed)) Fail("lists its rows out of order");
  for (size_t i = 0; i < rows.size(); ++i)
    if (journal.Kind == TJournalKind::Update && rows[i].Outcome == TRowOutcome::NotReached && rows[i].Written)
      Fail(records[i], "has new prices for a row that wrote none");
  if (!journal.Running) {
    journal.Rows = std::move(rows);
    return journal;
  }

  // A run that stopped half way (a crash or a power loss; a last line the
  // stop cut in two is left out): each record after the snapshot is a row's
  // intent or its ending, in order.
  if (!InRunOrder(rows, listed)) Fail("ends its rows out of order");
  journal.Rows.assign(rows.begin(), rows.begin() + std::ptrdiff_t(listed));
  for (size_t i = listed; i < rows.size(); ++i) {
    // The snapshot's rows are in ascending order.
    const auto at = std::lower_bound(journal.Rows.begin(), journal.Rows.end(), rows[i].Row,
                                     [](const TJournalRow& r, int row) { return r.Row < row; });
    if (at == journal.Rows.end() || at->Row != rows[i].Row || at->Key != rows[i].Key || at->Found != rows[i].Found ||
        at->Old != rows[i].Old)
      Fail(records[i], "ends a row its snapshot does not have");
    *at = rows[i];
  }
  return journal;
}

void TRunJournal::Begin(std::vector<TJournalRow> rows) {
  writer_.emplace(rows.size(), kind_);
  std::string text = TJournalWriter::Heading();
  for (const TJournalRow& row : rows) text += writer_->Record(row);
  try {
    sink_.Append(text);
    sink_.Flush();
  } catch (const std::exception& e) {
    Break(e);
  }
  rows_ = std::move(rows);
  state_ = TState::Recording;
}

void TRunJournal::Break(const std::exception& e) {
  state_ = TState::Broken;
  broken_ = e.what();
  throw;
}

void TRunJournal::Write(const TJournalRow& row) {
  try {
    sink_.Append(writer_->Record(row));
  } catch (const std::exception& e) {
    Break(e);
  }
}

void TRunJournal::Flush() {
  if (state_ != TState::Recording) return;
  try {
    sink_.Flush();
  } catch (const std::exception& e) {
    Break(e);
  }
}

void TRunJournal::Intent(size_t index, const TPrices& sent) {
  if (state_ != TState::Recording) return;
  TJournalRow& row = rows_.at(index);
  row.Written = true;
  row.New = sent;
  row.Outcome = TRowOutcome::AboutToWrite;
  Write(row);
}

void TRunJournal::RowDone(size_t index, const TJournalRow& row) {
  if (state_ != TState::Recording) return;
  rows_.at(index) = row;
  Write(row);
}

void TRunJournal::Fail(size_t index, const std::string& why, const std::optional<TPrices>& sent) {
  if (state_ != TState::Recording || index >= rows_.size()) return;
  TJournalRow& row = rows_[index];
  row.Outcome = TRowOutcome::Failed;
  row.Message = why;
  row.Written = sent.has_value();
  row.New = sent.value_or(TPrices{});
  try {
    Write(row);
    Flush();
  } catch (const std::exception&) {
    // Broken now; Close tells why.
  }
}

std::string TRunJournal::Close() {
  if (state_ == TState::Broken) return broken_;
  if (state_ != TState::Recording) return std::string();
  for (TJournalRow& row : rows_)
    if (row.Outcome == TRowOutcome::AboutToWrite) {
      row.Outcome = TRowOutcome::NotReached;
      row.Written = false;
      row.New = {};
    }
  try {
    sink_.Flush();  // the running form complete, should the final one fail
    sink_.Replace(FormatJournal(rows_, kind_));
  } catch (const std::exception& e) {
    state_ = TState::Broken;
    broken_ = e.what();
    return broken_;
  }
  state_ = TState::Closed;
  return std::string();
}

}  // namespace naveko
