// DLLs from the system folder only. Windows looks for a DLL that is not one
// of its known DLLs in the program's own folder first, so a program started
// from a downloads folder would run any uxtheme.dll or urlmon.dll a web page
// left beside it. The program therefore restricts the process's DLL search to
// the system folder as its first step, loads what it binds at run time from
// there, and delay-loads the imports the loader would otherwise resolve before
// that first step (urlmon.dll, odbc32.dll, and comctl32.dll, whose start-up
// would otherwise bring up the user interface, and with it uxtheme.dll, before
// that step), through a hook that does the same. It needs Windows 8, or
// Windows 7 with update KB2533623 (the search flags); without them it loads by
// full path what it can.
#pragma once
#include <windows.h>

namespace fw {

// The process's later DLL searches look in the system folder only
// (SetDefaultDllDirectories; where Windows lacks it, the current folder at
// least leaves the search). Call before anything loads a DLL.
void RestrictDllSearchToSystem();

// Loads a DLL by its bare name from the system folder, never from anywhere else.
HMODULE LoadSystemLibrary(const wchar_t* name);
HMODULE LoadSystemLibrary(const char* name);

}  // namespace fw
