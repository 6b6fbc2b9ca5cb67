// ODBC plumbing: handles owned by RAII objects, and failures raised with the
// driver's diagnostic records kept. Statements go through the undecorated
// entry points (Wine's odbc32 forwards those and the W ones, not the
// A-suffixed ones); every text that may not be ASCII (parameters, results,
// diagnostics) crosses as UTF-16 and is kept in UTF-8.
#pragma once
#ifdef _WIN32
#include <windows.h>  // Windows' ODBC headers are built on its base types
#endif
#include <sql.h>
#include <sqlext.h>

#include <string>
#include <vector>

#include "framework/core/exception.h"

namespace db {

struct TDiagRecord {
  std::string SqlState;  // five characters, "HYT00" for a time-out
  long NativeError = 0;
  std::string Message;  // UTF-8
};

// A database failure: what was being done, and every diagnostic record the driver gave.
class EDatabaseError : public fw::Exception {
 public:
  EDatabaseError(const std::string& what, std::vector<TDiagRecord> records);
  const std::vector<TDiagRecord>& Records() const { return records_; }
  // A record whose state begins with `sqlState` ("22" for any data exception).
  bool HasState(const std::string& sqlState) const;

 private:
  std::vector<TDiagRecord> records_;
};

class TOdbcHandle {
 public:
  TOdbcHandle() = default;
  TOdbcHandle(SQLSMALLINT type, SQLHANDLE parent);  // allocates; throws EDatabaseError
  ~TOdbcHandle() { Reset(); }
  TOdbcHandle(TOdbcHandle&& o) noexcept;
  TOdbcHandle& operator=(TOdbcHandle&& o) noexcept;
  TOdbcHandle(const TOdbcHandle&) = delete;
  TOdbcHandle& operator=(const TOdbcHandle&) = delete;

  SQLHANDLE Get() const { return handle_; }
  SQLSMALLINT Type() const { return type_; }
  explicit operator bool() const { return handle_ != SQL_NULL_HANDLE; }
  void Reset();
  // Forgets the handle without freeing it: its connection, gone, freed it.
  void Abandon() { handle_ = SQL_NULL_HANDLE; }

 private:
  SQLSMALLINT type_ = 0;
  SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

std::vector<TDiagRecord> ReadDiagnostics(SQLSMALLINT type, SQLHANDLE handle);

inline bool Succeeded(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

// Raises EDatabaseError for a failed call on `h`, with its diagnostics.
void Check(SQLRETURN rc, const TOdbcHandle& h, const std::string& what);

}  // namespace db
