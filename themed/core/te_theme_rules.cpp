#include "themed/core/te_theme_rules.h"

namespace te {

int ChooseClassHook(const std::vector<const fw::TClassInfo*>& classes, const fw::TClassInfo& parent) {
  int chosen = -1;
  for (int i = int(classes.size()) - 1; i >= 0; --i) {
    if (!parent.InheritsFrom(*classes[size_t(i)])) continue;
    if (chosen < 0 || classes[size_t(i)]->InheritsFrom(*classes[size_t(chosen)])) chosen = i;
  }
  return chosen;
}

TRect BorderInnerRect(int width, int height, int borderWidth, int bevelWidth, int bevelCount, std::uint8_t sides) {
  TRect r{borderWidth, borderWidth, width - borderWidth, height - borderWidth};
  const int b = bevelWidth * bevelCount;
  if (sides & kbsLeft) r.Left += b;
  if (sides & kbsTop) r.Top += b;
  if (sides & kbsRight) r.Right -= b;
  if (sides & kbsBottom) r.Bottom -= b;
  return r;
}

}  // namespace te
