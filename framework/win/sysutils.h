// Conversions between the system ANSI code page and UTF-16, where the
// platform's 8-bit text meets the wide window functions.
#pragma once
#include <string>
#include <string_view>

namespace fw {

std::wstring AnsiToWide(std::string_view s);   // MultiByteToWideChar(CP_ACP)
std::string WideToAnsi(std::wstring_view s);   // WideCharToMultiByte(CP_ACP); unmappable characters become '?'

}  // namespace fw
