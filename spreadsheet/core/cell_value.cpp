#include "spreadsheet/core/cell_value.h"

#include <algorithm>
#include <utility>

namespace sheet {

TCellValue TValueBlock::ValueOf(const TStored& c) const {
  TCellValue v;
  v.Kind = c.Kind;
  if (c.Kind == TCellKind::Text || c.Kind == TCellKind::Error)
    v.Text = Strings[c.StringIndex];
  else
    v.Number = c.Number;
  return v;
}

TCellValue TValueBlock::At(int row, int col) const {
  auto it = std::lower_bound(Cells.begin(), Cells.end(), std::make_pair(row, col), [](const TStored& c, auto key) {
    return c.Row != std::uint32_t(key.first) ? c.Row < std::uint32_t(key.first) : c.Col < std::uint32_t(key.second);
  });
  if (it == Cells.end() || it->Row != std::uint32_t(row) || it->Col != std::uint32_t(col)) return {};
  return ValueOf(*it);
}

}  // namespace sheet
