// Symbolic names of colours and character sets in layout streams.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace fw {

std::optional<std::string> ColorToIdent(std::int64_t color);
std::optional<std::int64_t> IdentToColor(const std::string& name);
// The same names in any mix of upper and lower case.
std::optional<std::int64_t> IdentToColorIgnoringCase(const std::string& name);
std::optional<std::string> CharsetToIdent(std::int64_t charset);
std::optional<std::int64_t> IdentToCharset(const std::string& name);

}  // namespace fw
