// A themed control that paints its parent's background and nothing else: what
// a transparent control shows is then exactly what lies beneath it.
#pragma once
#include "themed/win/te_controls.h"
#include "themed/win/te_theme.h"

namespace tetest {

class TSeeThrough : public te::TTeControl {
 public:
  using te::TTeControl::TTeControl;
  void PaintClient() override { te::PaintParentBackground(this, Canvas().Handle()); }
};

}  // namespace tetest
