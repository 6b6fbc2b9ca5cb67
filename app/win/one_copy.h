// One copy of the program at a time in a user's session: an update, and the
// way back, each take a named mutex in the session's namespace. A second
// start while one runs touches neither the database nor the price list: it
// brings the first copy's window to the front and ends, and /undo refuses.
#pragma once
#include "framework/win/handles.h"

namespace naveko {

class TOneCopy {
 public:
  TOneCopy();  // takes the mutex, or learns that another copy holds it
  bool First() const { return first_; }

 private:
  fw::UniqueFile mutex_;  // held until the process ends, however it ends
  bool first_ = true;
};

// Brings the running copy's main window (its class and caption) to the
// front, restored when it was minimised; false when no such window is there.
bool BringFirstCopyForward();

}  // namespace naveko
