// The library's one way of letting the program's messages run while it waits
// (a transition run to its end, a menu item clicked once its menu has closed).
// The program hands its own pump at start-up (TThemedLibraryScope), so the
// library never calls up to the application object; without one, the library
// dispatches the thread's waiting messages itself.
#pragma once
#include <functional>

namespace te {

using TMessagePump = std::function<void()>;

// Returns the pump it replaces (empty when none was handed).
TMessagePump SetMessagePump(TMessagePump pump);
void PumpMessages();

}  // namespace te
