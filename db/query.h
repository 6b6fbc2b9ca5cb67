// The query component (the main window's qgeneral): one statement text with
// ":name" markers, parameters addressed by position, executed without rows.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "db/connection.h"
#include "db/param_value.h"

namespace db {

// A result row: each column's text (UTF-8), nullopt for NULL.
using TTextRow = std::vector<std::optional<std::string>>;

// A parameter of the statement, in the module's own types: the SQL type code
// the database described (or the first value gave, when it could not; 0 while
// unknown), the column's size and its decimal digits.
struct TParameter {
  std::string Name;
  TParamValue Value;
  std::int16_t SqlType = 0;
  std::uint64_t ColumnSize = 0;
  std::int16_t DecimalDigits = 0;
  bool Described = false;
};

class TDatabaseQuery : public fw::TComponent {
 public:
  explicit TDatabaseQuery(fw::TComponent* owner);
  ~TDatabaseQuery() override;
  static const fw::TClassInfo& StaticClassInfo();
  const fw::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  TDatabaseConnection* Connection() const { return connection_; }
  void SetConnection(TDatabaseConnection* c);
  int CommandTimeout() const { return commandTimeout_; }
  void SetCommandTimeout(int seconds) { commandTimeout_ = seconds; }

  const std::string& SQL() const { return sql_; }
  // Closes the query and rebuilds the parameters from the text's markers; when
  // connected, the database is asked to describe them (a failure to describe is tolerated).
  void SetSQL(const std::string& text);
  void ClearSQL() { SetSQL(std::string()); }
  const std::string& OdbcText() const { return odbcText_; }

  int ParamCount() const { return int(params_.size()); }
  const TParameter& Param(int i) const { return params_.at(size_t(i)); }
  void SetParam(int i, TParamValue v);

  // Runs the statement and returns how many records it changed (-1 when the
  // driver does not tell). Any failure is raised as EDatabaseError, an error
  // that comes after the statement's own result (a trigger's) included.
  long long ExecSQL();
  // Runs a statement that returns rows and reads them all, every column as
  // the driver spells it as text (nullopt for NULL). Failures as ExecSQL's.
  std::vector<TTextRow> OpenRows();
  void Close();

 protected:
  void Notification(fw::TComponent* c, fw::TOperation op) override;

 private:
  struct TBindings;
  void Prepare();  // throws
  void Describe();
  void Bind(TBindings& bindings);  // throws
  void Execute();                  // throws
  TDatabaseConnection* connection_ = nullptr;
  int commandTimeout_ = 30;
  std::string sql_, odbcText_;
  std::vector<TParameter> params_;
  void DropStaleStatement();  // the connection was opened again: its old statements are gone
  TOdbcHandle stmt_;
  bool prepared_ = false;
  int generation_ = 0;  // the connection's opening the statement belongs to
};

}  // namespace db
