// The update run's snapshot and journal, and the way back, against real
// databases (SQLite ODBC and PostgreSQL).
#include <gtest/gtest.h>

#include <functional>

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
    if (backend.Name == "PostgreSQL" && !std::getenv("NAVEKO_PG_ENV")) GTEST_SKIP() << "no PostgreSQL fixture";
    conn = Connect(backend);
    conn->Execute("drop table if exists mat00");
    conn->Execute("create table mat00 (guid varchar(40) primary key, salp float, price1 float, salp2 float, price2 float)");
    conn->Execute("insert into mat00 values ('M1', 1, 1.25, 1, null), ('M2', 2, 2, 2, 2), ('M3', 3, 3, 3, 3)");
    query = std::make_unique<TDatabaseQuery>(nullptr);
    query->SetConnection(conn.get());
    store = std::make_unique<TOdbcPriceStore>(*query);
  }
  void Fill(const std::vector<std::vector<std::string>>& rows) {
    table.SetRowCount(int(rows.size()) + 3);
    table.SetColCount(5);
    for (size_t r = 0; r < rows.size(); ++r)
      for (size_t c = 0; c < rows[r].size(); ++c) table.SetCell(int(c), int(r + 1), rows[r][c]);
  }
  // The four prices as another client reads them, in the database's own spelling.
  TPrices Prices(const std::string& key) {
    TPrices p;
    const char* cols[] = {"salp", "price1", "salp2", "price2"};
    for (size_t k = 0; k < 4; ++k) {
      std::string v = ReadOne(backend, std::string("select ") + cols[k] + " from mat00 where guid = '" + key + "'");
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
  Fill({{"M1", "10", "11.5", "", "13"}, {"NOPE", "1", "1", "1", "1"}, {"M2", "x", "2", "2", "2"},
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
  EXPECT_EQ(rows[3].Key, "M3");
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
  conn->Execute("update mat00 set salp = 99 where guid = 'M2'");
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
  EXPECT_EQ(r.Outcome, TUpdateOutcome::SnapshotFailed);
  EXPECT_EQ(r.StatementsRun, 0);
  EXPECT_TRUE(sink.text.empty());
}

INSTANTIATE_TEST_SUITE_P(RealDrivers, JournalRun, testing::Values(&Sqlite, &Postgres),
                         [](const auto& info) { return info.param().Name; });
