// The values of a worksheet block as the spreadsheet gives them: each cell is
// empty, a number, currency, a date, a boolean, text or an error value.
// Windows-free.
#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "framework/core/exception.h"

namespace sheet {

enum class TCellKind : std::uint8_t { Empty, Number, Currency, Date, Boolean, Text, Error };

struct TCellValue {
  TCellKind Kind = TCellKind::Empty;
  // Number: the value. Currency: the value (fixed to 4 decimals when shown).
  // Date: days since 1899-12-30, the fraction being the time of day.
  // Boolean: 0 or 1.
  double Number = 0;
  std::string Text;  // Text: UTF-8; Error: the error's name, such as "#N/A"
};

// A read failure of the workbook itself: not a package, a damaged part, a limit exceeded.
class EWorkbookError : public fw::Exception {
 public:
  using fw::Exception::Exception;
};

// The block A1 to the last cell of the first worksheet's used area.
// R and N are the last cell's row and column (1-based); cells not stored read as empty.
class TValueBlock {
 public:
  int R = 1, N = 1;

  // Stored cells sorted by (row, column); Text and Error cells index into
  // Strings, the others hold their number. Sixteen bytes a cell, kept in
  // blocks (a deque): a large sheet's cells never move to a bigger array.
  struct TStored {
    std::uint32_t Row;  // 1-based
    std::uint16_t Col;  // 1-based, at most 16384
    TCellKind Kind;
    union {
      double Number;              // Number, Currency, Date, Boolean
      std::uint32_t StringIndex;  // Text, Error
    };
  };
  std::deque<TStored> Cells;
  std::vector<std::string> Strings;

  // The value at (row, col); a linear walk in row order through a cursor is
  // what the copy does, so At() is only for tests and odd orders.
  TCellValue At(int row, int col) const;
  TCellValue ValueOf(const TStored& c) const;
};

}  // namespace sheet
