/* A DLL of the test's own making, built as uxtheme.dll, msimg32.dll,
   urlmon.dll and odbc32.dll and planted beside the program: loaded, it writes
   NAME.dll.loaded beside itself, proof that the program ran code from its own
   folder. It exports nothing. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    wchar_t path[MAX_PATH + 16];
    DWORD n = GetModuleFileNameW(self, path, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
      lstrcatW(path, L".loaded");
      HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
      if (f != INVALID_HANDLE_VALUE) {
        DWORD wrote = 0;
        WriteFile(f, "planted code ran\r\n", 18, &wrote, NULL);
        CloseHandle(f);
      }
    }
  }
  return TRUE;
}
