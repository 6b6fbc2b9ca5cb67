#include "framework/win/answering_wait.h"

#include <objbase.h>

#include <exception>
#include <optional>
#include <system_error>
#include <thread>

#include "framework/win/handles.h"

namespace fw {

namespace {

bool IsInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

// This thread's messages, all but the input meant for `window` and its children:
// the window keeps painting and answering, and takes no click or key. A quit
// asked for meanwhile is kept in `quit`, for the loop that owns it.
void DispatchPending(HWND window, std::optional<int>& quit) {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quit = int(msg.wParam);
      continue;
    }
    if (window && IsInput(msg.message) && (msg.hwnd == window || ::IsChild(window, msg.hwnd))) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

}  // namespace

void RunWhileAnswering(HWND window, const std::function<void()>& work, const std::function<void()>& tick,
                       DWORD tickMs) {
  UniqueFile done(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!done) throw std::system_error(int(::GetLastError()), std::system_category(), "CreateEvent");
  std::exception_ptr failure;
  // Joined on every path out, an exception of this thread's included.
  std::jthread worker([&] {
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
    ::SetEvent(done.get());
  });
  const HANDLE handles[] = {done.get()};
  std::optional<int> quit;
  for (;;) {
    const DWORD woke = ::MsgWaitForMultipleObjectsEx(1, handles, tickMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    DispatchPending(window, quit);
    if (tick) tick();
    if (woke == WAIT_OBJECT_0 || ::WaitForSingleObject(done.get(), 0) == WAIT_OBJECT_0) break;
  }
  worker.join();
  if (quit) ::PostQuitMessage(*quit);
  if (failure) std::rethrow_exception(failure);
}

}  // namespace fw
