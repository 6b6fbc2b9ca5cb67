#include "app/journal_file.h"

#include <cstdio>
#include <cwctype>
#include <stdexcept>
#include <tuple>

#include "app/user_folder.h"
#include "framework/core/text.h"
#include "framework/win/sysutils.h"

namespace {

// The time and the same-second number a journal's name carries, if it is one.
bool JournalStamp(const std::wstring& name, std::tuple<std::wstring, unsigned>& stamp) {
  // 2026-12-10_083015.csv or 2026-12-10_083015-N.csv
  if (name.size() < 21 || name.compare(name.size() - 4, 4, L".csv") != 0) return false;
  const std::wstring base = name.substr(0, name.size() - 4);
  static const wchar_t kShape[] = L"dddd-dd-dd_dddddd";
  for (size_t i = 0; i < 17; ++i) {
    if (i >= base.size()) return false;
    if (kShape[i] == L'd' ? !std::iswdigit(base[i]) : base[i] != kShape[i]) return false;
  }
  unsigned number = 1;
  if (base.size() > 17) {
    if (base[17] != L'-' || base.size() == 18 || base.size() > 24) return false;
    number = 0;
    for (size_t i = 18; i < base.size(); ++i) {
      if (!std::iswdigit(base[i])) return false;
      number = number * 10 + unsigned(base[i] - L'0');
    }
  }
  stamp = {base.substr(0, 17), number};
  return true;
}

}  // namespace

std::wstring JournalFolder() {
  const std::wstring folder = NavekoFolder();
  return folder.empty() ? folder : folder + L"\\journal";
}

std::wstring NewestJournal() {
  const std::wstring folder = JournalFolder();
  if (folder.empty()) return {};
  WIN32_FIND_DATAW found{};
  HANDLE h = ::FindFirstFileW((folder + L"\\*.csv").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::wstring newest;
  std::tuple<std::wstring, unsigned> best;
  do {
    std::tuple<std::wstring, unsigned> stamp;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !JournalStamp(found.cFileName, stamp)) continue;
    if (newest.empty() || stamp > best) {
      best = stamp;
      newest = folder + L"\\" + found.cFileName;
    }
  } while (::FindNextFileW(h, &found));
  ::FindClose(h);
  return newest;
}

void TJournalFile::Create() {
  const std::wstring folder = JournalFolder();
  if (!MakeFolder(folder))
    throw std::runtime_error("cannot make the journal folder " + fw::WideToUtf8(folder) + ": " +
                             ErrorText(::GetLastError()));
  SYSTEMTIME t{};
  ::GetLocalTime(&t);
  wchar_t stamp[32];
  std::swprintf(stamp, 32, L"%04u-%02u-%02u_%02u%02u%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
  for (unsigned n = 1; n < 1000; ++n) {
    const std::wstring path = folder + L"\\" + stamp + (n == 1 ? L"" : L"-" + std::to_wstring(n)) + L".csv";
    // CREATE_NEW: a journal already there is never overwritten.
    file_ = fw::OwnFile(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file_) {
      path_ = path;
      return;
    }
    if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS)
      throw std::runtime_error("cannot make the journal " + fw::WideToUtf8(path) + ": " + ErrorText(::GetLastError()));
  }
  throw std::runtime_error("a thousand journals carry this second's name already");
}

void TJournalFile::Append(std::string_view bytes) {
  if (!file_) {
    Create();
    try {
      WriteAndFlush(file_.get(), bytes);
    } catch (...) {
      // The snapshot did not reach the disk and no statement has run: no record to keep.
      file_.reset();
      ::DeleteFileW(path_.c_str());
      path_.clear();
      throw;
    }
    return;
  }
  WriteAndFlush(file_.get(), bytes);
}

void TJournalFile::Replace(std::string_view bytes) {
  if (path_.empty()) throw std::runtime_error("no journal was made");
  file_.reset();  // the running form is complete on the disk; the final form takes its place
  ReplaceFile(path_, bytes);
}

std::wstring TJournalFile::Name() const {
  const size_t slash = path_.find_last_of(L'\\');
  return slash == std::wstring::npos ? path_ : path_.substr(slash + 1);
}

naveko::TTextCodec SystemCodePage() {
  naveko::TTextCodec codec;
  codec.ToUtf8 = [](std::string_view s) { return fw::WideToUtf8(fw::AnsiToWide(s)); };
  codec.FromUtf8 = [](std::string_view s) { return fw::WideToAnsi(fw::Utf8ToWide(s)); };
  return codec;
}
