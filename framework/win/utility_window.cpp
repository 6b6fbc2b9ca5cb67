#include "framework/win/utility_window.h"

#include <utility>

#include "framework/core/exception.h"

namespace fw {

TUtilityWindow::TUtilityWindow(const TParams& params, THandler handler)
    : handler_(std::make_unique<THandler>(std::move(handler))) {
  HINSTANCE inst = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (!::GetClassInfoExW(inst, params.ClassName.c_str(), &wc)) {
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &TUtilityWindow::WindowProc;
    wc.hInstance = inst;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = params.ClassName.c_str();
    if (!::RegisterClassExW(&wc)) throw EOutOfResources("Cannot register the window class of a utility window");
  } else if (wc.lpfnWndProc != &TUtilityWindow::WindowProc) {
    throw EComponentError("The window class of a utility window belongs to someone else");
  }
  hwnd_ = ::CreateWindowExW(params.ExStyle, params.ClassName.c_str(), params.Text.c_str(), params.Style, params.X,
                            params.Y, params.Width, params.Height, nullptr, nullptr, inst, handler_.get());
  if (!hwnd_) throw EOutOfResources("Cannot create a utility window (error " + std::to_string(::GetLastError()) + ")");
}

TUtilityWindow::~TUtilityWindow() { Destroy(); }

TUtilityWindow::TUtilityWindow(TUtilityWindow&& o) noexcept
    : hwnd_(std::exchange(o.hwnd_, nullptr)), handler_(std::move(o.handler_)) {}

TUtilityWindow& TUtilityWindow::operator=(TUtilityWindow&& o) noexcept {
  if (this != &o) {
    Destroy();
    hwnd_ = std::exchange(o.hwnd_, nullptr);
    handler_ = std::move(o.handler_);
  }
  return *this;
}

void TUtilityWindow::Destroy() {
  if (HWND h = std::exchange(hwnd_, nullptr)) {
    // Detached first: the handler's owner is usually going away.
    ::SetWindowLongPtrW(h, GWLP_USERDATA, 0);
    ::DestroyWindow(h);
  }
  handler_.reset();
}

LRESULT CALLBACK TUtilityWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE)
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
  auto* handler = reinterpret_cast<THandler*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!handler || !*handler) return ::DefWindowProcW(hwnd, msg, wp, lp);
  TMessage m{msg, wp, lp, 0};
  GuardedCall([&] { (*handler)(hwnd, m); });
  return m.Result;
}

TUtilityWindow AllocateHWnd(TUtilityWindow::THandler handler) { return TUtilityWindow({}, std::move(handler)); }

}  // namespace fw
