#include "app/win/journal_file.h"

#include <cstdio>
#include <cwctype>
#include <stdexcept>
#include <tuple>

#include "app/win/user_folder.h"
#include "framework/core/text.h"
#include "framework/win/sysutils.h"

namespace naveko {

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
  const fw::UniqueFind listing = fw::OwnFind(::FindFirstFileW((folder + L"\\*.csv").c_str(), &found));
  if (!listing) return {};
  std::wstring newest;
  std::tuple<std::wstring, unsigned> best;
  do {
    std::tuple<std::wstring, unsigned> stamp;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !JournalStamp(found.cFileName, stamp)) continue;
    if (newest.empty() || stamp > best) {
      best = stamp;
      newest = folder + L"\\" + found.cFileName;
    }
  } while (::FindNextFileW(listing.get(), &found));
  return newest;
}

namespace {

constexpr size_t kJournalLimit = 512u * 1024 * 1024;

}  // namespace

TJournalFile::~TJournalFile() {
  // A journal whose snapshot never reached the disk had no statement run on its account.
  if (!temporary_.empty()) {
    file_.reset();
    ::DeleteFileW(temporary_.c_str());
  }
}

void TJournalFile::CreateTemporary() {
  const std::wstring folder = JournalFolder();
  if (!MakeFolder(folder))
    throw std::runtime_error("cannot make the journal folder " + fw::WideToUtf8(folder) + ": " +
                             ErrorText(::GetLastError()));
  SYSTEMTIME t{};
  ::GetLocalTime(&t);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u_%02u%02u%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                t.wSecond);
  stamp_ = stamp;
  const std::wstring temporary =
      folder + L"\\" + fw::Utf8ToWide(stamp_) + L"-" + std::to_wstring(::GetCurrentProcessId()) + L".tmp";
  file_ = fw::OwnFile(::CreateFileW(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_)
    throw std::runtime_error("cannot make the journal " + fw::WideToUtf8(temporary) + ": " +
                             ErrorText(::GetLastError()));
  temporary_ = temporary;
}

// The temporary file, on the disk, under the run's name: the first free one of
// STAMP.csv, STAMP-2.csv, ... (a journal already there is never overwritten).
void TJournalFile::NameIt() {
  if (!::FlushFileBuffers(file_.get()))
    throw std::runtime_error("cannot flush to the disk: " + ErrorText(::GetLastError()));
  file_.reset();
  const std::wstring folder = JournalFolder();
  for (unsigned n = 1; n < 1000; ++n) {
    const std::wstring path =
        folder + L"\\" + fw::Utf8ToWide(stamp_) + (n == 1 ? L"" : L"-" + std::to_wstring(n)) + L".csv";
    if (::MoveFileExW(temporary_.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) {
      temporary_.clear();
      path_ = path;
      file_ = fw::OwnFile(::CreateFileW(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!file_)
        throw std::runtime_error("cannot open the journal " + fw::WideToUtf8(path_) + ": " +
                                 ErrorText(::GetLastError()));
      return;
    }
    if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS)
      throw std::runtime_error("cannot name the journal " + fw::WideToUtf8(path) + ": " + ErrorText(::GetLastError()));
  }
  throw std::runtime_error("a thousand journals carry this second's name already");
}

void TJournalFile::Append(std::string_view bytes) {
  if (!file_ && path_.empty()) CreateTemporary();
  if (!file_) throw std::runtime_error("the journal is closed");
  WriteAll(file_.get(), bytes);
}

void TJournalFile::Flush() {
  if (!file_) throw std::runtime_error("the journal is closed");
  if (path_.empty()) {
    NameIt();
    return;
  }
  if (!::FlushFileBuffers(file_.get()))
    throw std::runtime_error("cannot flush to the disk: " + ErrorText(::GetLastError()));
}

void TJournalFile::Replace(std::string_view bytes) {
  if (path_.empty()) throw std::runtime_error("no journal was made");
  file_.reset();  // the running form is complete on the disk; the final form takes its place
  ReplaceFileAtomically(path_, bytes);
}

std::string TJournalFile::Name() const {
  const size_t slash = path_.find_last_of(L'\\');
  return fw::WideToUtf8(slash == std::wstring::npos ? path_ : path_.substr(slash + 1));
}

std::string TJournalFiles::Newest() { return fw::WideToUtf8(NewestJournal()); }

std::string TJournalFiles::Read(const std::string& name) { return ReadWholeFile(fw::Utf8ToWide(name), kJournalLimit); }

std::unique_ptr<TJournalSink> TJournalFiles::Create() { return std::make_unique<TJournalFile>(); }

}  // namespace naveko
