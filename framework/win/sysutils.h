// Conversions between the system ANSI code page and UTF-16, where the
// platform's 8-bit text meets the wide window functions; regional settings.
#pragma once
#include <string>
#include <string_view>

namespace fw {

std::wstring AnsiToWide(std::string_view s);   // MultiByteToWideChar(CP_ACP)
std::string WideToAnsi(std::wstring_view s);   // WideCharToMultiByte(CP_ACP); unmappable characters become '?'

// The user's regional decimal separator, in the ANSI code page ("." when the setting cannot be read).
std::string LocaleDecimalSeparator();

}  // namespace fw
