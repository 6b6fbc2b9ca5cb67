// The price update run against real databases (SQLite ODBC and PostgreSQL).
#include <gtest/gtest.h>

#include "app/core/odbc_price_store.h"
#include "app/core/price_update.h"
#include "db/query.h"
#include "tests/db/backends.h"

using namespace db;
using namespace dbtest;
using naveko::RunPriceUpdate;
using naveko::TUpdateOutcome;

namespace {

class UpdateRun : public testing::TestWithParam<Backend (*)()> {
 protected:
  void SetUp() override {
    backend = GetParam()();
    if (backend.Postgres() && !std::getenv("NAVEKO_PG_ENV")) GTEST_SKIP() << "no PostgreSQL fixture";
    conn = Connect(backend);
    std::vector<std::pair<std::string, std::vector<std::string>>> rows;
    for (const char* k : {"M1", "M2", "M3", "K"}) rows.push_back({k, {"1", "1", "1", "1"}});
    if (backend.KeyType != "uuid") rows.push_back({"", {"1", "1", "1", "1"}});
    MakeMat00(*conn, backend, rows);
    query = std::make_unique<TDatabaseQuery>(nullptr);
    query->SetConnection(conn.get());
    store = std::make_unique<naveko::TOdbcPriceStore>(*query);
  }
  // The table as the import leaves it: heading row, data rows (their keys
  // this back end's keys, blanks kept), then two empty rows.
  void Fill(const std::vector<std::vector<std::string>>& rows) {
    table.SetRowCount(int(rows.size()) + 2);
    table.SetColCount(5);
    for (size_t r = 0; r < rows.size(); ++r)
      for (size_t c = 0; c < rows[r].size(); ++c) {
        std::string cell = rows[r][c];
        if (c == 0 && r > 0) {
          const size_t b = cell.find_first_not_of(' '), e = cell.find_last_not_of(' ');
          if (b != std::string::npos)
            cell = cell.substr(0, b) + backend.Key(cell.substr(b, e - b + 1)) + cell.substr(e + 1);
        }
        table.SetCell(int(c), int(r), cell);
      }
  }
  // The four prices of a medicine, each as %g ("20.5 0 22 23"), whatever the database's own spelling.
  std::string Row(const std::string& name) {
    std::string out;
    for (const char* col : {"salp", "price1", "salp2", "price2"}) {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%g",
                    Number(ReadOne(backend, std::string("select ") + col + " from mat00 where guid = '" +
                                                backend.Key(name) + "'")));
      out += (out.empty() ? "" : " ") + std::string(buf);
    }
    return out;
  }
  Backend backend;
  std::unique_ptr<TDatabaseConnection> conn;
  std::unique_ptr<TDatabaseQuery> query;
  std::unique_ptr<naveko::TOdbcPriceStore> store;
  fw::TStringTable table{30, 1500};
};

const std::vector<std::string> kHeading = {"guid", "salp", "price1", "salp2", "price2"};

}  // namespace

TEST_P(UpdateRun, ThreeRowsUpdateAndSucceed) {
  Fill({kHeading, {"M1", "10", "11", "12", "13"}, {" M2 ", "20.5", "", "22", "23"}, {"M3", "30", "31", "32", "33"}});
  auto r = RunPriceUpdate(table, *store, ".");
  EXPECT_EQ(r.Outcome, TUpdateOutcome::Success) << r.Error;
  EXPECT_EQ(r.StatementsRun, 3);
  EXPECT_EQ(Row("M1"), "10 11 12 13");
  EXPECT_EQ(Row("M2"), "20.5 0 22 23") << "blanks around the key go; an empty price is 0";
  EXPECT_EQ(Row("M3"), "30 31 32 33");
}

TEST_P(UpdateRun, ABadPriceStopsTheRunWithTheEarlierRowsCommitted) {
  Fill({kHeading, {"M1", "10", "11", "12", "13"}, {"M2", "1,5", "2", "3", "4"}, {"M3", "30", "31", "32", "33"}});
  auto r = RunPriceUpdate(table, *store, ".");
  EXPECT_EQ(r.Outcome, TUpdateOutcome::RowFailed);
  EXPECT_EQ(r.FailedRow, 3);
  EXPECT_EQ(r.StatementsRun, 1);
  EXPECT_EQ(Row("M1"), "10 11 12 13");
  EXPECT_EQ(Row("M2"), "1 1 1 1");
  EXPECT_EQ(Row("M3"), "1 1 1 1");
}

TEST_P(UpdateRun, EmptyKeysAreSkippedAndBlankKeysSentEmpty) {
  if (backend.KeyType == "uuid") GTEST_SKIP() << "an empty text is no GUID: the odd-key case covers it";
  Fill({kHeading, {"", "9", "9", "9", "9"}, {"   ", "5", "5", "5", "5"}});
  auto r = RunPriceUpdate(table, *store, ".");
  EXPECT_EQ(r.Outcome, TUpdateOutcome::Success);
  EXPECT_EQ(r.StatementsRun, 1);
  EXPECT_EQ(Row(""), "5 5 5 5");
}

TEST_P(UpdateRun, EveryDataRowIsUsedHoweverLongTheSheet) {
  std::vector<std::vector<std::string>> rows = {kHeading};
  for (int i = 2; i <= 2000; ++i) rows.push_back({"X" + std::to_string(i), "1", "1", "1", "1"});
  rows[1499] = {"M1", "42", "1", "1", "1"};  // sheet row 1500
  rows[1500] = {"M2", "42", "1", "1", "1"};  // sheet row 1501
  rows[1999] = {"M3", "42", "1", "1", "1"};  // sheet row 2000, the last
  Fill(rows);
  auto r = RunPriceUpdate(table, *store, ".");
  EXPECT_EQ(r.Outcome, TUpdateOutcome::Success);
  EXPECT_EQ(r.StatementsRun, 1999);
  EXPECT_EQ(Row("M1"), "42 1 1 1");
  EXPECT_EQ(Row("M2"), "42 1 1 1");
  EXPECT_EQ(Row("M3"), "42 1 1 1");
}

TEST_P(UpdateRun, HeadingOnlyRunsNothingAndSucceeds) {
  Fill({kHeading});
  auto r = RunPriceUpdate(table, *store, ".");
  EXPECT_EQ(r.Outcome, TUpdateOutcome::Success);
  EXPECT_EQ(r.StatementsRun, 0);
}

TEST_P(UpdateRun, ACommaSeparatorReadsCommaPrices) {
  Fill({kHeading, {"M1", "10,25", "1", "1", "1"}});
  auto r = RunPriceUpdate(table, *store, ",");
  EXPECT_EQ(r.Outcome, TUpdateOutcome::Success) << r.Error;
  EXPECT_EQ(Row("M1"), "10.25 1 1 1");
}

TEST_P(UpdateRun, ADatabaseErrorEndsTheRun) {
  conn->Execute("drop table mat00");
  Fill({kHeading, {"M1", "10", "11", "12", "13"}});
  auto r = RunPriceUpdate(table, *store, ".");
  EXPECT_EQ(r.Outcome, TUpdateOutcome::RowFailed);
  EXPECT_EQ(r.FailedRow, 2);
}

INSTANTIATE_TEST_SUITE_P(RealDrivers, UpdateRun, AllVariants(), [](const auto& info) { return info.param().Name; });
