// The connection and query components against real ODBC drivers: SQLite's
// (a file database) and psqlODBC (a PostgreSQL server started by the fixture).
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "db/connection.h"
#include "db/query.h"
#include "tests/db/backends.h"

using namespace db;
using namespace dbtest;

namespace {

class Drivers : public testing::TestWithParam<Backend (*)()> {
 protected:
  void SetUp() override {
    backend = GetParam()();
    // Run by hand without the fixture, the PostgreSQL half is skipped; under CTest it must run.
    if (backend.Postgres() && !std::getenv("NAVEKO_PG_ENV")) GTEST_SKIP() << "no PostgreSQL fixture";
    if (backend.Name == "PostgreSQL") {
      ASSERT_FALSE(PgPort().empty()) << "the PostgreSQL fixture did not start";
    }
    conn = Connect(backend);
    conn->Execute("drop table if exists mat00");
    conn->Execute(
        "create table mat00 (guid varchar(40) primary key, salp float, price1 float, salp2 float, price2 float,"
        " note varchar(20), check (salp is null or salp >= -1e300))");
    conn->Execute("insert into mat00 (guid, salp, price1, salp2, price2) values ('K1', 1, 1, 1, 1)");
    conn->Execute("insert into mat00 (guid, salp, price1, salp2, price2) values ('K2', 2, 2, 2, 2)");
  }
  Backend backend;
  std::unique_ptr<TDatabaseConnection> conn;
};

}  // namespace

TEST_P(Drivers, EachStatementIsCommittedAtOnce) {
  TDatabaseQuery q(nullptr);
  q.SetConnection(conn.get());
  q.SetSQL("update mat00 set salp= :a0,price1= :a1,salp2= :a2,price2= :a3  where guid= :a4");
  ASSERT_EQ(q.ParamCount(), 5);
  q.SetParam(0, 12.5);
  q.SetParam(1, 13.0);
  q.SetParam(2, std::uint8_t(0));
  q.SetParam(3, std::string("14.25"));
  q.SetParam(4, std::string("K1"));
  q.ExecSQL();
  EXPECT_EQ(std::stod(ReadOne(backend, "select salp from mat00 where guid='K1'")), 12.5);
  EXPECT_EQ(std::stod(ReadOne(backend, "select salp2 from mat00 where guid='K1'")), 0.0);
  EXPECT_EQ(std::stod(ReadOne(backend, "select price2 from mat00 where guid='K1'")), 14.25);
  EXPECT_EQ(std::stod(ReadOne(backend, "select salp from mat00 where guid='K2'")), 2.0);
}

TEST_P(Drivers, AnUpdateThatMatchesNoRowIsNoError) {
  TDatabaseQuery q(nullptr);
  q.SetConnection(conn.get());
  q.SetSQL("update mat00 set salp= :a0 where guid= :a1");
  q.SetParam(0, 1.0);
  q.SetParam(1, std::string("missing"));
  EXPECT_NO_THROW(q.ExecSQL());
}

TEST_P(Drivers, ValuesTheColumnCannotTakeRaiseWithTheDriversDiagnostics) {
  TDatabaseQuery q(nullptr);
  q.SetConnection(conn.get());
  q.SetSQL("update mat00 set note= :a0 where guid= :a1");
  q.SetParam(0, std::string(300, 'x'));  // longer than varchar(20) (SQLite: the CHECK below instead)
  q.SetParam(1, std::string("K1"));
  if (backend.Name == "SQLite") {
    q.SetSQL("update mat00 set salp= :a0 where guid= :a1");
    q.SetParam(0, -1e308);  // the CHECK constraint refuses it
    q.SetParam(1, std::string("K1"));
  }
  try {
    q.ExecSQL();
    FAIL() << "no error";
  } catch (const EDatabaseError& e) {
    ASSERT_FALSE(e.Records().empty());
    EXPECT_EQ(e.Records()[0].SqlState.size(), 5u);
  }
  EXPECT_EQ(std::stod(ReadOne(backend, "select salp from mat00 where guid='K1'")), 1.0) << "nothing changed";
}

TEST_P(Drivers, StatementErrorsRaiseAndLeaveTheQueryUsable) {
  TDatabaseQuery q(nullptr);
  q.SetConnection(conn.get());
  q.SetSQL("update no_such_table set x = :a0");
  q.SetParam(0, 1.0);
  EXPECT_THROW(q.ExecSQL(), EDatabaseError);
  q.SetSQL("update mat00 set salp = :a0 where guid = :a1");
  q.SetParam(0, 5.0);
  q.SetParam(1, std::string("K2"));
  EXPECT_NO_THROW(q.ExecSQL());
}

TEST_P(Drivers, ParametersAreDescribedWhenConnectedAndTypedByTheFirstValueOtherwise) {
  TDatabaseQuery described(nullptr);
  described.SetConnection(conn.get());
  described.SetSQL("update mat00 set salp= :a0 where guid= :a1");
  EXPECT_TRUE(described.Param(0).Described);
  EXPECT_NE(described.Param(0).SqlType, SQL_UNKNOWN_TYPE);

  // Set while the connection is closed, nothing can be described.
  auto later = std::make_unique<TDatabaseConnection>(nullptr);
  later->SetConnectionString(backend.ConnectionString);
  TDatabaseQuery q(nullptr);
  q.SetConnection(later.get());
  q.SetSQL("update mat00 set salp= :a0, price1= :a1 where guid= :a2");
  EXPECT_FALSE(q.Param(0).Described);
  q.SetParam(0, 7.0);
  q.SetParam(1, std::uint8_t(0));
  q.SetParam(2, std::string("K2"));
  EXPECT_EQ(q.Param(0).SqlType, SQL_DOUBLE);
  EXPECT_EQ(q.Param(1).SqlType, SQL_TINYINT);
  EXPECT_EQ(q.Param(2).SqlType, SQL_VARCHAR);
  q.SetParam(0, std::string("8.5"));  // the type stays that of the first value
  EXPECT_EQ(q.Param(0).SqlType, SQL_DOUBLE);
  later->Open();
  q.ExecSQL();
  EXPECT_EQ(std::stod(ReadOne(backend, "select salp from mat00 where guid='K2'")), 8.5);
  EXPECT_EQ(std::stod(ReadOne(backend, "select price1 from mat00 where guid='K2'")), 0.0);
}

TEST_P(Drivers, MarkersInsideQuotesReachTheDatabaseAsText) {
  TDatabaseQuery q(nullptr);
  q.SetConnection(conn.get());
  q.SetSQL("update mat00 set note = ':a0' where guid = :a1");
  ASSERT_EQ(q.ParamCount(), 1);
  q.SetParam(0, std::string("K1"));
  q.ExecSQL();
  EXPECT_EQ(ReadOne(backend, "select note from mat00 where guid='K1'"), ":a0");
}

TEST_P(Drivers, ATimeOutRaises) {
  if (!backend.HasTimeout) GTEST_SKIP() << "the SQLite driver has no query time-out";
  TDatabaseQuery q(nullptr);
  q.SetConnection(conn.get());
  q.SetCommandTimeout(1);
  q.SetSQL("select pg_sleep(:a0)");
  q.SetParam(0, 5.0);
  try {
    q.ExecSQL();
    FAIL() << "no time-out";
  } catch (const EDatabaseError& e) {
    EXPECT_TRUE(e.HasState("HYT00") || e.HasState("57014")) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(RealDrivers, Drivers, testing::Values(&Sqlite, &Postgres),
                         [](const auto& info) { return info.param().Name; });

TEST(Connection, AFailedOpenRaisesAndNothingReconnectsLater) {
  TDatabaseConnection c(nullptr);
  c.SetConnectionString(
      "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;"
      "Initial Catalog=PilvaroM1;Data Source=.\\sqlexpress");
  EXPECT_THROW(c.Open(), EDatabaseError);  // no "SQL Server" driver is defined here
  EXPECT_FALSE(c.Connected());
  TDatabaseQuery q(nullptr);
  q.SetConnection(&c);
  q.SetSQL("update mat00 set salp = :a0");
  q.SetParam(0, 1.0);
  EXPECT_THROW(q.ExecSQL(), EDatabaseError);
  EXPECT_EQ(c.OpenAttempts(), 1);
}

TEST(Connection, TheStringCannotChangeWhileOpenAndQueriesDropAFreedConnection) {
  auto c = Connect(Sqlite());
  EXPECT_THROW(c->SetConnectionString("x"), EDatabaseError);
  TDatabaseQuery q(nullptr);
  q.SetConnection(c.get());
  c.reset();
  EXPECT_EQ(q.Connection(), nullptr);
}
