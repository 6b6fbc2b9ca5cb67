// The program's own folder in the user's profile, %LOCALAPPDATA%\NAVEKO, and
// the file operations its journal and log need.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace naveko {

// %LOCALAPPDATA%\NAVEKO, made when missing; empty when the profile has no such folder.
std::wstring NavekoFolder();

// Makes the folder and any missing folders above it; false when it cannot be
// (a file in its place, no rights).
bool MakeFolder(const std::wstring& path);

// The whole file; throws std::runtime_error with the reason when it cannot be read.
std::string ReadWholeFile(const std::wstring& path, size_t limit);

// Writes `bytes` to PATH.tmp, flushes it to the disk and puts it in the place
// of `path` in one step; the old file stays if any of that fails. Throws.
void ReplaceFileAtomically(const std::wstring& path, std::string_view bytes);

// Writes all of `bytes` to an open file. Throws.
void WriteAll(HANDLE file, std::string_view bytes);
// Writes all of `bytes` to an open file and flushes them to the disk. Throws.
void WriteAndFlush(HANDLE file, std::string_view bytes);

// The local time as "2026-12-10 08:30:15".
std::string LocalTimeText();

// The system's text for an error code, as "text (code)".
std::string ErrorText(DWORD code);

}  // namespace naveko
