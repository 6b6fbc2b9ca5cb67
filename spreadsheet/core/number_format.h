// Which numbers the spreadsheet hands out as dates or as currency: decided by
// the cell's number format, a built-in id or a custom format code. Windows-free.
#pragma once
#include <string_view>

namespace sheet {

enum class TFormatKind { Number, Date, Currency };

// Built-in ids: 14-22 and 45-47 dates and times, 27-36 and 50-58 the East Asian
// dates, 5-8 currency, 42 and 44 accounting with a currency symbol.
TFormatKind BuiltinFormatKind(int id);

// A custom code is a date when one of its sections uses y, m, d, h or s outside
// quotes, escapes and brackets (the elapsed-time brackets [h], [m], [s] count),
// and currency when it shows a currency symbol ($, €, £, ¥, also quoted or
// escaped, or a [$sym-locale]
// token with a symbol). Dates win over currency; "General" and "@" are numbers.
TFormatKind FormatCodeKind(std::string_view code);

}  // namespace sheet
