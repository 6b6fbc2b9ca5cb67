// The controls unit's process-wide objects and its start and exit.
#include <memory>

#include "themed/win/te_controls.h"
#include "themed/win/te_theme.h"

namespace te {

namespace {

std::unique_ptr<TteBitmap> gSharedPaintBuffer;
fw::TPoint gSharedBufferLimits;

// A themed parent paints its own border and background beneath a transparent
// child: the erase message with lParam 1 (TTeControl's WM_ERASEBKGND).
bool PaintThemedParent(fw::TCanvas& canvas, const TClassHookInfo& info) {
  info.Parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Handle()), 1);
  return true;
}

}  // namespace

TteBitmap* SharedPaintBuffer() { return gSharedPaintBuffer.get(); }
fw::TPoint SharedBufferLimits() { return gSharedBufferLimits; }

void InitControlsUnit() {
  gSharedBufferLimits = {::GetSystemMetrics(SM_CXSCREEN) + 500, ::GetSystemMetrics(SM_CYSCREEN) + 500};
  gSharedPaintBuffer = std::make_unique<TteBitmap>();
  RegisterClassHook(TTeControl::StaticClassInfo(), PaintThemedParent);
}

void FinalizeControlsUnit() { gSharedPaintBuffer.reset(); }

}  // namespace te
