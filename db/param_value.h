// What a statement parameter can carry, kept apart from ODBC's headers so that
// the program's rules can name it without them.
#pragma once
#include <cstdint>
#include <string>
#include <variant>

namespace db {

// Nothing (NULL), a double, a one-byte unsigned integer, or text (UTF-8).
using TParamValue = std::variant<std::monostate, double, std::uint8_t, std::string>;

}  // namespace db
