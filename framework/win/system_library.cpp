#include "framework/win/system_library.h"

#include <delayimp.h>

#include <string>

namespace fw {

namespace {

// LOAD_LIBRARY_SEARCH_SYSTEM32 is understood where AddDllDirectory exists
// (Windows 8, and Windows 7 with update KB2533623).
bool SearchFlagsSupported() {
  static const bool supported =
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "AddDllDirectory") != nullptr;
  return supported;
}

}  // namespace

void RestrictDllSearchToSystem() {
  using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
  auto set = reinterpret_cast<TSetDefaultDllDirectories>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (!set || !set(LOAD_LIBRARY_SEARCH_SYSTEM32)) ::SetDllDirectoryW(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
  // The search flags leave the manifest's side-by-side redirection (Common Controls 6) in force.
  if (SearchFlagsSupported()) return ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Without them, a full path; but comctl32.dll by name, or the manifest's version would not be the one.
  if (::lstrcmpiW(name, L"comctl32.dll") == 0) return ::LoadLibraryW(name);
  wchar_t folder[MAX_PATH];
  const UINT n = ::GetSystemDirectoryW(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  return ::LoadLibraryW((std::wstring(folder, n) + L"\\" + name).c_str());
}

HMODULE LoadSystemLibrary(const char* name) {
  std::wstring wide;
  for (const char* p = name; *p; ++p) wide += wchar_t(static_cast<unsigned char>(*p));  // DLL names are ASCII
  return LoadSystemLibrary(wide.c_str());
}

namespace {

// The delay-load helper asks this hook before it loads a delay-imported DLL.
FARPROC WINAPI DelayLoadHook(unsigned notice, PDelayLoadInfo info) {
  if (notice == dliNotePreLoadLibrary && info && info->szDll)
    return reinterpret_cast<FARPROC>(LoadSystemLibrary(info->szDll));
  return nullptr;
}

}  // namespace

}  // namespace fw

// The hook's well-known name; MSVC's header declares it const, MinGW's does not.
extern "C" {
#if defined(_MSC_VER)
const PfnDliHook __pfnDliNotifyHook2 = fw::DelayLoadHook;
#else
PfnDliHook __pfnDliNotifyHook2 = fw::DelayLoadHook;
#endif
}
