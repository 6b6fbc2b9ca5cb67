// The database connection component (the main window's ADOConnection1):
// opens once with the connection string set before opening, never prompts,
// never reconnects on its own, and closes when it is destroyed.
#pragma once
#include <string>

#include "db/odbc.h"
#include "framework/core/component.h"

namespace db {

class TDatabaseConnection : public fw::TComponent {
 public:
  explicit TDatabaseConnection(fw::TComponent* owner);
  ~TDatabaseConnection() override;
  static const fw::TClassInfo& StaticClassInfo();
  const fw::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  // The string as the program keeps it (OLE DB style or ODBC); accepted only while closed.
  const std::string& ConnectionString() const { return connectionString_; }
  void SetConnectionString(const std::string& s);
  std::wstring ConnectionStringW() const;
  void SetConnectionStringW(const std::wstring& s);
  // Seconds a statement may run; 0 waits for ever.
  int CommandTimeout() const { return commandTimeout_; }
  void SetCommandTimeout(int seconds) { commandTimeout_ = seconds; }
  bool LoginPrompt() const { return false; }

  void Open();  // throws EDatabaseError; a failed open leaves the connection closed
  void Close();
  bool Connected() const { return bool(dbc_) && connected_; }
  // How many times Open reached the driver: nothing reconnects behind the caller's back.
  int OpenAttempts() const { return openAttempts_; }
  // Counts the openings: a statement of an earlier one is gone with it.
  int Generation() const { return generation_; }
  // Whether the server still answers on this connection (one trivial
  // statement): a server restarted since, or a session ended by its
  // administrator, leaves a connection that only fails.
  bool Alive();

  SQLHDBC Handle() const { return dbc_.Get(); }
  const TOdbcHandle& DbcHandle() const { return dbc_; }
  // Runs one statement without parameters or rows (for set-up and tests).
  void Execute(const std::string& sql);

  // Statements commit by themselves unless a transaction is open (TTransaction).
  void BeginTransaction();
  void Commit();
  void Rollback();  // never throws: a connection that cannot roll back has lost the work anyway
  bool InTransaction() const { return inTransaction_; }

 private:
  std::string connectionString_;
  int commandTimeout_ = 30;
  TOdbcHandle env_, dbc_;
  bool connected_ = false;
  bool inTransaction_ = false;
  int openAttempts_ = 0;
  int generation_ = 0;
};

// A transaction on a connection for as long as it lives: what it did is undone
// unless Commit ran, on every path out.
class TTransaction {
 public:
  explicit TTransaction(TDatabaseConnection& connection) : connection_(connection) { connection_.BeginTransaction(); }
  ~TTransaction() {
    if (!done_) connection_.Rollback();
  }
  TTransaction(const TTransaction&) = delete;
  TTransaction& operator=(const TTransaction&) = delete;
  void Commit() {
    connection_.Commit();
    done_ = true;
  }

 private:
  TDatabaseConnection& connection_;
  bool done_ = false;
};

}  // namespace db
