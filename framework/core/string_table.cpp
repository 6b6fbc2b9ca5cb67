#include "framework/core/string_table.h"

namespace fw {

namespace {
const std::string kEmpty;
}

void TStringTable::SetColCount(int n) {
  cols_ = n < 1 ? 1 : n;
  for (auto& row : data_)
    if (row.size() > size_t(cols_)) row.resize(cols_);
}

void TStringTable::SetRowCount(int n) {
  rows_ = n < 1 ? 1 : n;
  if (data_.size() > size_t(rows_)) data_.resize(rows_);
}

const std::string& TStringTable::Cell(int col, int row) const {
  if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return kEmpty;
  if (size_t(row) >= data_.size()) return kEmpty;
  const auto& r = data_[row];
  return size_t(col) < r.size() ? r[col] : kEmpty;
}

void TStringTable::SetCell(int col, int row, std::string value) {
  if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return;
  if (size_t(row) >= data_.size()) {
    if (value.empty()) return;
    data_.resize(row + 1);
  }
  auto& r = data_[row];
  if (size_t(col) >= r.size()) {
    if (value.empty()) return;
    r.resize(col + 1);
  }
  r[col] = std::move(value);
}

}  // namespace fw
