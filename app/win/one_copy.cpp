#include "app/win/one_copy.h"

#include "app/program_texts.h"

namespace naveko {

TOneCopy::TOneCopy() : mutex_(::CreateMutexW(nullptr, FALSE, L"Local\\NAVEKO price update")) {
  first_ = mutex_ && ::GetLastError() != ERROR_ALREADY_EXISTS;
}

bool BringFirstCopyForward() {
  HWND window = ::FindWindowW(L"TForm1", kMainCaption);
  if (!window) return false;
  if (::IsIconic(window)) ::ShowWindow(window, SW_RESTORE);
  ::SetForegroundWindow(window);
  return true;
}

}  // namespace naveko
