// The real ODBC back ends of the data-access tests: an SQLite file through the
// SQLite ODBC driver, and the PostgreSQL server of the fixture through psqlODBC.
#pragma once
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

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

inline std::unique_ptr<TDatabaseConnection> Connect(const Backend& b) {
  auto c = std::make_unique<TDatabaseConnection>(nullptr);
  c->SetConnectionString(b.ConnectionString);
  c->Open();
  return c;
}

// Reads one value as text through a connection of its own (what another client sees).
inline std::string ReadOne(const Backend& b, const std::string& sql) {
  auto c = Connect(b);
  TOdbcHandle stmt(SQL_HANDLE_STMT, c->Handle());
  std::string text = sql;
  Check(SQLExecDirect(stmt.Get(), reinterpret_cast<SQLCHAR*>(text.data()), SQLINTEGER(text.size())), stmt, "read");
  if (SQLFetch(stmt.Get()) != SQL_SUCCESS) return "<no row>";
  char buf[256] = {0};
  SQLLEN len = 0;
  SQLGetData(stmt.Get(), 1, SQL_C_CHAR, buf, sizeof buf, &len);
  return len == SQL_NULL_DATA ? "<null>" : std::string(buf);
}

}  // namespace dbtest
