// Conversions between the system ANSI code page and UTF-16, where the
// platform's 8-bit text meets the wide window functions; regional settings.
#pragma once
#include <string>
#include <string_view>

namespace fw {

std::wstring AnsiToWide(std::string_view s);  // MultiByteToWideChar(CP_ACP)
std::string WideToAnsi(std::wstring_view s);  // WideCharToMultiByte(CP_ACP); unmappable characters become '?'
std::string AnsiToUtf8(std::string_view s);  // a text of the ANSI functions (a path) for the program's UTF-8

// The code page of the controls' 8-bit texts (captions): the system's ANSI
// code page unless the program names the one its own texts are written in.
// A program whose captions are Arabic in code page 1256 names 1256, and they
// then read Arabic on a workstation whose code page for non-Unicode programs
// is another (1252 and others).
void SetTextCodePage(unsigned codePage);
unsigned TextCodePage();
std::wstring TextToWide(std::string_view s);  // from the controls' code page
std::string WideToText(std::wstring_view s);  // to it; unmappable characters become '?'

// A line for the debugger (under Wine: WINEDEBUG=+debugstr) from UTF-8 text,
// through the ANSI function that every debugger and Wine's channel hear.
void DebugOutput(std::string_view utf8);

// The user's regional decimal separator, in UTF-8 ("." when the setting cannot be read).
std::string LocaleDecimalSeparator();

}  // namespace fw
