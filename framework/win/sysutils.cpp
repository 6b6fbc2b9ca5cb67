#include "framework/win/sysutils.h"

#include <windows.h>

namespace fw {

std::wstring AnsiToWide(std::string_view s) {
  if (s.empty()) return {};
  int n = ::MultiByteToWideChar(CP_ACP, 0, s.data(), int(s.size()), nullptr, 0);
  std::wstring out(size_t(n), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, s.data(), int(s.size()), out.data(), n);
  return out;
}

std::string WideToAnsi(std::wstring_view s) {
  if (s.empty()) return {};
  int n = ::WideCharToMultiByte(CP_ACP, 0, s.data(), int(s.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size_t(n), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, s.data(), int(s.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::string LocaleDecimalSeparator() {
  wchar_t buf[8] = {};
  if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, 8) <= 1) return ".";
  return WideToAnsi(buf);
}

}  // namespace fw
