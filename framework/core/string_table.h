// The in-memory text table behind the main window's string grid: cells
// addressed (column, row) from 0, counts that may change at any time.
#pragma once
#include <string>
#include <vector>

namespace fw {

class TStringTable {
 public:
  TStringTable(int colCount, int rowCount) { SetColCount(colCount); SetRowCount(rowCount); }
  int ColCount() const { return cols_; }
  int RowCount() const { return rows_; }
  // A count below 1 becomes 1; cells beyond a smaller count are dropped.
  // Growing costs nothing, so a count may be changed after every row.
  void SetColCount(int n);
  void SetRowCount(int n);
  // Cells never written, or outside the counts, read as empty text.
  const std::string& Cell(int col, int row) const;
  // Writes outside the counts are ignored, as the grid's counts bound what it holds.
  void SetCell(int col, int row, std::string value);

 private:
  int cols_ = 1, rows_ = 1;
  // Only rows and columns up to the last written cell are allocated.
  std::vector<std::vector<std::string>> data_;
};

}  // namespace fw
