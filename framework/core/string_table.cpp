#include "framework/core/string_table.h"

namespace fw {

namespace {
const std::string kEmpty;
}

void TStringTable::SetColCount(int n) {
  cols_ = n < 1 ? 1 : n;
  Prune();
}

void TStringTable::SetRowCount(int n) {
  rows_ = n < 1 ? 1 : n;
  Prune();
}

void TStringTable::Prune() {
  for (auto it = cells_.begin(); it != cells_.end();) {
    int col = int(it->first >> 32), row = int(it->first & 0xFFFFFFFFu);
    if (col >= cols_ || row >= rows_) it = cells_.erase(it);
    else ++it;
  }
}

const std::string& TStringTable::Cell(int col, int row) const {
  if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return kEmpty;
  auto it = cells_.find(Key(col, row));
  return it == cells_.end() ? kEmpty : it->second;
}

void TStringTable::SetCell(int col, int row, std::string value) {
  if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return;
  if (value.empty()) cells_.erase(Key(col, row));
  else cells_[Key(col, row)] = std::move(value);
}

}  // namespace fw
