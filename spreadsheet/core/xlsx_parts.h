// What the handlers of a workbook's parts share: the namespaces they read,
// the limits of a sheet, how its numbers are spelled, and the text of a string
// item with its runs and escapes. Internal to the reader. Windows-free.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "spreadsheet/core/xml_reader.h"

namespace sheet::xlsx {

inline constexpr std::uint32_t kMaxColumns = 16384;  // XFD
inline constexpr std::uint32_t kMaxRows = 1048576;
inline constexpr double kLastOleDate = 2958466.0;   // 10000-01-01, exclusive
inline constexpr double kFirstOleDate = -657434.0;  // 0100-01-01

// The namespaces the reader reads: SpreadsheetML's in its transitional and its
// strict spelling, the package's relationships, and the office relationships
// that r:id attributes belong to.
inline constexpr std::string_view kMainTransitional = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline constexpr std::string_view kMainStrict = "http://purl.oclc.org/ooxml/spreadsheetml/main";
inline constexpr std::string_view kPackageRelationships =
    "http://schemas.openxmlformats.org/package/2006/relationships";
inline constexpr std::string_view kOfficeRelationshipsTransitional =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline constexpr std::string_view kOfficeRelationshipsStrict =
    "http://purl.oclc.org/ooxml/officeDocument/relationships";

// A handler of a SpreadsheetML part: its elements of other namespaces are skipped.
class TSpreadsheetHandler : public TXmlHandler {
 public:
  bool Accepts(std::string_view ns) const override { return ns == kMainTransitional || ns == kMainStrict; }
};

inline bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

inline bool IsTrue(const char* v) { return v && (std::string_view(v) == "1" || std::string_view(v) == "true"); }

bool ParseUnsigned(std::string_view s, std::uint64_t& out);
// Numbers as a sheet stores them: C-locale decimal, possibly with blanks around.
bool ParseNumber(std::string_view s, double& out);

// The text of a <t> as the value it stands for: the file format escapes a
// character XML cannot carry as "_x" + four hexadecimal digits + "_" (the
// ST_Xstring type: "_x000D_" a carriage return, "_x005F_" an underscore, so
// that a text really holding "_x0041_" is stored "_x005F_x0041_"); a pair of
// escaped surrogates is one character. Decodes text from `from` on.
void DecodeEscapes(std::string& text, size_t from);

// Collects the text of an <si> or <is>: its own <t>, or the <t> of its <r> runs,
// each <t> decoded of the format's escapes; the phonetic guide (<rPh>) is not
// part of the value.
class TRichTextCollector {
 public:
  void Start(std::string_view name);
  void End(std::string_view name);
  void Text(std::string_view s) {
    if (inText_) text_ += s;
  }
  std::string Take();

 private:
  std::string text_;
  size_t textStart_ = 0;  // where the <t> being read began in text_
  bool inText_ = false;
  int phonetic_ = 0;
};

}  // namespace sheet::xlsx
