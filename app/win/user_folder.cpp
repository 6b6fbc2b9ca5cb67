#include "app/win/user_folder.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "framework/core/text.h"
#include "framework/win/handles.h"

namespace naveko {

std::wstring NavekoFolder() {
  PWSTR base = nullptr;
  const HRESULT hr = ::SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &base);
  const std::unique_ptr<wchar_t, decltype(&::CoTaskMemFree)> owned(base, &::CoTaskMemFree);
  if (FAILED(hr) || !base) return {};
  std::wstring folder = std::wstring(base) + L"\\NAVEKO";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

bool MakeFolder(const std::wstring& path) {
  if (path.empty()) return false;
  std::error_code error;
  std::filesystem::create_directories(path, error);
  return std::filesystem::is_directory(path, error);
}

std::string ErrorText(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD n =
      ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring w = n && text ? std::wstring(text, n) : std::wstring();
  if (text) ::LocalFree(text);
  while (!w.empty() && (w.back() == L'\n' || w.back() == L'\r' || w.back() == L' ' || w.back() == L'.')) w.pop_back();
  return (w.empty() ? std::string("error") : fw::WideToUtf8(w)) + " (" + std::to_string(code) + ")";
}

std::string ReadWholeFile(const std::wstring& path, size_t limit) {
  fw::UniqueFile f = fw::OwnFile(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f) throw std::runtime_error("cannot open " + fw::WideToUtf8(path) + ": " + ErrorText(::GetLastError()));
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(f.get(), &size))
    throw std::runtime_error("cannot size the file: " + ErrorText(::GetLastError()));
  if (size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > limit)
    throw std::runtime_error("the file is larger than " + std::to_string(limit) + " bytes");
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    if (!::ReadFile(f.get(), bytes.data() + done, want, &got, nullptr))
      throw std::runtime_error("cannot read the file: " + ErrorText(::GetLastError()));
    if (got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

void WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD wrote = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 20));
    if (!::WriteFile(file, bytes.data(), want, &wrote, nullptr) || wrote == 0)
      throw std::runtime_error("cannot write: " + ErrorText(::GetLastError()));
    bytes.remove_prefix(wrote);
  }
}

void WriteAndFlush(HANDLE file, std::string_view bytes) {
  WriteAll(file, bytes);
  if (!::FlushFileBuffers(file)) throw std::runtime_error("cannot flush to the disk: " + ErrorText(::GetLastError()));
}

void ReplaceFileAtomically(const std::wstring& path, std::string_view bytes) {
  const std::wstring temp = path + L".tmp";
  {
    fw::UniqueFile f = fw::OwnFile(
        ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) throw std::runtime_error("cannot make " + fw::WideToUtf8(temp) + ": " + ErrorText(::GetLastError()));
    try {
      WriteAndFlush(f.get(), bytes);
    } catch (...) {
      f.reset();
      ::DeleteFileW(temp.c_str());
      throw;
    }
  }
  if (!::MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = ::GetLastError();
    ::DeleteFileW(temp.c_str());
    throw std::runtime_error("cannot replace " + fw::WideToUtf8(path) + ": " + ErrorText(error));
  }
}

std::string LocalTimeText() {
  SYSTEMTIME t{};
  ::GetLocalTime(&t);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                t.wSecond);
  return buf;
}

}  // namespace naveko
