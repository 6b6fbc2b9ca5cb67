#include "spreadsheet/core/general_number.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace sheet {

std::string FormatGeneral(double value, std::string_view sep) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0) return "0";
  // 15 significant digits, rounded once by the C library.
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", value);
  std::string_view s(buf);
  const bool negative = s[0] == '-';
  if (negative) s.remove_prefix(1);
  std::string digits;
  digits += s[0];
  const size_t e = s.find('e');
  digits.append(s.substr(2, e - 2));
  const int exponent = std::atoi(buf + (negative ? 1 : 0) + e + 1);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out = negative ? "-" : "";
  if (exponent >= 15 || exponent < -5) {
    out += digits[0];
    if (digits.size() > 1) {
      out += sep;
      out.append(digits, 1);
    }
    out += 'E';
    out += std::to_string(exponent);
  } else if (exponent < 0) {
    out += '0';
    out += sep;
    out.append(size_t(-exponent - 1), '0');
    out += digits;
  } else {
    const size_t intDigits = size_t(exponent) + 1;
    if (digits.size() <= intDigits) {
      out += digits;
      out.append(intDigits - digits.size(), '0');
    } else {
      out.append(digits, 0, intDigits);
      out += sep;
      out.append(digits, intDigits);
    }
  }
  return out;
}

}  // namespace sheet
