// The real ODBC back ends of the data-access tests: an SQLite file through the
// SQLite ODBC driver, and the PostgreSQL server of the fixture through psqlODBC
// with mat00 as a pharmacy's database may have it: a uniqueidentifier-like key
// (uuid) with numeric(19,4) prices, numeric(18,2) prices, money, and a trigger
// that raises an error after its own statements for one key.
//
// What each variant stands in for, as SQL Server documents it:
// - uniqueidentifier (Transact-SQL): comparing the column with a text that is
//   no GUID fails the whole statement, "Conversion failed when converting from
//   a character string to uniqueidentifier" (error 8169); PostgreSQL's uuid
//   refuses such a text as well ("invalid input syntax for type uuid", SQLSTATE
//   22P02).
// - decimal and numeric (Transact-SQL): a value is rounded to the column's
//   scale (12.345 into decimal(18,2) is 12.35) and spelled with all its scale
//   digits; money and smallmoney (Transact-SQL): four decimal places. PostgreSQL's
//   numeric behaves the same; its money is spelled with the currency sign.
// - CREATE TRIGGER (Transact-SQL) and SQLMoreResults (ODBC API reference): a
//   trigger's own statements add results after the statement's, and an error
//   among them is read there. PostgreSQL's RAISE EXCEPTION in an AFTER trigger
//   fails the statement itself (at SQLExecute) and undoes its work, so the
//   later-results path is not reached by these back ends.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "db/connection.h"

namespace dbtest {

using namespace db;

inline constexpr const char* kSqliteDriver = "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so";
inline constexpr const char* kPgDriver = "/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so";

inline std::string PgPort() {
  const char* envFile = std::getenv("NAVEKO_PG_ENV");
  if (!envFile) return {};
  std::ifstream f(envFile);
  std::string line;
  while (std::getline(f, line))
    if (line.rfind("NAVEKO_PG_PORT=", 0) == 0) return line.substr(15);
  return {};
}

struct Backend {
  std::string Name;
  std::string ConnectionString;
  bool HasTimeout;  // the driver honours the query time-out
  // mat00 on this back end.
  std::string KeyType = "varchar(40)";
  std::string PriceType = "float";
  bool Trigger = false;  // updating the key Key("AUDITED") raises the trigger's error after its own insert
  bool Postgres() const { return ConnectionString.find("psqlodbc") != std::string::npos; }
  // A test's key name as this mat00's key: itself, or a GUID made from it.
  std::string Key(const std::string& name) const {
    if (KeyType != "uuid" || name.empty()) return name;
    unsigned long long h = 1469598103934665603ull;
    for (unsigned char c : name) h = (h ^ c) * 1099511628211ull;
    char buf[40];
    std::snprintf(buf, sizeof buf, "00000000-0000-4000-8000-%012llx", h & 0xFFFFFFFFFFFFull);
    return buf;
  }
};

inline Backend Sqlite() {
  static const std::string path = [] {
    const char* tmp = std::getenv("NAVEKO_TMP");
    std::string p = std::string(tmp ? tmp : "/tmp") + "/db_test_" + std::to_string(getpid()) + ".sqlite";
    std::remove(p.c_str());
    return p;
  }();
  return {"SQLite", std::string("Driver=") + kSqliteDriver + ";Database=" + path + ";Timeout=2000", false};
}

inline Backend Postgres() {
  return {"PostgreSQL",
          std::string("Driver=") + kPgDriver + ";Server=127.0.0.1;Port=" + PgPort() +
              ";Database=postgres;UID=postgres;PWD=;UseServerSidePrepare=1",
          true};
}

// PostgreSQL with mat00's key of `keyType`, its prices of `priceType`, and the trigger or not.
inline Backend PostgresVariant(const char* name, const char* keyType, const char* priceType, bool trigger) {
  Backend b = Postgres();
  b.Name = name;
  b.KeyType = keyType;
  b.PriceType = priceType;
  b.Trigger = trigger;
  return b;
}
inline Backend PostgresUuidNumeric19x4() {
  return PostgresVariant("PostgreSQL_uuid_numeric19x4", "uuid", "numeric(19,4)", false);
}
inline Backend PostgresNumeric18x2() {
  return PostgresVariant("PostgreSQL_numeric18x2", "varchar(40)", "numeric(18,2)", false);
}
inline Backend PostgresMoney() { return PostgresVariant("PostgreSQL_money", "varchar(40)", "money", false); }
inline Backend PostgresTrigger() { return PostgresVariant("PostgreSQL_trigger", "varchar(40)", "float", true); }

// The trigger's error, in Arabic as a pharmacy's audit would raise it ("the audit refused the change").
inline constexpr const char* kTriggerMessage =
    "\xD8\xB1\xD9\x81\xD8\xB6 \xD8\xA7\xD9\x84\xD8\xAA\xD8\xAF\xD9\x82\xD9\x8A\xD9\x82";

inline std::unique_ptr<TDatabaseConnection> Connect(const Backend& b) {
  auto c = std::make_unique<TDatabaseConnection>(nullptr);
  c->SetConnectionString(b.ConnectionString);
  c->Open();
  return c;
}

// mat00 made anew on the back end, with `rows` of (key name, four prices; an
// empty price is NULL), and the trigger where the back end has one.
inline void MakeMat00(TDatabaseConnection& c, const Backend& b,
                      const std::vector<std::pair<std::string, std::vector<std::string>>>& rows) {
  c.Execute("drop table if exists mat00");
  if (b.Postgres()) c.Execute("drop table if exists mat00_audit");
  c.Execute("create table mat00 (guid " + b.KeyType + " primary key, salp " + b.PriceType + ", price1 " + b.PriceType +
            ", salp2 " + b.PriceType + ", price2 " + b.PriceType + ")");
  for (const auto& [name, prices] : rows) {
    std::string values = "'" + b.Key(name) + "'";
    for (const std::string& p : prices) values += p.empty() ? ", null" : ", " + p;
    c.Execute("insert into mat00 values (" + values + ")");
  }
  if (b.Trigger) {
    c.Execute("create table mat00_audit (guid text, at timestamp default now())");
    c.Execute(std::string("create or replace function mat00_audit() returns trigger language plpgsql as $$ begin "
                          "insert into mat00_audit (guid) values (new.guid); "
                          "if new.guid = '") +
              b.Key("AUDITED") + "' then raise exception '" + kTriggerMessage + "'; end if; return new; end $$");
    c.Execute("create trigger mat00_audit after update on mat00 for each row execute function mat00_audit()");
  }
}

// A price as a number, whatever the spelling (money's currency sign and thousands separators).
inline double Number(const std::string& text) {
  std::string digits;
  for (char c : text)
    if ((c >= '0' && c <= '9') || c == '.' || c == '-' || c == 'e' || c == 'E' || c == '+') digits += c;
  return std::stod(digits);
}

// One value as text through an open connection.
inline std::string ReadOneOn(TDatabaseConnection& c, const std::string& sql) {
  TOdbcHandle stmt(SQL_HANDLE_STMT, c.Handle());
  std::string text = sql;
  Check(SQLExecDirect(stmt.Get(), reinterpret_cast<SQLCHAR*>(text.data()), SQLINTEGER(text.size())), stmt, "read");
  if (SQLFetch(stmt.Get()) != SQL_SUCCESS) return "<no row>";
  char buf[256] = {0};
  SQLLEN len = 0;
  SQLGetData(stmt.Get(), 1, SQL_C_CHAR, buf, sizeof buf, &len);
  return len == SQL_NULL_DATA ? "<null>" : std::string(buf);
}

// Reads one value as text through a connection of its own (what another client sees).
inline std::string ReadOne(const Backend& b, const std::string& sql) {
  auto c = Connect(b);
  return ReadOneOn(*c, sql);
}

// The back ends the update and the way back run on.
inline auto AllVariants() {
  return testing::Values(&Sqlite, &Postgres, &PostgresUuidNumeric19x4, &PostgresNumeric18x2, &PostgresMoney,
                         &PostgresTrigger);
}

}  // namespace dbtest
