// The journal's text: its exact bytes, a round trip of awkward keys and values,
// what a reader refuses, and the form a run leaves when it stops half way.
#include "app/core/journal.h"

#include <gtest/gtest.h>

#include "app/core/run_log.h"

using namespace naveko;

namespace {

TJournalRow Row(int row, std::string key, std::optional<TPrices> old, std::optional<TPrices> now, TRowOutcome outcome,
                std::string message = {}) {
  TJournalRow r;
  r.Row = row;
  r.Key = std::move(key);
  r.Found = old.has_value();
  if (old) r.Old = *old;
  r.Written = now.has_value();
  if (now) r.New = *now;
  r.Outcome = outcome;
  r.Message = std::move(message);
  return r;
}

const TPrices kOnes = {"1", "1", "1", "1"};

std::vector<TJournalRow> ThreeRows() {
  return {Row(2, "K1", kOnes, TPrices{"10", "11", "12", "13"}, TRowOutcome::Changed),
          Row(3, "K2", std::nullopt, std::nullopt, TRowOutcome::NotInDatabase),
          Row(4, "K,3", TPrices{"3", std::nullopt, "3.5", "3"}, std::nullopt, TRowOutcome::Failed,
              "'x' is not a valid floating point value")};
}

// The checks were computed apart from the code, with Python's zlib.crc32.
const std::string kThreeRows =
    "\xEF\xBB\xBFrow,key,old salp,old price1,old salp2,old price2,new salp,new price1,new salp2,new price2,outcome,"
    "check\r\n"
    "2,K1,1,1,1,1,10,11,12,13,changed,a460b073\r\n"
    "3,K2,,,,,,,,,not in the database,bb566441\r\n"
    "4,\"K,3\",3,NULL,3.5,3,,,,,failed: 'x' is not a valid floating point value,e33cc7c4\r\n";

class MemorySink : public TJournalSink {
 public:
  void Append(std::string_view b) override { text.append(b); }
  void Flush() override {}
  void Replace(std::string_view b) override { text.assign(b); }
  std::string text;
};

}  // namespace

TEST(Journal, TheFinalFormByteForByte) {
  EXPECT_EQ(FormatJournal(ThreeRows()), kThreeRows);
  EXPECT_EQ(ParseJournal(kThreeRows), ThreeRows());
}

TEST(Journal, AwkwardKeysAndValuesComeBackAsTheyWere) {
  const char* keys[] = {"a,b", "say \"hi\"", "\xD8\xAF\xD9\x88\xD8\xA7\xD8\xA1 1", "two\r\nlines", "bare\nfeed",
                        "=HYPERLINK(\"x\")", "'quoted", "+cmd", "-12.5", "", "NULL", " padded ", "@sum"};
  std::vector<TJournalRow> rows;
  int n = 2;
  for (const char* k : keys) {
    rows.push_back(Row(n++, k, TPrices{"12.5", std::nullopt, "", "NULL"}, TPrices{"-1", "0", "1e+20", ","},
                       TRowOutcome::Changed));
    rows.push_back(Row(n++, k, std::nullopt, std::nullopt, TRowOutcome::Failed, std::string("why: ") + k));
  }
  const std::string text = FormatJournal(rows);
  EXPECT_EQ(ParseJournal(text), rows);
  // What a spreadsheet would take for a formula stands behind an apostrophe.
  EXPECT_NE(text.find(",\"'=HYPERLINK(\"\"x\"\")\","), std::string::npos);
  EXPECT_NE(text.find(",'+cmd,"), std::string::npos);
  EXPECT_NE(text.find(",-12.5,"), std::string::npos) << "a number stays a number";
}

TEST(Journal, EveryCutAndEveryChangedByteIsRefused) {
  for (size_t len = 0; len < kThreeRows.size(); ++len)
    EXPECT_THROW(ParseJournal(kThreeRows.substr(0, len)), EJournalError) << "cut at " << len;
  // A changed byte anywhere in the records (the heading is compared whole).
  const size_t records = kThreeRows.find("\r\n") + 2;
  for (size_t at = records; at < kThreeRows.size(); ++at) {
    std::string altered = kThreeRows;
    altered[at] = altered[at] == '1' ? '2' : '1';
    EXPECT_THROW(ParseJournal(altered), EJournalError) << "byte " << at;
  }
  const std::string heading = kThreeRows.substr(0, records);
  const std::string r2 = "2,K1,1,1,1,1,10,11,12,13,changed,a460b073\r\n";
  const std::string r3 = "3,K2,,,,,,,,,not in the database,bb566441\r\n";
  const std::string r4 = kThreeRows.substr(records + r2.size() + r3.size());
  for (const std::string& bad : {heading + r2 + r4, heading + r3 + r2 + r4, heading + r2 + r2 + r3 + r4,
                                 kThreeRows.substr(3), heading + r2 + r3 + r4 + r4}) {
    EXPECT_THROW(ParseJournal(bad), EJournalError) << bad;
  }
}

TEST(Journal, ARunThatStoppedHalfWayReadsAsFarAsItGot) {
  MemorySink sink;
  TRunJournal journal(sink);
  std::vector<TJournalRow> snapshot = {Row(2, "A", kOnes, std::nullopt, TRowOutcome::NotReached),
                                       Row(5, "B", kOnes, std::nullopt, TRowOutcome::NotReached),
                                       Row(6, "C", std::nullopt, std::nullopt, TRowOutcome::NotReached)};
  journal.Begin(snapshot);
  const size_t snapshotEnd = sink.text.size();
  TJournalRow a = snapshot[0];
  a.Written = true;
  a.New = {"2", "2", "2", "2"};
  a.Outcome = TRowOutcome::Changed;
  journal.RowDone(0, a);
  const std::string crashed = sink.text;

  std::vector<TJournalRow> expected = snapshot;
  expected[0] = a;
  EXPECT_EQ(ParseJournal(crashed), expected);
  EXPECT_EQ(ParseJournal(crashed + "5,B,1,1,1"), expected) << "a last line cut by the stop is left out";
  EXPECT_EQ(ParseJournal(crashed.substr(0, snapshotEnd)), snapshot);
  for (size_t len = TJournalWriter::Heading().size(); len < snapshotEnd; ++len)
    EXPECT_THROW(ParseJournal(crashed.substr(0, len)), EJournalError) << "a snapshot cut at " << len;

  EXPECT_EQ(journal.Close(), "");
  EXPECT_EQ(sink.text, FormatJournal(expected)) << "the final form replaces the running one";
  EXPECT_EQ(ParseJournal(sink.text), expected);
}

TEST(Journal, IntentsGoAheadOfTheEndingsAndAnUnsentIntentIsNotReachedInTheFinalForm) {
  MemorySink sink;
  TRunJournal journal(sink, TJournalKind::Undo);
  const std::vector<TJournalRow> snapshot = {Row(2, "A", kOnes, std::nullopt, TRowOutcome::NotReached),
                                             Row(3, "B", kOnes, std::nullopt, TRowOutcome::NotReached),
                                             Row(4, "C", kOnes, std::nullopt, TRowOutcome::NotReached)};
  journal.Begin(snapshot);
  const TPrices sent = {"5", "5", "5", "0"};
  journal.Intent(0, sent);
  journal.Intent(1, sent);
  journal.Intent(2, sent);
  journal.Flush();
  journal.RowDone(0, Row(2, "A", kOnes, sent, TRowOutcome::Changed));
  const TJournal running = ReadJournal(sink.text);
  EXPECT_TRUE(running.Running);
  EXPECT_EQ(running.Kind, TJournalKind::Undo);
  EXPECT_EQ(running.Rows[0].Outcome, TRowOutcome::Changed);
  EXPECT_EQ(running.Rows[1].Outcome, TRowOutcome::AboutToWrite) << "sent or not: the way back asks the database";
  EXPECT_EQ(running.Rows[1].New, sent);
  EXPECT_EQ(running.Rows[2].Outcome, TRowOutcome::AboutToWrite);
  // An intent after its row's ending, or intents out of order, are no run's.
  const std::string heading = TJournalWriter::Heading();
  TJournalWriter writer(1, TJournalKind::Update);
  const TJournalRow a = Row(2, "A", kOnes, std::nullopt, TRowOutcome::NotReached);
  TJournalRow intent = a;
  intent.Outcome = TRowOutcome::AboutToWrite;
  intent.Written = true;
  intent.New = sent;
  const TJournalRow ended = Row(2, "A", kOnes, sent, TRowOutcome::Changed);
  const std::string snapshotRecord = writer.Record(a), endedRecord = writer.Record(ended),
                    intentRecord = writer.Record(intent);
  EXPECT_THROW(ReadJournal(heading + snapshotRecord + endedRecord + intentRecord), EJournalError);

  journal.Fail(1, "the connection was lost", sent);
  EXPECT_EQ(journal.Close(), "");
  const TJournal closed = ReadJournal(sink.text);
  EXPECT_FALSE(closed.Running);
  EXPECT_EQ(closed.Rows[1].Outcome, TRowOutcome::Failed);
  EXPECT_EQ(closed.Rows[1].New, sent) << "sent: it may stand";
  EXPECT_EQ(closed.Rows[2].Outcome, TRowOutcome::NotReached);
  EXPECT_FALSE(closed.Rows[2].Written);
}

TEST(RunLog, OldestBlocksGoFirstToKeepTheLimit) {
  auto block = [](const char* when) {
    TLogBlock b(when, "1.0.0.0", "update");
    b.Add("error", "line one\nline two");
    return b.Text();
  };
  const std::string one = block("2026-12-10 08:00:00"), two = block("2026-12-10 09:00:00"),
                    three = block("2026-12-10 10:00:00");
  EXPECT_EQ(one,
            "==== 2026-12-10 08:00:00  NAVEKO price update 1.0.0.0  update\r\n"
            "  error: line one\r\n    line two\r\n");
  EXPECT_EQ(AppendBounded(one + two, three, 3 * one.size()), one + two + three);
  EXPECT_EQ(AppendBounded(one + two, three, 3 * one.size() - 1), two + three);
  EXPECT_EQ(AppendBounded(one + two, three, one.size()), three);
  EXPECT_EQ(AppendBounded("", three, 10), three.substr(0, 10));
}
