// The progress of a long run on the program's taskbar button (ITaskbarList3):
// a bar that fills as rows are done, red where the run stopped, gone when the
// run's message is dismissed. Where the taskbar offers no such bar (before
// Windows 7, or a shell without one), nothing shows and nothing fails.
#pragma once
#include <windows.h>
#include <shobjidl.h>

#include "framework/win/com.h"

namespace fw {

class TTaskbarProgress {
 public:
  // `button` is the window the taskbar lists (the application's). The
  // taskbar's object is made here, unless one is given (tests).
  explicit TTaskbarProgress(HWND button, TComPtr<ITaskbarList3> taskbar = {});
  ~TTaskbarProgress();  // the bar goes
  TTaskbarProgress(const TTaskbarProgress&) = delete;
  TTaskbarProgress& operator=(const TTaskbarProgress&) = delete;

  void Set(unsigned long long done, unsigned long long total);
  void Stopped();  // the run stopped: the bar stays where it was, in the error state

 private:
  HWND button_;
  TComPtr<ITaskbarList3> taskbar_;
  TBPFLAG state_ = TBPF_NOPROGRESS;
};

}  // namespace fw
