// Copying a fetched block of values into the price table, row by row. The row
// count is set after every row, as the spreadsheet import always did: it
// falls to 3 after the first row and ends at R + 2. Windows-free.
#pragma once
#include <string>

#include "framework/core/string_table.h"

namespace sheet {

// textOf(i, j) gives the text of block value [i, j] (1-based) or throws; a
// throw leaves the table filled up to that cell.
template <class TextOf>
void CopyBlock(fw::TStringTable& table, int R, int N, TextOf&& textOf) {
  int i = 1;
  do {
    for (int j = 1; j <= N; ++j) table.SetCell(j - 1, i - 1, textOf(i, j));
    ++i;
    table.SetRowCount(i + 1);
  } while (i <= R);
}

}  // namespace sheet
