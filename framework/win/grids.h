// The string grid: here a data table of text cells that is never shown.
#pragma once
#include "framework/core/string_table.h"
#include "framework/win/controls.h"

namespace fw {

class TStringGrid : public TWinControl {
 public:
  explicit TStringGrid(TComponent* owner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  int ColCount() const { return table_.ColCount(); }
  void SetColCount(int n) { table_.SetColCount(n); }
  int RowCount() const { return table_.RowCount(); }
  void SetRowCount(int n) { table_.SetRowCount(n); }
  const std::string& Cell(int col, int row) const { return table_.Cell(col, row); }
  void SetCell(int col, int row, std::string v) { table_.SetCell(col, row, std::move(v)); }
  // The cells and counts themselves, for code that fills or reads the whole table.
  TStringTable& Table() { return table_; }

 private:
  TStringTable table_;
};

}  // namespace fw
