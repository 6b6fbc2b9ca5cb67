// A number's text in the general format: up to 15 significant digits, the
// given decimal separator, no thousands separators, trailing zeros dropped.
// Fixed notation while the integer part has at most 15 digits and the value is
// at least 0.00001 in size; otherwise d.dddE[-]x. Windows-free.
#pragma once
#include <string>
#include <string_view>

namespace sheet {

std::string FormatGeneral(double value, std::string_view decimalSeparator);

}  // namespace sheet
