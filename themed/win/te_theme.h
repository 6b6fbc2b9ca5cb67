// te_theme: what decides how a themed control draws.
//
// Class-hook registry and parent background: painters chosen by the class of a
// control's parent, with which a control that draws itself transparently first
// paints, into its own surface, what its parent shows beneath it
// (te_theme_classhooks.cpp).
#pragma once
#include <windows.h>

#include <vector>

#include "framework/core/persistent.h"
#include "framework/win/controls.h"
#include "framework/win/graphics.h"

namespace te {

using fw::TRect;

// ---- Class-hook registry and parent background ---------------------------------

// What a background painter is told: the control's bounds in its parent's
// client coordinates (twice), the control and its parent.
struct TClassHookInfo {
  TRect ControlRect;
  TRect ControlRect2;
  fw::TControl* Control = nullptr;
  fw::TWinControl* Parent = nullptr;
};

// Paints the parent's background for info.Control onto the canvas, whose
// coordinates are the parent's client coordinates. Nobody reads the result.
using TClassHookPainter = bool (*)(fw::TCanvas& canvas, const TClassHookInfo& info);

struct TClassHook {
  const fw::TClassInfo* Class;
  TClassHookPainter Painter;
};

// The registry in registration order; nullptr until the first registration
// and again after FreeClassHooks.
const std::vector<TClassHook>* ClassHooks();
// Appends a pair; duplicates are allowed.
void RegisterClassHook(const fw::TClassInfo& cls, TClassHookPainter painter);
// The painter for a parent: the most derived registered class the parent is
// an instance of wins, the earliest registered among equals; nullptr for none.
TClassHookPainter FindClassHook(const fw::TWinControl* parent);
void FreeClassHooks();

// Paints into dc what the control's parent shows under the control, dc's
// (0, 0) being the control's top-left corner: through the parent's registered
// painter, or else by letting the parent paint itself. Nothing for a control
// without a parent, of no width or height, or already being painted as a copy.
// dc's state (origins, clipping, selections) is as before afterwards, also when
// the painter or the parent raises.
void PaintParentBackground(fw::TControl* control, HDC dc);
void PaintParentBackgroundCanvas(fw::TControl* control, fw::TCanvas& canvas);

// ---- The unit's start and exit -----------------------------------------------------

void InitThemeUnit();
void FinalizeThemeUnit();

}  // namespace te
