#include "spreadsheet/core/zip_package.h"

#include <zip.h>

#include <cstdio>
#include <cstring>

#include "spreadsheet/core/cell_value.h"

namespace sheet {

namespace {

// What the first bytes say the file is, when it is not a zip archive.
void CheckSignature(const unsigned char* head, size_t n) {
  if (n >= 4 && head[0] == 'P' && head[1] == 'K' && (head[2] == 3 || head[2] == 5) && (head[3] == 4 || head[3] == 6))
    return;
  static const unsigned char kCompound[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  if (n >= 8 && std::memcmp(head, kCompound, 8) == 0)
    throw EWorkbookError(
        "The workbook is a compound document (an encrypted workbook or a legacy .xls file), not an .xlsx package");
  if (n == 0) throw EWorkbookError("The workbook file is empty");
  size_t i = 0;
  while (i < n && (head[i] == ' ' || head[i] == '\t' || head[i] == '\r' || head[i] == '\n' || head[i] == 0xEF ||
                   head[i] == 0xBB || head[i] == 0xBF))
    ++i;
  if (i < n && head[i] == '<')
    throw EWorkbookError("The workbook file is a text or HTML document, not an .xlsx package");
  throw EWorkbookError("The workbook file is not an .xlsx package (no zip signature)");
}

std::string PartName(std::string_view part) {
  while (!part.empty() && part.front() == '/') part.remove_prefix(1);
  return std::string(part);
}

}  // namespace

void TPartStream::Close::operator()(zip_file* f) const { zip_fclose(f); }
void TZipPackage::Discard::operator()(zip* z) const { zip_discard(z); }

TPartStream::TPartStream(zip_file* file, std::string name, std::uint64_t limit)
    : file_(file), name_(std::move(name)), limit_(limit) {}

size_t TPartStream::Read(char* buffer, size_t size) {
  const zip_int64_t n = zip_fread(file_.get(), buffer, size);
  if (n < 0) throw EWorkbookError("The workbook part " + name_ + " is damaged: " + zip_file_strerror(file_.get()));
  read_ += std::uint64_t(n);
  if (read_ > limit_)
    throw EWorkbookError("The workbook part " + name_ + " inflates to more than " + std::to_string(limit_) + " bytes");
  return size_t(n);
}

TZipPackage TZipPackage::OpenFile(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) throw EWorkbookError("The workbook " + path + " cannot be opened: " + std::strerror(errno));
  unsigned char head[16];
  const size_t n = std::fread(head, 1, sizeof head, f);
  try {
    CheckSignature(head, n);
  } catch (...) {
    std::fclose(f);
    throw;
  }
  std::rewind(f);
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_filep_create(f, 0, -1, &error);  // owns f from here on
  if (!source) {
    std::fclose(f);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    throw EWorkbookError("The workbook " + path + " cannot be read: " + text);
  }
  zip* z = zip_open_from_source(source, ZIP_RDONLY, &error);
  if (!z) {
    zip_source_free(source);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    throw EWorkbookError("The workbook " + path + " is not a readable zip archive: " + text);
  }
  zip_error_fini(&error);
  return TZipPackage(z);
}

TZipPackage TZipPackage::OpenMemory(std::string_view bytes) {
  CheckSignature(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size() < 16 ? bytes.size() : 16);
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  if (!source) {
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    throw EWorkbookError("The workbook cannot be read: " + text);
  }
  zip* z = zip_open_from_source(source, ZIP_RDONLY, &error);
  if (!z) {
    zip_source_free(source);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    throw EWorkbookError("The workbook is not a readable zip archive: " + text);
  }
  zip_error_fini(&error);
  return TZipPackage(z);
}

bool TZipPackage::Has(std::string_view part) const {
  return zip_name_locate(zip_.get(), PartName(part).c_str(), ZIP_FL_NOCASE) >= 0;
}

TPartStream TZipPackage::Open(std::string_view part, std::uint64_t limit) const {
  const std::string name = PartName(part);
  const zip_int64_t index = zip_name_locate(zip_.get(), name.c_str(), ZIP_FL_NOCASE);
  if (index < 0) throw EWorkbookError("The workbook has no part " + name);
  zip_file* f = zip_fopen_index(zip_.get(), zip_uint64_t(index), 0);
  if (!f) throw EWorkbookError("The workbook part " + name + " cannot be read: " + zip_strerror(zip_.get()));
  return TPartStream(f, name, limit);
}

}  // namespace sheet
