#include "themed/win/te_message_pump.h"

#include <windows.h>

#include <utility>

namespace te {

namespace {
TMessagePump& Pump() {
  static TMessagePump pump;
  return pump;
}
}  // namespace

TMessagePump SetMessagePump(TMessagePump pump) { return std::exchange(Pump(), std::move(pump)); }

void PumpMessages() {
  if (Pump()) {
    Pump()();
    return;
  }
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));  // left for the program's own loop
      return;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

}  // namespace te
