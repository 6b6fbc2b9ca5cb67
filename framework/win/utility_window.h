// Hidden windows owned by an object rather than by a control: the
// application's window, the theme manager's listener, the transition timer,
// the hook list and the deferred-click window. Each hands its messages to one
// handler behind the framework's exception barrier, so that an error raised
// while handling a message goes to the framework's unhandled-error sink (the
// application's exception handler, once the application's scope has installed
// it) instead of unwinding through DispatchMessage. The window lives exactly as
// long as its TUtilityWindow.
#pragma once
#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "framework/core/component.h"
#include "framework/win/messages.h"

namespace fw {

// Runs `f`; any error it raises goes to the unhandled-error sink. Every window
// procedure of the framework calls its handlers through this.
template <class F>
void GuardedCall(F&& f) noexcept {
  try {
    f();
  } catch (const std::exception& e) {
    ReportUnhandledError(e);
  } catch (...) {
    ReportUnhandledError(std::runtime_error("Unknown error"));
  }
}

class TUtilityWindow {
 public:
  // The handler gets every message, creation's included, and sets its Result;
  // what it does not handle it passes on with DefaultHandling.
  using THandler = std::function<void(HWND, TMessage&)>;
  struct TParams {
    std::wstring ClassName = L"TPUtilWindow";
    std::wstring Text;
    DWORD Style = WS_POPUP;
    DWORD ExStyle = WS_EX_TOOLWINDOW;
    int X = 0, Y = 0, Width = 0, Height = 0;
  };

  TUtilityWindow() = default;
  TUtilityWindow(const TParams& params, THandler handler);
  ~TUtilityWindow();
  TUtilityWindow(TUtilityWindow&& o) noexcept;
  TUtilityWindow& operator=(TUtilityWindow&& o) noexcept;
  TUtilityWindow(const TUtilityWindow&) = delete;
  TUtilityWindow& operator=(const TUtilityWindow&) = delete;

  HWND Handle() const { return hwnd_; }
  explicit operator bool() const { return hwnd_ != nullptr; }
  // Destroys the window now; the handler hears nothing more.
  void Destroy();

  static void DefaultHandling(HWND hwnd, TMessage& m) { m.Result = ::DefWindowProcW(hwnd, m.Msg, m.WParam, m.LParam); }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND hwnd_ = nullptr;
  // Held apart so that its address, which the window keeps, survives moves.
  std::unique_ptr<THandler> handler_;
};

// A hidden, zero-sized top-level window of class "TPUtilWindow" (tool-window
// style, so never in the taskbar); it hears the broadcasts Windows sends to
// top-level windows, such as WM_SYSCOLORCHANGE and WM_THEMECHANGED.
TUtilityWindow AllocateHWnd(TUtilityWindow::THandler handler);

}  // namespace fw
