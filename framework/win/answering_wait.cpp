#include "framework/win/answering_wait.h"

#include <objbase.h>

#include <exception>
#include <system_error>
#include <thread>

#include "framework/win/forms.h"
#include "framework/win/handles.h"

namespace fw {

namespace {

// The window takes no input for as long as this lives, and gets it back on every path.
class TInputRefused {
 public:
  explicit TInputRefused(HWND window) : window_(window), wasEnabled_(window && !::EnableWindow(window, FALSE)) {}
  ~TInputRefused() {
    if (wasEnabled_) ::EnableWindow(window_, TRUE);
  }
  TInputRefused(const TInputRefused&) = delete;
  TInputRefused& operator=(const TInputRefused&) = delete;

 private:
  HWND window_;
  bool wasEnabled_;
};

// This thread's messages: through the application's loop when there is one.
void DispatchPending() {
  if (Application) {
    Application->ProcessMessages();
    return;
  }
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      ::PostQuitMessage(int(msg.wParam));  // for the loop that owns it
      return;
    }
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
  TInputRefused refused(window);
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
  for (;;) {
    const DWORD woke = ::MsgWaitForMultipleObjectsEx(1, handles, tickMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    DispatchPending();
    if (tick) tick();
    if (woke == WAIT_OBJECT_0 || ::WaitForSingleObject(done.get(), 0) == WAIT_OBJECT_0) break;
  }
  worker.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace fw
