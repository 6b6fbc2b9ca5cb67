#include "db/query.h"

#include "db/sql_markers.h"

namespace db {

TDatabaseQuery::TDatabaseQuery(fw::TComponent* owner) : fw::TComponent(owner) {}

TDatabaseQuery::~TDatabaseQuery() {
  Close();
  if (connection_) connection_->RemoveFreeNotification(this);
}

const fw::TClassInfo& TDatabaseQuery::StaticClassInfo() {
  static const fw::TClassInfo info = [] {
    fw::TClassInfo i("TDatabaseQuery", &fw::TComponent::StaticClassInfo(),
                     [](fw::TComponent* o) -> fw::TComponent* { return new TDatabaseQuery(o); });
    i.Add(fw::IntProp<TDatabaseQuery, int>("CommandTimeout", &TDatabaseQuery::CommandTimeout,
                                          &TDatabaseQuery::SetCommandTimeout, 30));
    i.Add(fw::ComponentProp<TDatabaseQuery, TDatabaseConnection>("Connection", &TDatabaseQuery::Connection,
                                                                 &TDatabaseQuery::SetConnection));
    return i;
  }();
  return info;
}

void TDatabaseQuery::SetConnection(TDatabaseConnection* c) {
  if (c == connection_) return;
  Close();
  if (connection_) connection_->RemoveFreeNotification(this);
  connection_ = c;
  if (c) c->FreeNotification(this);
}

void TDatabaseQuery::Notification(fw::TComponent* c, fw::TOperation op) {
  fw::TComponent::Notification(c, op);
  if (op == fw::TOperation::opRemove && c == connection_) {
    stmt_.Reset();  // its connection is going away
    prepared_ = false;
    connection_ = nullptr;
  }
}

void TDatabaseQuery::Close() {
  if (stmt_) SQLFreeStmt(stmt_.Get(), SQL_CLOSE);
  stmt_.Reset();
  prepared_ = false;
}

void TDatabaseQuery::SetSQL(const std::string& text) {
  Close();
  sql_ = text;
  TParsedStatement parsed = ParseMarkers(text);
  odbcText_ = std::move(parsed.Text);
  params_.clear();
  for (auto& n : parsed.Names) params_.push_back(TParameter{n, {}, SQL_UNKNOWN_TYPE, 0, 0, false});
  if (!text.empty() && connection_ && connection_->Connected()) {
    try {
      Prepare();
      Describe();
    } catch (const EDatabaseError&) {
      // The database could not prepare it now; execution will say why.
      Close();
    }
  }
}

void TDatabaseQuery::Prepare() {
  if (prepared_) return;
  if (!connection_) throw EDatabaseError("The query has no connection", {});
  if (!connection_->Connected()) throw EDatabaseError("The connection is not open", {});
  TOdbcHandle stmt(SQL_HANDLE_STMT, connection_->Handle());
  if (commandTimeout_ > 0) {
    SQLRETURN rc = SQLSetStmtAttr(stmt.Get(), SQL_ATTR_QUERY_TIMEOUT,
                                  reinterpret_cast<SQLPOINTER>(SQLULEN(commandTimeout_)), 0);
    Check(rc, stmt, "Cannot set the command time-out");
  }
  std::string text = odbcText_;
  Check(SQLPrepare(stmt.Get(), reinterpret_cast<SQLCHAR*>(text.data()), SQLINTEGER(text.size())), stmt,
        "Cannot prepare the statement");
  stmt_ = std::move(stmt);
  prepared_ = true;
}

void TDatabaseQuery::Describe() {
  SQLSMALLINT n = 0;
  if (!Succeeded(SQLNumParams(stmt_.Get(), &n)) || n != SQLSMALLINT(params_.size())) return;
  for (SQLUSMALLINT i = 0; i < SQLUSMALLINT(n); ++i) {
    SQLSMALLINT type = 0, digits = 0, nullable = 0;
    SQLULEN size = 0;
    if (!Succeeded(SQLDescribeParam(stmt_.Get(), SQLUSMALLINT(i + 1), &type, &size, &digits, &nullable))) continue;
    auto& p = params_[i];
    p.SqlType = type;
    p.ColumnSize = size;
    p.DecimalDigits = digits;
    p.Described = true;
  }
}

void TDatabaseQuery::SetParam(int i, TParamValue v) {
  TParameter& p = params_.at(size_t(i));
  // Without a description, the first value gives the parameter its type for good.
  if (p.SqlType == SQL_UNKNOWN_TYPE) {
    if (std::holds_alternative<double>(v)) { p.SqlType = SQL_DOUBLE; p.ColumnSize = 15; }
    else if (std::holds_alternative<std::uint8_t>(v)) { p.SqlType = SQL_TINYINT; p.ColumnSize = 3; }
    else if (std::holds_alternative<std::string>(v)) { p.SqlType = SQL_VARCHAR; p.ColumnSize = 0; }
  }
  p.Value = std::move(v);
}

// Bound buffers must live until SQLExecute returns.
struct TDatabaseQuery::TBindings {
  std::vector<SQLLEN> lengths;
  std::vector<double> doubles;
  std::vector<SQLCHAR> bytes;
};

void TDatabaseQuery::Bind(TBindings& b) {
  SQLHSTMT h = stmt_.Get();
  SQLFreeStmt(h, SQL_RESET_PARAMS);
  b.lengths.assign(params_.size(), 0);
  b.doubles.assign(params_.size(), 0);
  b.bytes.assign(params_.size(), 0);
  for (size_t i = 0; i < params_.size(); ++i) {
    TParameter& p = params_[i];
    const SQLUSMALLINT n = SQLUSMALLINT(i + 1);
    SQLSMALLINT sqlType = p.SqlType == SQL_UNKNOWN_TYPE ? SQL_VARCHAR : p.SqlType;
    SQLRETURN rc;
    if (auto* d = std::get_if<double>(&p.Value)) {
      b.doubles[i] = *d;
      rc = SQLBindParameter(h, n, SQL_PARAM_INPUT, SQL_C_DOUBLE, sqlType, p.ColumnSize ? p.ColumnSize : 15,
                            p.DecimalDigits, &b.doubles[i], 0, &b.lengths[i]);
    } else if (auto* u = std::get_if<std::uint8_t>(&p.Value)) {
      b.bytes[i] = *u;
      rc = SQLBindParameter(h, n, SQL_PARAM_INPUT, SQL_C_UTINYINT, sqlType, p.ColumnSize ? p.ColumnSize : 3,
                            p.DecimalDigits, &b.bytes[i], 0, &b.lengths[i]);
    } else if (auto* s = std::get_if<std::string>(&p.Value)) {
      b.lengths[i] = SQLLEN(s->size());
      const SQLULEN size = p.ColumnSize ? p.ColumnSize : (s->empty() ? 1 : s->size());
      rc = SQLBindParameter(h, n, SQL_PARAM_INPUT, SQL_C_CHAR, sqlType, size, p.DecimalDigits,
                            const_cast<char*>(s->data()), SQLLEN(s->size()), &b.lengths[i]);
    } else {
      b.lengths[i] = SQL_NULL_DATA;
      rc = SQLBindParameter(h, n, SQL_PARAM_INPUT, SQL_C_CHAR, sqlType, 1, 0, nullptr, 0, &b.lengths[i]);
    }
    Check(rc, stmt_, "Cannot bind parameter " + p.Name);
  }
}

void TDatabaseQuery::Execute() {
  SQLHSTMT h = stmt_.Get();
  SQLRETURN rc = SQLExecute(h);
  if (rc != SQL_NO_DATA && !Succeeded(rc)) {
    EDatabaseError e("Statement failed", ReadDiagnostics(SQL_HANDLE_STMT, h));
    SQLFreeStmt(h, SQL_CLOSE);
    throw e;
  }
}

long long TDatabaseQuery::ExecSQL() {
  Prepare();
  TBindings bindings;
  Bind(bindings);
  Execute();
  SQLHSTMT h = stmt_.Get();
  SQLLEN changed = -1;
  if (!Succeeded(SQLRowCount(h, &changed))) changed = -1;
  // Later results carry what ran after the statement itself (a trigger's own
  // statements): an error among them fails the statement.
  for (;;) {
    const SQLRETURN rc = SQLMoreResults(h);
    if (rc == SQL_NO_DATA || rc == SQL_INVALID_HANDLE) break;
    if (!Succeeded(rc)) {
      EDatabaseError e("Statement failed after its first result", ReadDiagnostics(SQL_HANDLE_STMT, h));
      SQLFreeStmt(h, SQL_CLOSE);
      throw e;
    }
  }
  SQLFreeStmt(h, SQL_CLOSE);
  return changed;
}

namespace {

// One column of the current row as the driver spells it as text; nullopt for NULL.
std::optional<std::string> ReadText(const TOdbcHandle& stmt, SQLUSMALLINT column) {
  std::string text;
  char chunk[256];
  for (;;) {
    SQLLEN len = 0;
    SQLRETURN rc = SQLGetData(stmt.Get(), column, SQL_C_CHAR, chunk, sizeof chunk, &len);
    if (rc == SQL_NO_DATA) break;
    Check(rc, stmt, "Cannot read column " + std::to_string(column));
    if (len == SQL_NULL_DATA) return std::nullopt;
    // A long value comes in pieces, each but the last filling the buffer (less its terminator).
    const bool more = rc == SQL_SUCCESS_WITH_INFO && (len == SQL_NO_TOTAL || len >= SQLLEN(sizeof chunk));
    text.append(chunk, more ? sizeof chunk - 1 : size_t(len));
    if (!more) break;
  }
  return text;
}

}  // namespace

std::vector<TTextRow> TDatabaseQuery::OpenRows() {
  Prepare();
  TBindings bindings;
  Bind(bindings);
  Execute();
  SQLHSTMT h = stmt_.Get();
  std::vector<TTextRow> rows;
  try {
    SQLSMALLINT columns = 0;
    Check(SQLNumResultCols(h, &columns), stmt_, "Cannot count the result's columns");
    for (;;) {
      SQLRETURN rc = SQLFetch(h);
      if (rc == SQL_NO_DATA) break;
      Check(rc, stmt_, "Cannot fetch a row");
      TTextRow row;
      for (SQLUSMALLINT c = 1; c <= SQLUSMALLINT(columns); ++c) row.push_back(ReadText(stmt_, c));
      rows.push_back(std::move(row));
    }
  } catch (...) {
    SQLFreeStmt(h, SQL_CLOSE);
    throw;
  }
  SQLFreeStmt(h, SQL_CLOSE);
  return rows;
}

}  // namespace db
