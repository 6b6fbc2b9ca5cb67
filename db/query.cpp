#include "db/query.h"

#include "db/sql_markers.h"
#include "framework/core/text.h"

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

void TDatabaseQuery::DropStaleStatement() {
  if (stmt_ && (!connection_ || connection_->Generation() != generation_)) {
    stmt_.Abandon();
    prepared_ = false;
  }
}

void TDatabaseQuery::Close() {
  DropStaleStatement();
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
  DropStaleStatement();
  if (prepared_) return;
  if (!connection_) throw EDatabaseError("The query has no connection", {});
  if (!connection_->Connected()) throw EDatabaseError("The connection is not open", {});
  TOdbcHandle stmt(SQL_HANDLE_STMT, connection_->Handle());
  if (commandTimeout_ > 0) {
    SQLRETURN rc =
        SQLSetStmtAttr(stmt.Get(), SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(commandTimeout_)), 0);
    Check(rc, stmt, "Cannot set the command time-out");
  }
  std::string text = odbcText_;
  Check(SQLPrepare(stmt.Get(), reinterpret_cast<SQLCHAR*>(text.data()), SQLINTEGER(text.size())), stmt,
        "Cannot prepare the statement");
  stmt_ = std::move(stmt);
  prepared_ = true;
  generation_ = connection_->Generation();
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
    if (std::holds_alternative<double>(v)) {
      p.SqlType = SQL_DOUBLE;
      p.ColumnSize = 15;
    } else if (std::holds_alternative<std::uint8_t>(v)) {
      p.SqlType = SQL_TINYINT;
      p.ColumnSize = 3;
    } else if (std::holds_alternative<std::string>(v)) {
      p.SqlType = SQL_VARCHAR;
      p.ColumnSize = 0;
    }
  }
  p.Value = std::move(v);
}

// Bound buffers must live until SQLExecute returns.
struct TDatabaseQuery::TBindings {
  std::vector<SQLLEN> lengths;
  std::vector<double> doubles;
  std::vector<SQLCHAR> bytes;
  std::vector<std::u16string> texts;
  std::vector<std::string> decimals;
};

namespace {

bool IsExactNumeric(SQLSMALLINT type) { return type == SQL_DECIMAL || type == SQL_NUMERIC; }

// A character column's type for text sent as UTF-16.
SQLSMALLINT WideType(SQLSMALLINT type) {
  switch (type) {
    case SQL_CHAR: return SQL_WCHAR;
    case SQL_VARCHAR:
    case SQL_UNKNOWN_TYPE: return SQL_WVARCHAR;
    case SQL_LONGVARCHAR: return SQL_WLONGVARCHAR;
    default: return type;
  }
}

}  // namespace

void TDatabaseQuery::Bind(TBindings& b) {
  SQLHSTMT h = stmt_.Get();
  SQLFreeStmt(h, SQL_RESET_PARAMS);
  b.lengths.assign(params_.size(), 0);
  b.doubles.assign(params_.size(), 0);
  b.bytes.assign(params_.size(), 0);
  b.texts.assign(params_.size(), std::u16string());
  b.decimals.assign(params_.size(), std::string());
  for (size_t i = 0; i < params_.size(); ++i) {
    TParameter& p = params_[i];
    const SQLUSMALLINT n = SQLUSMALLINT(i + 1);
    const SQLSMALLINT sqlType = p.SqlType == SQL_UNKNOWN_TYPE ? SQL_VARCHAR : SQLSMALLINT(p.SqlType);
    const SQLULEN columnSize = SQLULEN(p.ColumnSize);
    const SQLSMALLINT digits = SQLSMALLINT(p.DecimalDigits);
    SQLRETURN rc;
    if (auto* d = std::get_if<double>(&p.Value); d && IsExactNumeric(sqlType)) {
      // For a decimal column the value goes as the decimal text it stands for:
      // the binary fraction of 12.35 is 12.3499..., which a driver may cut to 12.34.
      b.decimals[i] = fw::ShortestDoubleText(*d);
      b.lengths[i] = SQLLEN(b.decimals[i].size());
      rc = SQLBindParameter(h, n, SQL_PARAM_INPUT, SQL_C_CHAR, sqlType, columnSize, digits, b.decimals[i].data(),
                            b.lengths[i], &b.lengths[i]);
    } else if (d) {
      b.doubles[i] = *d;
      rc = SQLBindParameter(h, n, SQL_PARAM_INPUT, SQL_C_DOUBLE, sqlType, columnSize ? columnSize : 15, digits,
                            &b.doubles[i], 0, &b.lengths[i]);
    } else if (auto* u = std::get_if<std::uint8_t>(&p.Value)) {
      b.bytes[i] = *u;
      rc = SQLBindParameter(h, n, SQL_PARAM_INPUT, SQL_C_UTINYINT, sqlType, columnSize ? columnSize : 3, digits,
                            &b.bytes[i], 0, &b.lengths[i]);
    } else if (auto* s = std::get_if<std::string>(&p.Value)) {
      // Text crosses as UTF-16: the driver converts it to the column's own encoding.
      b.texts[i] = fw::Utf8ToUtf16(*s);
      b.lengths[i] = SQLLEN(b.texts[i].size() * sizeof(char16_t));
      const SQLULEN size = columnSize ? columnSize : (b.texts[i].empty() ? 1 : b.texts[i].size());
      rc = SQLBindParameter(h, n, SQL_PARAM_INPUT, SQL_C_WCHAR, WideType(sqlType), size, digits, b.texts[i].data(),
                            b.lengths[i], &b.lengths[i]);
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

// One column of the current row as the driver spells it as text (through
// UTF-16, kept in UTF-8); nullopt for NULL.
std::optional<std::string> ReadText(const TOdbcHandle& stmt, SQLUSMALLINT column) {
  std::u16string text;
  char16_t chunk[256];
  for (;;) {
    SQLLEN len = 0;
    SQLRETURN rc = SQLGetData(stmt.Get(), column, SQL_C_WCHAR, chunk, sizeof chunk, &len);
    if (rc == SQL_NO_DATA) break;
    Check(rc, stmt, "Cannot read column " + std::to_string(column));
    if (len == SQL_NULL_DATA) return std::nullopt;
    // A long value comes in pieces, each but the last filling the buffer (less its terminator).
    const SQLLEN full = SQLLEN(sizeof chunk) - SQLLEN(sizeof(char16_t));
    const bool more = rc == SQL_SUCCESS_WITH_INFO && (len == SQL_NO_TOTAL || len > full);
    text.append(chunk, more ? size_t(full) / sizeof(char16_t) : size_t(len) / sizeof(char16_t));
    if (!more) break;
  }
  return fw::Utf16ToUtf8(text);
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
