#include "spreadsheet/core/number_format.h"

#include <cctype>

namespace sheet {

TFormatKind BuiltinFormatKind(int id) {
  if ((id >= 14 && id <= 22) || (id >= 45 && id <= 47) || (id >= 27 && id <= 36) || (id >= 50 && id <= 58))
    return TFormatKind::Date;
  if ((id >= 5 && id <= 8) || id == 42 || id == 44) return TFormatKind::Currency;
  return TFormatKind::Number;
}

namespace {

// The length of the currency symbol ($, €, £, ¥ in UTF-8) at s[i], or 0.
size_t CurrencySymbolAt(std::string_view s, size_t i) {
  const unsigned char c = s[i];
  if (c == '$') return 1;
  if (c == 0xE2 && i + 2 < s.size() && (unsigned char)s[i + 1] == 0x82 && (unsigned char)s[i + 2] == 0xAC) return 3;
  if (c == 0xC2 && i + 1 < s.size() && ((unsigned char)s[i + 1] == 0xA3 || (unsigned char)s[i + 1] == 0xA5)) return 2;
  return 0;
}

}  // namespace

TFormatKind FormatCodeKind(std::string_view code) {
  bool date = false, currency = false;
  for (size_t i = 0; i < code.size(); ++i) {
    const unsigned char c = code[i];
    if (c == '"') {  // quoted literal: only a currency symbol in it matters ("$"#,##0.00)
      size_t end = code.find('"', i + 1);
      if (end == std::string_view::npos) break;
      for (size_t k = i + 1; k < end; ++k)
        if (CurrencySymbolAt(code, k)) currency = true;
      i = end;
    } else if (c == '\\') {  // escaped character
      if (i + 1 < code.size() && CurrencySymbolAt(code, i + 1)) currency = true;
      ++i;
    } else if (c == '_' || c == '*') {  // padding and fill take the next character
      ++i;
    } else if (c == '[') {
      size_t end = code.find(']', i + 1);
      if (end == std::string_view::npos) break;
      std::string_view inner = code.substr(i + 1, end - i - 1);
      if (inner.size() >= 2 && inner[0] == '$') {
        // [$sym-locale]: a currency symbol when sym is not empty.
        size_t dash = inner.find('-');
        if (dash == std::string_view::npos ? inner.size() > 1 : dash > 1) currency = true;
      } else if (!inner.empty()) {
        const char e = char(std::tolower((unsigned char)inner[0]));
        bool elapsed = e == 'h' || e == 'm' || e == 's';
        for (char k : inner) elapsed = elapsed && char(std::tolower((unsigned char)k)) == e;
        if (elapsed) date = true;
      }
      i = end;
    } else if (size_t n = CurrencySymbolAt(code, i)) {
      currency = true;
      i += n - 1;
    } else {
      const char l = char(std::tolower(c));
      // "General" and the exponent's E hold none of these letters.
      if (l == 'y' || l == 'm' || l == 'd' || l == 'h' || l == 's') date = true;
    }
  }
  if (date) return TFormatKind::Date;
  if (currency) return TFormatKind::Currency;
  return TFormatKind::Number;
}

}  // namespace sheet
