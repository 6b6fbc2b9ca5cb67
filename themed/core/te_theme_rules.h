// The theme layer's and the themed controls' rules that need no Windows:
// which class hook serves a parent, the border arithmetic of the control base.
// Tested natively and under Wine.
#pragma once
#include <cstdint>
#include <vector>

#include "framework/core/persistent.h"
#include "framework/core/types.h"

namespace te {

using fw::TRect;

// Of hooks registered for `classes` (in registration order), the one for a
// parent of class `parent`: scanning from the last registered to the first,
// the first that fits (the parent's class or an ancestor of it) is chosen, and
// a later-met fitting one replaces it when its class is the chosen one or
// derives from it. So the most derived class wins, and of two hooks for the
// same class the earlier registered. -1 when none fits.
int ChooseClassHook(const std::vector<const fw::TClassInfo*>& classes, const fw::TClassInfo& parent);

// The sides of a bevelled border, as bits of a set.
enum TTeBevelSide : std::uint8_t { kbsLeft = 1, kbsTop = 2, kbsRight = 4, kbsBottom = 8 };
constexpr std::uint8_t kAllBevelSides = kbsLeft | kbsTop | kbsRight | kbsBottom;

// (0, 0, width, height) less the plain margin on every side and, on each side
// of `sides`, bevelWidth for each of the bevelCount (0, 1 or 2) bevels drawn.
TRect BorderInnerRect(int width, int height, int borderWidth, int bevelWidth, int bevelCount, std::uint8_t sides);

}  // namespace te
