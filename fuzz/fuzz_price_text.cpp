// libFuzzer target: the price text conversion under both decimal separators.
// Invariants: a text reads under "," exactly as the same text with its points
// and commas swapped reads under "."; and a text that converts gives the very
// double the C library's strtod gives for it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/core/price_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string s(reinterpret_cast<const char*>(data), size);
  std::string swapped = s;
  for (char& c : swapped) c = c == '.' ? ',' : c == ',' ? '.' : c;
  const auto point = naveko::ParsePrice(s, ".");
  const auto comma = naveko::ParsePrice(swapped, ",");
  if (point.has_value() != comma.has_value() || (point && *point != *comma)) __builtin_trap();
  if (point) {
    if (s.find('\0') != std::string::npos) __builtin_trap();
    char* end = nullptr;
    const double expected = std::strtod(s.c_str(), &end);
    if (expected != *point) __builtin_trap();
  }
  return 0;
}
