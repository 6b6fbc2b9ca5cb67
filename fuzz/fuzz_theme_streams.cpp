// libFuzzer target: the theme tables' stream readers on arbitrary bytes. The
// first byte picks the table (colours, system colours, fonts, options); the rest
// is the stream. Invariants: no position past the table is ever written, and
// the only errors are the stated read and conversion errors.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "framework/core/exception.h"
#include "themed/core/te_theme_streams.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int kind = data[0] % 4;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
  constexpr int kSizes[] = {22, 26, 66, 2};
  const int tableSize = kSizes[kind];
  try {
    if (kind == 3) {
      bool flags[2] = {};
      te::ReadFlagTable(in, flags, 2);
      return 0;
    }
    te::ReadEntryTable(in, kind != 1, tableSize, [&](int i, const std::string& text) {
      if (i < 0 || i >= tableSize) __builtin_trap();
      if (kind == 2) {
        te::TFontDescriptionTarget target{[](const std::string&) {}, [](int) {}, [](fw::TColor) {},
                                          [](std::uint32_t style) {
                                            if (style > 15) __builtin_trap();
                                          }};
        te::ReadFontDescription(text, target);
      } else {
        const fw::TColor c = te::StringToColor(text);
        // What a colour reads as, it writes back as.
        if (te::StringToColor(te::ColorToString(c)) != c) __builtin_trap();
      }
    });
  } catch (const fw::EReadError&) {
  } catch (const fw::EConvertError&) {
  }
  return 0;
}
