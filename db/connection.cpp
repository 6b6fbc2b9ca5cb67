#include "db/connection.h"

#include "db/connection_string.h"
#include "framework/core/text.h"

namespace db {

TDatabaseConnection::TDatabaseConnection(fw::TComponent* owner) : fw::TComponent(owner) {}

TDatabaseConnection::~TDatabaseConnection() { Close(); }

const fw::TClassInfo& TDatabaseConnection::StaticClassInfo() {
  static const fw::TClassInfo info = [] {
    fw::TClassInfo i("TDatabaseConnection", &fw::TComponent::StaticClassInfo(),
                     [](fw::TComponent* o) -> fw::TComponent* { return new TDatabaseConnection(o); });
    i.Add(fw::IntProp<TDatabaseConnection, int>("CommandTimeout", &TDatabaseConnection::CommandTimeout,
                                                &TDatabaseConnection::SetCommandTimeout, 30));
    i.Add(fw::StringProp<TDatabaseConnection, std::wstring>("ConnectionString", &TDatabaseConnection::ConnectionStringW,
                                                            &TDatabaseConnection::SetConnectionStringW, L""));
    return i;
  }();
  return info;
}

void TDatabaseConnection::SetConnectionString(const std::string& s) {
  if (Connected()) throw EDatabaseError("Operation not allowed on an open connection", {});
  connectionString_ = s;
}

// Connection strings are ASCII; the layout stream carries them as UTF-16.
std::wstring TDatabaseConnection::ConnectionStringW() const { return fw::Utf8ToWide(connectionString_); }
void TDatabaseConnection::SetConnectionStringW(const std::wstring& s) { SetConnectionString(fw::WideToUtf8(s)); }

void TDatabaseConnection::Open() {
  if (Connected()) return;
  ++openAttempts_;
  TOdbcHandle env(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
  Check(SQLSetEnvAttr(env.Get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0), env,
        "Cannot select ODBC 3");
  TOdbcHandle dbc(SQL_HANDLE_DBC, env.Get());
  // Each statement commits by itself.
  Check(SQLSetConnectAttr(dbc.Get(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0), dbc,
        "Cannot set autocommit");
  std::string odbc = OleDbToOdbc(connectionString_);
  SQLCHAR out[1024];
  SQLSMALLINT outLen = 0;
  SQLRETURN rc = SQLDriverConnect(dbc.Get(), nullptr, reinterpret_cast<SQLCHAR*>(odbc.data()), SQLSMALLINT(odbc.size()),
                                  out, SQLSMALLINT(sizeof out), &outLen, SQL_DRIVER_NOPROMPT);
  Check(rc, dbc, "Cannot connect to the database");
  env_ = std::move(env);
  dbc_ = std::move(dbc);
  connected_ = true;
  ++generation_;
}

bool TDatabaseConnection::Alive() {
  if (!Connected()) return false;
  try {
    Execute("select 1");
    return true;
  } catch (const EDatabaseError&) {
    return false;
  }
}

void TDatabaseConnection::Close() {
  if (inTransaction_) Rollback();
  if (dbc_ && connected_) SQLDisconnect(dbc_.Get());
  connected_ = false;
  dbc_.Reset();
  env_.Reset();
}

void TDatabaseConnection::Execute(const std::string& sql) {
  if (!Connected()) throw EDatabaseError("The connection is not open", {});
  TOdbcHandle stmt(SQL_HANDLE_STMT, dbc_.Get());
  if (commandTimeout_ > 0)
    SQLSetStmtAttr(stmt.Get(), SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(commandTimeout_)), 0);
  std::string text = sql;
  SQLRETURN rc = SQLExecDirect(stmt.Get(), reinterpret_cast<SQLCHAR*>(text.data()), SQLINTEGER(text.size()));
  if (rc != SQL_NO_DATA) Check(rc, stmt, "Statement failed");
}

void TDatabaseConnection::BeginTransaction() {
  if (!Connected()) throw EDatabaseError("The connection is not open", {});
  if (inTransaction_) throw EDatabaseError("A transaction is already open", {});
  Check(SQLSetConnectAttr(dbc_.Get(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0), dbc_,
        "Cannot begin a transaction");
  inTransaction_ = true;
}

void TDatabaseConnection::Commit() {
  if (!inTransaction_) throw EDatabaseError("No transaction is open", {});
  Check(SQLEndTran(SQL_HANDLE_DBC, dbc_.Get(), SQL_COMMIT), dbc_, "Cannot commit");
  inTransaction_ = false;
  Check(SQLSetConnectAttr(dbc_.Get(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0), dbc_,
        "Cannot return to statements that commit by themselves");
}

void TDatabaseConnection::Rollback() {
  if (!inTransaction_) return;
  inTransaction_ = false;
  if (!Connected()) return;
  SQLEndTran(SQL_HANDLE_DBC, dbc_.Get(), SQL_ROLLBACK);
  SQLSetConnectAttr(dbc_.Get(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
}

}  // namespace db
