// Test helpers: workbook packages written with libzip, part by part, so a test
// can hold exactly the XML it is about.
#pragma once
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace sheet_test {

using TParts = std::vector<std::pair<std::string, std::string>>;

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline std::string MakePackage(const TParts& parts) {
  static int serial = 0;
  const auto path = std::filesystem::temp_directory_path() / ("naveko-pkg-" + std::to_string(++serial) + ".zip");
  int error = 0;
  zip_t* z = zip_open(path.string().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!z) throw std::runtime_error("zip_open failed");
  for (const auto& [name, data] : parts) {
    zip_source_t* s = zip_source_buffer(z, data.data(), data.size(), 0);
    if (!s || zip_file_add(z, name.c_str(), s, ZIP_FL_OVERWRITE) < 0) throw std::runtime_error("zip_file_add failed");
  }
  if (zip_close(z) != 0) throw std::runtime_error("zip_close failed");
  std::string bytes = ReadFile(path);
  std::filesystem::remove(path);
  return bytes;
}

inline const char* kMainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline const char* kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// A one-sheet workbook around the given sheet XML (the <sheetData> content unless whole is set).
inline TParts Workbook(const std::string& sheetData, const std::string& styles = "", const std::string& shared = "",
                       const std::string& workbookPr = "", bool whole = false) {
  const std::string rel = kRelNs;
  std::string wbRels = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                       "<Relationship Id=\"rId1\" Type=\"" + rel + "/worksheet\" Target=\"worksheets/sheet1.xml\"/>";
  if (!styles.empty()) wbRels += "<Relationship Id=\"rId2\" Type=\"" + rel + "/styles\" Target=\"styles.xml\"/>";
  if (!shared.empty())
    wbRels += "<Relationship Id=\"rId3\" Type=\"" + rel + "/sharedStrings\" Target=\"sharedStrings.xml\"/>";
  wbRels += "</Relationships>";
  TParts parts = {
      {"_rels/.rels", "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                      "<Relationship Id=\"rId1\" Type=\"" + rel + "/officeDocument\" Target=\"xl/workbook.xml\"/>"
                      "</Relationships>"},
      {"xl/workbook.xml", std::string("<workbook xmlns=\"") + kMainNs + "\" xmlns:r=\"" + rel + "\">" + workbookPr +
                              "<sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
      {"xl/_rels/workbook.xml.rels", wbRels},
      {"xl/worksheets/sheet1.xml",
       whole ? sheetData : std::string("<worksheet xmlns=\"") + kMainNs + "\"><sheetData>" + sheetData + "</sheetData></worksheet>"},
  };
  if (!styles.empty()) parts.push_back({"xl/styles.xml", styles});
  if (!shared.empty()) parts.push_back({"xl/sharedStrings.xml", shared});
  return parts;
}

}  // namespace sheet_test
