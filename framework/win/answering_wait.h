// Blocking work (a database, a download, an exchange with another program)
// done on a thread of its own while the user-interface thread keeps answering
// its windows' messages, so that Windows never takes the program for hung and
// offers to end it. Input to the window is refused meanwhile: it paints and
// answers, but takes no click or key until the work is done.
#pragma once
#include <windows.h>

#include <functional>

namespace fw {

// Runs `work` on a new thread, with the component-object services started
// there as a single-threaded apartment, and returns when it has ended. This
// thread meanwhile dispatches its messages, but for the input meant for
// `window` and its children (which keep their state, the focus and the
// activation included, for when the work has ended), and calls `tick` about
// every `tickMs` milliseconds (for progress). What `work` throws is thrown here
// once it has ended.
void RunWhileAnswering(HWND window, const std::function<void()>& work, const std::function<void()>& tick = {},
                       DWORD tickMs = 100);

}  // namespace fw
