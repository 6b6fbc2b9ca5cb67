// A workbook package: the zip archive of an .xlsx file, read through libzip.
// Parts are read as streams whose inflated size is counted against a limit,
// since a hostile archive may declare any size it likes. Windows-free.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct zip;
struct zip_file;

namespace sheet {

class TPartStream {
 public:
  TPartStream(zip_file* file, std::string name, std::uint64_t limit);
  // Up to size bytes into buffer; 0 at the end. Throws EWorkbookError on damaged
  // data or when the part inflates beyond its limit.
  size_t Read(char* buffer, size_t size);
  const std::string& Name() const { return name_; }

 private:
  struct Close {
    void operator()(zip_file* f) const;
  };
  std::unique_ptr<zip_file, Close> file_;
  std::string name_;
  std::uint64_t limit_, read_ = 0;
};

class TZipPackage {
 public:
  // The path is in the platform's narrow encoding (the ANSI code page on Windows). Both throw EWorkbookError with what
  // the file is instead when it is not a zip archive (a compound document such as an encrypted workbook or a legacy
  // .xls, an HTML page, a damaged archive).
  static TZipPackage OpenFile(const std::string& path);
  // The bytes must outlive the package.
  static TZipPackage OpenMemory(std::string_view bytes);

  // Part names as in the package ("xl/workbook.xml"), matched without regard to letter case.
  bool Has(std::string_view part) const;
  TPartStream Open(std::string_view part, std::uint64_t limit) const;

 private:
  struct Discard {
    void operator()(zip* z) const;
  };
  explicit TZipPackage(zip* z) : zip_(z) {}
  std::unique_ptr<zip, Discard> zip_;
};

}  // namespace sheet
