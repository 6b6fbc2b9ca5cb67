// The worksheet part: its cells read in the sheet's order into the block,
// numbers parsed and told dates or currency by their style, strings checked
// against the shared string table, while the part is inflated a few chunks
// ahead on a thread of its own and a large sheet's cells are converted in
// batches on another. Internal to the reader. Windows-free.
#pragma once
#include <cstdint>
#include <vector>

#include "spreadsheet/core/cell_value.h"
#include "spreadsheet/core/number_format.h"
#include "spreadsheet/core/xlsx_reader.h"
#include "spreadsheet/core/zip_package.h"

namespace sheet::xlsx {

struct TSheetShape {
  std::uint32_t MaxRow = 0, MaxCol = 0;  // the used area's last row and column, 0 for an empty sheet
  bool InOrder = true;                   // the cells came in row and column order
};

// Reads the sheet part into block.Cells (its inline strings into
// block.Strings, after the shared strings already there). Of two errors, the
// one earlier in the sheet is thrown, whichever thread met it.
TSheetShape ReadSheetPart(TPartStream& part, TValueBlock& block, const std::vector<TFormatKind>& styles, bool date1904,
                          const TReadLimits& limits);

}  // namespace sheet::xlsx
