// libFuzzer target: the built-in workbook reader. The input is either a whole
// package (when it starts like a zip archive; seeds: the test workbooks) or
// the XML of three parts, the sheet, the shared strings and the styles,
// separated by NUL bytes and packaged here in memory around a fixed workbook
// part, so that mutations reach the XML handlers rather than the zip layer.
#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "spreadsheet/core/xlsx_reader.h"

namespace {

const char* kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char* kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

std::string PackageInMemory(const std::vector<std::pair<std::string, std::string>>& parts) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* src = zip_source_buffer_create(nullptr, 0, 0, &error);
  std::string out;
  if (!src) return out;
  zip_source_keep(src);
  zip_t* z = zip_open_from_source(src, ZIP_TRUNCATE, &error);
  if (!z) {
    zip_source_free(src);
    return out;
  }
  for (const auto& [name, data] : parts) {
    zip_source_t* s = zip_source_buffer(z, data.data(), data.size(), 0);
    if (!s || zip_file_add(z, name.c_str(), s, 0) < 0) {
      zip_source_free(s);
      zip_discard(z);
      zip_source_free(src);
      return out;
    }
    zip_set_file_compression(z, zip_uint64_t(zip_get_num_entries(z, 0) - 1), ZIP_CM_STORE, 0);
  }
  if (zip_close(z) != 0) {
    zip_discard(z);
    zip_source_free(src);
    return out;
  }
  if (zip_source_open(src) == 0) {
    char buf[4096];
    zip_int64_t n;
    while ((n = zip_source_read(src, buf, sizeof buf)) > 0) out.append(buf, size_t(n));
    zip_source_close(src);
  }
  zip_source_free(src);
  return out;
}

void Check(const sheet::TValueBlock& b, const sheet::TReadLimits& limits) {
  if (b.R < 1 || b.N < 1 || std::uint64_t(b.R) * std::uint64_t(b.N) > limits.MaxBlockCells) __builtin_trap();
  for (size_t i = 0; i < b.Cells.size(); ++i) {
    const auto& c = b.Cells[i];
    if (c.Row < 1 || c.Col < 1 || int(c.Row) > b.R || int(c.Col) > b.N) __builtin_trap();
    if (i && !(b.Cells[i - 1].Row < c.Row || (b.Cells[i - 1].Row == c.Row && b.Cells[i - 1].Col < c.Col))) __builtin_trap();
    if ((c.Kind == sheet::TCellKind::Text || c.Kind == sheet::TCellKind::Error) && c.StringIndex >= b.Strings.size())
      __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sheet::TReadLimits limits;
  limits.MaxPartBytes = 8 << 20;
  limits.MaxStoredCells = 100000;
  limits.MaxBlockCells = 1000000;
  limits.MaxSharedStrings = 100000;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string package;
  if (input.size() >= 2 && input[0] == 'P' && input[1] == 'K') {
    package.assign(input);
  } else {
    std::vector<std::string> xml(3);
    size_t k = 0;
    for (char c : input) {
      if (c == '\0' && k < 2) ++k;
      else xml[k] += c;
    }
    const std::string rel = kRel;
    package = PackageInMemory({
        {"_rels/.rels", "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                        "<Relationship Id=\"a\" Type=\"" + rel + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
        {"xl/workbook.xml", std::string("<workbook xmlns=\"") + kMain + "\" xmlns:r=\"" + rel +
                                "\"><workbookPr date1904=\"0\"/><sheets><sheet name=\"S\" r:id=\"s\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"s\" Type=\"" + rel + "/worksheet\" Target=\"sheet.xml\"/>"
         "<Relationship Id=\"t\" Type=\"" + rel + "/sharedStrings\" Target=\"strings.xml\"/>"
         "<Relationship Id=\"u\" Type=\"" + rel + "/styles\" Target=\"styles.xml\"/></Relationships>"},
        {"xl/sheet.xml", xml[0]},
        {"xl/strings.xml", xml[1]},
        {"xl/styles.xml", xml[2]},
    });
    if (package.empty()) return 0;
  }
  try {
    Check(sheet::ReadFirstSheetFromMemory(package, limits), limits);
  } catch (const sheet::EWorkbookError&) {
  }
  return 0;
}
