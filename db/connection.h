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

  void Open();   // throws EDatabaseError; a failed open leaves the connection closed
  void Close();
  bool Connected() const { return bool(dbc_) && connected_; }
  // How many times Open reached the driver: nothing reconnects behind the caller's back.
  int OpenAttempts() const { return openAttempts_; }

  SQLHDBC Handle() const { return dbc_.Get(); }
  const TOdbcHandle& DbcHandle() const { return dbc_; }
  // Runs one statement without parameters or rows (for set-up and tests).
  void Execute(const std::string& sql);

 private:
  std::string connectionString_;
  int commandTimeout_ = 30;
  TOdbcHandle env_, dbc_;
  bool connected_ = false;
  int openAttempts_ = 0;
};

}  // namespace db
