// libFuzzer target: the number-format codes that decide whether a cell's number
// is a date or currency, and the general format that spells numbers as text.
// The input is a format code; its first eight bytes are also a double for the
// general format. Invariants: a code's kind is the same every time it is
// asked, and a number's general text uses only the given decimal separator and
// reads back within its 15 significant digits.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "spreadsheet/core/general_number.h"
#include "spreadsheet/core/number_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view code(reinterpret_cast<const char*>(data), size);
  const sheet::TFormatKind kind = sheet::FormatCodeKind(code);
  if (sheet::FormatCodeKind(code) != kind) __builtin_trap();  // no hidden state
  if (size >= 2) (void)sheet::BuiltinFormatKind(int(data[0]) | int(data[1]) << 8);

  if (size < 8) return 0;
  double v;
  std::memcpy(&v, data, sizeof v);
  if (!std::isfinite(v)) return 0;
  for (const char* sep : {".", ","}) {
    std::string text = sheet::FormatGeneral(v, sep);
    if (text.empty() || text.find(*sep == '.' ? ',' : '.') != std::string::npos) __builtin_trap();
    for (char& c : text)
      if (c == ',') c = '.';
    // Read back wider than a double: 15 digits of the largest doubles round past their range.
    char* end = nullptr;
    const long double back = std::strtold(text.c_str(), &end);
    if (end != text.c_str() + text.size()) __builtin_trap();
    const long double error = std::fabs(back - (long double)v);
    if (error > std::fabs((long double)v) * 1e-14L + 1e-300L) __builtin_trap();
  }
  return 0;
}
