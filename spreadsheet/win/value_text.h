// The text of a spreadsheet value as the price table holds it: numbers in the
// general format with the regional decimal separator, currency, dates and
// booleans as the platform converts them under the user's settings, text in
// UTF-8 (whatever the workstation's code page, an Arabic key stays whole on its
// way to the database). An error value has no text and throws.
#pragma once
#include <string>

#include "framework/win/com.h"
#include "spreadsheet/core/cell_value.h"

namespace sheet {

class EValueConversion : public fw::Exception {
 public:
  using fw::Exception::Exception;
};

// A value fetched through automation.
std::string VariantText(const VARIANT& value, const std::string& decimalSeparator);

// A value of the built-in reader: the same texts as the VARIANT it stands for.
std::string CellText(const TValueBlock& block, const TValueBlock::TStored& cell, const std::string& decimalSeparator);

}  // namespace sheet
