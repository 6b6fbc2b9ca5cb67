// UTF-8 / UTF-16 conversions for text that stays inside the program (sources,
// the stored layout). Conversions to the system code page live with the Windows layer.
#pragma once
#include <string>
#include <string_view>

namespace fw {

std::wstring Utf8ToWide(std::string_view s);  // invalid sequences become U+FFFD
std::string WideToUtf8(std::wstring_view s);
// The same for 16-bit units whatever wchar_t is (ODBC's SQLWCHAR).
std::u16string Utf8ToUtf16(std::string_view s);
std::string Utf16ToUtf8(std::u16string_view s);

// A double as the shortest decimal text that reads back as the same double
// ("12.35", "1e+20"): how a price is sent to a decimal column and journaled.
std::string ShortestDoubleText(double d);

// Equal but for the case of ASCII letters (names of components, colours, styles).
bool SameText(std::string_view a, std::string_view b);

}  // namespace fw
