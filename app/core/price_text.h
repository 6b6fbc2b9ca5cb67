// The text rules of the price update: what a price cell must look like to be a
// number, and how a medicine's key is cleaned. Windows-free.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace naveko {

// Blanks around, an optional sign, digits with at most one `decimalSeparator`
// (the workstation's regional one), an optional exponent (E or e, optional
// sign, digits). Thousands separators, any other character, blanks only, and
// values beyond the double range give nullopt.
std::optional<double> ParsePrice(std::string_view text, std::string_view decimalSeparator);

// The key without its leading and trailing characters of code 0 to 32.
std::string TrimKey(std::string_view key);

}  // namespace naveko
