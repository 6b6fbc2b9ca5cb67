// The built-in workbook reader for .xlsx packages, used where no spreadsheet
// application can be driven: it yields the first worksheet's used block with
// the value kinds the spreadsheet application would give. Windows-free.
//
// The first worksheet is the first <sheet> of the workbook part whose
// relationship is a worksheet (chart sheets are not worksheets), whatever part
// file holds it. The used area spans every cell the sheet stores, with a value
// or with formatting only; the sheet's <dimension> element is not trusted.
// Numbers become dates or currency by their cell style's number format, in the
// workbook's 1900 or 1904 date system. Formula cells give their cached values.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "spreadsheet/core/cell_value.h"
#include "spreadsheet/core/zip_package.h"

namespace sheet {

// Bounds against hostile workbooks; exceeding one is an EWorkbookError naming it.
struct TReadLimits {
  std::uint64_t MaxPartBytes = 512ull << 20;  // inflated size of any one part
  std::uint64_t MaxStoredCells = 10'000'000;  // <c> elements of the sheet
  std::uint64_t MaxBlockCells = 20'000'000;   // R x N of the used block
  std::uint64_t MaxSharedStrings = 10'000'000;
};

TValueBlock ReadFirstSheet(const TZipPackage& package, const TReadLimits& limits = {});
TValueBlock ReadFirstSheetFromFile(const std::string& path, const TReadLimits& limits = {});
TValueBlock ReadFirstSheetFromMemory(std::string_view bytes, const TReadLimits& limits = {});

// The serial of a date cell as an OLE date (days since 1899-12-30), or false
// when the serial lies outside the dates the spreadsheet shows.
bool SerialToOleDate(double serial, bool date1904, double& oleDate);

// "B12" -> column 2, row 12; false when malformed or beyond XFD1048576.
bool ParseCellReference(std::string_view ref, std::uint32_t& col, std::uint32_t& row);

}  // namespace sheet
