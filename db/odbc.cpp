#include "db/odbc.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "framework/core/text.h"

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
    if (r.SqlState.compare(0, s.size(), s) == 0) return true;
  return false;
}

TOdbcHandle::TOdbcHandle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
  SQLRETURN rc = SQLAllocHandle(type, parent, &handle_);
  if (!Succeeded(rc)) {
    handle_ = SQL_NULL_HANDLE;
    std::vector<TDiagRecord> diag;
    if (parent != SQL_NULL_HANDLE)
      diag = ReadDiagnostics(type == SQL_HANDLE_STMT ? SQL_HANDLE_DBC : SQL_HANDLE_ENV, parent);
    throw EDatabaseError("Cannot allocate an ODBC handle", std::move(diag));
  }
}

TOdbcHandle::TOdbcHandle(TOdbcHandle&& o) noexcept : type_(o.type_), handle_(std::exchange(o.handle_, SQLHANDLE{})) {}

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

// Through the wide function, so that a message in any language arrives whole
// whatever the workstation's code page for non-Unicode programs; kept in UTF-8.
std::vector<TDiagRecord> ReadDiagnostics(SQLSMALLINT type, SQLHANDLE handle) {
  std::vector<TDiagRecord> out;
  if (handle == SQL_NULL_HANDLE) return out;
  for (SQLSMALLINT i = 1; i <= 32; ++i) {
    SQLWCHAR state[6] = {0};
    SQLINTEGER native = 0;
    SQLWCHAR msg[1024] = {0};
    SQLSMALLINT len = 0;
    SQLRETURN rc = SQLGetDiagRecW(type, handle, i, state, &native, msg, SQLSMALLINT(std::size(msg)), &len);
    if (!Succeeded(rc)) break;
    const auto text = [](const SQLWCHAR* w, size_t n) {
      std::u16string units(n, u'\0');
      for (size_t k = 0; k < n; ++k) units[k] = char16_t(w[k]);
      return fw::Utf16ToUtf8(units);
    };
    const size_t shown = std::min<size_t>(size_t(std::max<SQLSMALLINT>(len, 0)), std::size(msg) - 1);
    out.push_back({text(state, 5), long(native), text(msg, shown)});
  }
  return out;
}

void Check(SQLRETURN rc, const TOdbcHandle& h, const std::string& what) {
  if (Succeeded(rc)) return;
  throw EDatabaseError(what, ReadDiagnostics(h.Type(), h.Get()));
}

}  // namespace db
