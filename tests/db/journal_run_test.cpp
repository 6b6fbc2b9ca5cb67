// The update run's snapshot and journal, and the way back, against real
// databases (SQLite ODBC and PostgreSQL).
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "app/core/odbc_price_store.h"
#include "app/core/price_undo.h"
#include "app/core/price_update.h"
#include "db/query.h"
#include "tests/db/backends.h"

using namespace db;
using namespace dbtest;
using namespace naveko;

namespace {

class MemorySink : public TJournalSink {
 public:
  void Append(std::string_view b) override {
    if (onAppend) onAppend();
    if (fail) throw std::runtime_error("the disk is full");
    text.append(b);
  }
  void Flush() override {}
  void Replace(std::string_view b) override { text.assign(b); }
  std::string text;
  std::function<void()> onAppend;
  bool fail = false;
};

class JournalRun : public testing::TestWithParam<Backend (*)()> {
 protected:
  void SetUp() override {
    backend = GetParam()();
    if (backend.Postgres() && !std::getenv("NAVEKO_PG_ENV")) GTEST_SKIP() << "no PostgreSQL fixture";
    conn = Connect(backend);
    MakeMat00(*conn, backend,
              {{"M1", {"1", "1.25", "1", ""}},
               {"M2", {"2", "2", "2", "2"}},
               {"M3", {"3", "3", "3", "3"}},
               {"AUDITED", {"4", "4", "4", "4"}}});
    query = std::make_unique<TDatabaseQuery>(nullptr);
    query->SetConnection(conn.get());
    store = std::make_unique<TOdbcPriceStore>(*query);
  }
  // Data rows from sheet row 2; a key is a name of this back end's keys
  // (blanks around it kept), or a text given as it is with a leading '='.
  void Fill(const std::vector<std::vector<std::string>>& rows) {
    table.SetRowCount(int(rows.size()) + 3);
    table.SetColCount(5);
    for (size_t r = 0; r < rows.size(); ++r)
      for (size_t c = 0; c < rows[r].size(); ++c) {
        std::string cell = rows[r][c];
        if (c == 0 && !cell.empty() && cell[0] == '=') {
          cell = cell.substr(1);
        } else if (c == 0) {
          const size_t b = cell.find_first_not_of(' '), e = cell.find_last_not_of(' ');
          if (b != std::string::npos)
            cell = cell.substr(0, b) + backend.Key(cell.substr(b, e - b + 1)) + cell.substr(e + 1);
        }
        table.SetCell(int(c), int(r + 1), cell);
      }
  }
  // The four prices as another client reads them, in the database's own spelling.
  TPrices Prices(const std::string& name) {
    TPrices p;
    const char* cols[] = {"salp", "price1", "salp2", "price2"};
    for (size_t k = 0; k < 4; ++k) {
      std::string v =
          ReadOne(backend, std::string("select ") + cols[k] + " from mat00 where guid = '" + backend.Key(name) + "'");
      if (v != "<null>") p[k] = v;
    }
    return p;
  }
  Backend backend;
  std::unique_ptr<TDatabaseConnection> conn;
  std::unique_ptr<TDatabaseQuery> query;
  std::unique_ptr<TOdbcPriceStore> store;
  fw::TStringTable table{30, 1500};
};

}  // namespace

TEST_P(JournalRun, TheSnapshotIsKeptBeforeTheFirstStatementAndTheWayBackRestoresEveryDigit) {
  const TPrices m1 = Prices("M1"), m2 = Prices("M2"), m3 = Prices("M3");
  Fill({{"M1", "10", "11.5", "", "13"},
        {"NOPE", "1", "1", "1", "1"},
        {"M2", "x", "2", "2", "2"},
        {" M3 ", "9", "9", "9", "9"}});
  MemorySink sink;
  int appends = 0;
  sink.onAppend = [&] {
    if (appends++ == 0) {
      EXPECT_EQ(Prices("M1"), m1) << "the snapshot is on the disk before the first update";
    }
  };
  TRunJournal journal(sink);
  const TUpdateResult r = RunPriceUpdate(table, *store, ".", &journal);
  EXPECT_EQ(r.Outcome, TUpdateOutcome::RowFailed);
  EXPECT_EQ(r.FailedRow, 4);
  EXPECT_EQ(r.StatementsRun, 2);
  EXPECT_EQ(r.RowsChanged, 1);
  EXPECT_EQ(appends, 1 + 2 + 2 + 1) << "the snapshot, each written row's intent and ending, the failed row";

  const std::vector<TJournalRow> rows = ParseJournal(sink.text);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].Row, 2);
  EXPECT_EQ(rows[0].Old, m1);
  EXPECT_EQ(rows[0].New, Prices("M1"));
  EXPECT_EQ(rows[0].Outcome, TRowOutcome::Changed);
  EXPECT_FALSE(rows[0].Old[3].has_value()) << "NULL stays NULL";
  EXPECT_EQ(rows[1].Outcome, TRowOutcome::NotInDatabase);
  EXPECT_EQ(rows[2].Outcome, TRowOutcome::Failed);
  EXPECT_EQ(rows[2].Message, "'x' is not a valid floating point value");
  EXPECT_EQ(rows[2].Old, m2);
  EXPECT_EQ(rows[3].Key, backend.Key("M3"));
  EXPECT_EQ(rows[3].Outcome, TRowOutcome::NotReached);
  EXPECT_EQ(rows[3].Old, m3);

  MemorySink undoSink;
  const TUndoResult u = UndoJournal(ReadJournal(sink.text), *store, undoSink);
  EXPECT_TRUE(u.Done) << u.Error;
  EXPECT_EQ(u.Restored, 1);
  EXPECT_EQ(u.LeftChanged, 0);
  EXPECT_EQ(Prices("M1"), m1);
  EXPECT_EQ(Prices("M2"), m2);

  // The undo's own journal undoes the undo.
  MemorySink redoSink;
  const TUndoResult again = UndoJournal(ReadJournal(undoSink.text), *store, redoSink);
  EXPECT_EQ(again.Restored, 1);
  EXPECT_EQ(Prices("M1"), rows[0].New);
}

TEST_P(JournalRun, TheWayBackLeavesARowChangedSinceAndCountsIt) {
  const TPrices m1 = Prices("M1");
  Fill({{"M1", "10", "10", "10", "10"}, {"M2", "20", "20", "20", "20"}});
  MemorySink sink;
  TRunJournal journal(sink);
  ASSERT_EQ(RunPriceUpdate(table, *store, ".", &journal).Outcome, TUpdateOutcome::Success);
  conn->Execute("update mat00 set salp = 99 where guid = '" + backend.Key("M2") + "'");
  const TPrices m2 = Prices("M2");

  MemorySink undoSink;
  const TUndoResult u = UndoJournal(ReadJournal(sink.text), *store, undoSink);
  EXPECT_TRUE(u.Done) << u.Error;
  EXPECT_EQ(u.Restored, 1);
  EXPECT_EQ(u.LeftChanged, 1);
  EXPECT_EQ(Prices("M1"), m1);
  EXPECT_EQ(Prices("M2"), m2) << "a price changed by hand since is kept";
  EXPECT_EQ(ParseJournal(undoSink.text)[1].Outcome, TRowOutcome::LeftChangedSince);
}

TEST_P(JournalRun, ASnapshotThatCannotBeKeptOrReadRunsNoStatement) {
  const TPrices m1 = Prices("M1");
  Fill({{"M1", "10", "10", "10", "10"}});
  MemorySink full;
  full.fail = true;
  TRunJournal journal(full);
  TUpdateResult r = RunPriceUpdate(table, *store, ".", &journal);
  EXPECT_EQ(r.Outcome, TUpdateOutcome::SnapshotFailed);
  EXPECT_EQ(r.StatementsRun, 0);
  EXPECT_EQ(Prices("M1"), m1);

  conn->Execute("drop table mat00");
  MemorySink sink;
  TRunJournal other(sink);
  r = RunPriceUpdate(table, *store, ".", &other);
  EXPECT_EQ(r.Outcome, TUpdateOutcome::SnapshotUnread) << "the database refused: not the disk";
  EXPECT_EQ(r.StatementsRun, 0);
  EXPECT_TRUE(sink.text.empty());
}

TEST_P(JournalRun, AKeyTheDatabaseCannotCompareNeverStopsTheOthersBeforeTheirTurn) {
  // "المجموع" (the total), a footer in the middle of the list and another at its end.
  const std::string total = "=\xD8\xA7\xD9\x84\xD9\x85\xD8\xAC\xD9\x85\xD9\x88\xD8\xB9";
  Fill({{"M1", "10", "10", "10", "10"},
        {total, "1", "1", "1", "1"},
        {"M2", "20", "20", "20", "20"},
        {"=a note that is longer than forty characters and no key at all", "", "", "", ""}});
  MemorySink sink;
  TRunJournal journal(sink);
  const TUpdateResult r = RunPriceUpdate(table, *store, ".", &journal);
  const std::vector<TJournalRow> rows = ParseJournal(sink.text);
  ASSERT_EQ(rows.size(), 4u) << "the snapshot was kept: " << r.Error;
  EXPECT_FALSE(rows[1].Found);
  EXPECT_FALSE(rows[3].Found);
  EXPECT_EQ(Number(*Prices("M1")[0]), 10) << "the rows before it are updated";
  if (backend.KeyType == "uuid") {
    // The database cannot convert the key: that row's failure, as a bad price would be.
    EXPECT_EQ(r.Outcome, TUpdateOutcome::RowFailed);
    EXPECT_EQ(r.FailedRow, 3);
    EXPECT_EQ(rows[1].Outcome, TRowOutcome::Failed);
    EXPECT_NE(rows[1].Message.find("uuid"), std::string::npos) << rows[1].Message;
    EXPECT_EQ(rows[2].Outcome, TRowOutcome::NotReached);
    EXPECT_EQ(Number(*Prices("M2")[0]), 2);
  } else {
    // A key that matches nothing changes nothing, and the run goes on.
    EXPECT_EQ(r.Outcome, TUpdateOutcome::Success) << r.Error;
    EXPECT_EQ(rows[1].Outcome, TRowOutcome::NotInDatabase);
    EXPECT_EQ(Number(*Prices("M2")[0]), 20);
  }
}

TEST_P(JournalRun, PricesAreKeptToTheColumnsLastDigitAndTheWayBackRestoresThem) {
  const TPrices before = Prices("M1");
  Fill({{"M1", "12.35", "12.345", "0.1", "1e-2"}});
  MemorySink sink;
  TRunJournal journal(sink);
  ASSERT_EQ(RunPriceUpdate(table, *store, ".", &journal).Outcome, TUpdateOutcome::Success);
  const TJournalRow row = ParseJournal(sink.text)[0];
  EXPECT_EQ(row.New, Prices("M1")) << "the journal holds the database's own text";
  const std::map<std::string, TPrices> expected = {
      {"float", {"12.35", "12.345", "0.1", "0.01"}},
      {"numeric(19,4)", {"12.3500", "12.3450", "0.1000", "0.0100"}},
      {"numeric(18,2)", {"12.35", "12.35", "0.10", "0.01"}},
      {"money", {"$12.35", "$12.35", "$0.10", "$0.01"}},
  };
  if (backend.Name != "SQLite") {
    EXPECT_EQ(row.New, expected.at(backend.PriceType));
  }
  EXPECT_EQ(Number(*row.New[0]), 12.35);

  MemorySink undoSink;
  const TUndoResult u = UndoJournal(ReadJournal(sink.text), *store, undoSink);
  EXPECT_EQ(u.Restored, 1) << u.Error;
  EXPECT_EQ(Prices("M1"), before) << "back to the last digit";
}

TEST_P(JournalRun, AnErrorAfterTheStatementsOwnWorkFailsItsRowWithItsMessage) {
  if (!backend.Trigger) GTEST_SKIP() << "no trigger on this mat00";
  Fill({{"M1", "10", "10", "10", "10"}, {"AUDITED", "5", "5", "5", "5"}, {"M2", "20", "20", "20", "20"}});
  MemorySink sink;
  TRunJournal journal(sink);
  const TUpdateResult r = RunPriceUpdate(table, *store, ".", &journal);
  EXPECT_EQ(r.Outcome, TUpdateOutcome::RowFailed);
  EXPECT_EQ(r.FailedRow, 3);
  // The message comes through the driver's wide diagnostics whole: Arabic in UTF-8.
  EXPECT_NE(r.Error.find(kTriggerMessage), std::string::npos) << r.Error;
  const std::vector<TJournalRow> rows = ParseJournal(sink.text);
  EXPECT_EQ(rows[1].Outcome, TRowOutcome::Failed);
  EXPECT_NE(rows[1].Message.find(kTriggerMessage), std::string::npos) << rows[1].Message;
  EXPECT_EQ(rows[2].Outcome, TRowOutcome::NotReached);
  MemorySink undoSink;
  EXPECT_EQ(UndoJournal(ReadJournal(sink.text), *store, undoSink).Restored, 1);
  EXPECT_EQ(Number(*Prices("M1")[0]), 1);
  EXPECT_EQ(Number(*Prices("AUDITED")[0]), 4) << "PostgreSQL undid the statement its trigger failed";
}

TEST_P(JournalRun, ALockedRowStopsTheRunAtItsTimeOut) {
  if (!backend.HasTimeout) GTEST_SKIP() << "the driver has no statement time-out";
  const TPrices m1 = Prices("M1");
  auto other = Connect(backend);
  TTransaction holding(*other);
  other->Execute("select * from mat00 where guid = '" + backend.Key("M2") + "' for update");
  query->SetCommandTimeout(2);
  store = std::make_unique<TOdbcPriceStore>(*query);
  Fill({{"M1", "10", "10", "10", "10"}, {"M2", "20", "20", "20", "20"}, {"M3", "30", "30", "30", "30"}});
  MemorySink sink;
  TRunJournal journal(sink);
  const TUpdateResult r = RunPriceUpdate(table, *store, ".", &journal);
  EXPECT_EQ(r.Outcome, TUpdateOutcome::RowFailed);
  EXPECT_EQ(r.FailedRow, 3);
  const std::vector<TJournalRow> rows = ParseJournal(sink.text);
  EXPECT_EQ(rows[1].Outcome, TRowOutcome::Failed);
  EXPECT_FALSE(rows[1].Message.empty());
  EXPECT_EQ(rows[2].Outcome, TRowOutcome::NotReached);
  holding.Commit();
  MemorySink undoSink;
  EXPECT_EQ(UndoJournal(ReadJournal(sink.text), *store, undoSink).Restored, 1);
  EXPECT_EQ(Prices("M1"), m1);
}

TEST_P(JournalRun, AConnectionTheServerEndedIsToldAndOpensAgain) {
  if (!backend.Postgres()) GTEST_SKIP() << "no server to end the session";
  EXPECT_TRUE(conn->Alive());
  const std::string pid = ReadOneOn(*conn, "select pg_backend_pid()");
  auto admin = Connect(backend);
  admin->Execute("select pg_terminate_backend(" + pid + ")");
  EXPECT_FALSE(conn->Alive());
  conn->Close();
  conn->Open();
  // The queries' statements of the ended session are gone with it; they prepare anew.
  Fill({{"M1", "10", "10", "10", "10"}});
  EXPECT_EQ(RunPriceUpdate(table, *store, ".").Outcome, TUpdateOutcome::Success);
  EXPECT_EQ(Number(*Prices("M1")[0]), 10);
}

INSTANTIATE_TEST_SUITE_P(RealDrivers, JournalRun, AllVariants(), [](const auto& info) { return info.param().Name; });
