#include "db/odbc.h"

#include <utility>

namespace db {

EDatabaseError::EDatabaseError(const std::string& what, std::vector<TDiagRecord> records)
    : fw::Exception([&] {
        std::string m = what;
        for (const auto& r : records) m += "\n[" + r.SqlState + "] " + r.Message;
        return m;
      }()),
      records_(std::move(records)) {}

bool EDatabaseError::HasState(const std::string& s) const {
  for (const auto& r : records_)
    if (r.SqlState == s) return true;
  return false;
}

TOdbcHandle::TOdbcHandle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
  SQLRETURN rc = SQLAllocHandle(type, parent, &handle_);
  if (!Succeeded(rc)) {
    handle_ = SQL_NULL_HANDLE;
    std::vector<TDiagRecord> diag;
    if (parent != SQL_NULL_HANDLE) diag = ReadDiagnostics(type == SQL_HANDLE_STMT ? SQL_HANDLE_DBC : SQL_HANDLE_ENV, parent);
    throw EDatabaseError("Cannot allocate an ODBC handle", std::move(diag));
  }
}

TOdbcHandle::TOdbcHandle(TOdbcHandle&& o) noexcept
    : type_(o.type_), handle_(std::exchange(o.handle_, SQLHANDLE{})) {}

TOdbcHandle& TOdbcHandle::operator=(TOdbcHandle&& o) noexcept {
  if (this != &o) {
    Reset();
    type_ = o.type_;
    handle_ = std::exchange(o.handle_, SQLHANDLE{});
  }
  return *this;
}

void TOdbcHandle::Reset() {
  if (handle_ == SQL_NULL_HANDLE) return;
  SQLFreeHandle(type_, handle_);
  handle_ = SQL_NULL_HANDLE;
}

std::vector<TDiagRecord> ReadDiagnostics(SQLSMALLINT type, SQLHANDLE handle) {
  std::vector<TDiagRecord> out;
  if (handle == SQL_NULL_HANDLE) return out;
  for (SQLSMALLINT i = 1; i <= 32; ++i) {
    SQLCHAR state[6] = {0};
    SQLINTEGER native = 0;
    SQLCHAR msg[1024] = {0};
    SQLSMALLINT len = 0;
    SQLRETURN rc = SQLGetDiagRec(type, handle, i, state, &native, msg, SQLSMALLINT(sizeof msg), &len);
    if (!Succeeded(rc)) break;
    out.push_back({reinterpret_cast<char*>(state), long(native), reinterpret_cast<char*>(msg)});
  }
  return out;
}

void Check(SQLRETURN rc, const TOdbcHandle& h, const std::string& what) {
  if (Succeeded(rc)) return;
  throw EDatabaseError(what, ReadDiagnostics(h.Type(), h.Get()));
}

}  // namespace db
