// What the framework's control files share and nobody else uses: the control
// the mouse is over, and which messages are mouse messages.
#pragma once
#include <windows.h>

namespace fw {

class TControl;

namespace internal {

// The control the mouse is over, as the framework last saw it: the one that
// received CM_MOUSEENTER and will receive CM_MOUSELEAVE.
TControl* MouseControl();
// Moves the mouse to c: the old control gets CM_MOUSELEAVE, c CM_MOUSEENTER.
void SetMouseControl(TControl* c);
// Forgets c without a message, as it goes away.
void ForgetMouseControl(const TControl* c);

inline bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL; }

}  // namespace internal
}  // namespace fw
