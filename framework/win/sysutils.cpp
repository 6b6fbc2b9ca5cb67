#include "framework/win/sysutils.h"

#include <windows.h>

#include "framework/core/text.h"

namespace fw {

namespace {

UINT gTextCodePage = CP_ACP;

std::wstring ToWide(UINT codePage, std::string_view s) {
  if (s.empty()) return {};
  int n = ::MultiByteToWideChar(codePage, 0, s.data(), int(s.size()), nullptr, 0);
  std::wstring out(size_t(n), L'\0');
  ::MultiByteToWideChar(codePage, 0, s.data(), int(s.size()), out.data(), n);
  return out;
}

std::string FromWide(UINT codePage, std::wstring_view s) {
  if (s.empty()) return {};
  int n = ::WideCharToMultiByte(codePage, 0, s.data(), int(s.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size_t(n), '\0');
  ::WideCharToMultiByte(codePage, 0, s.data(), int(s.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

std::wstring AnsiToWide(std::string_view s) { return ToWide(CP_ACP, s); }
std::string WideToAnsi(std::wstring_view s) { return FromWide(CP_ACP, s); }
std::string AnsiToUtf8(std::string_view s) { return WideToUtf8(AnsiToWide(s)); }

void SetTextCodePage(unsigned codePage) { gTextCodePage = codePage; }
unsigned TextCodePage() { return gTextCodePage; }
std::wstring TextToWide(std::string_view s) { return ToWide(gTextCodePage, s); }
std::string WideToText(std::wstring_view s) { return FromWide(gTextCodePage, s); }

void DebugOutput(std::string_view utf8) { ::OutputDebugStringA(WideToAnsi(Utf8ToWide(utf8)).c_str()); }

std::string LocaleDecimalSeparator() {
  wchar_t buf[8] = {};
  if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, 8) <= 1) return ".";
  return WideToUtf8(buf);
}

}  // namespace fw
