// The transition effects as they stood before they were made fast: the
// reference of tests/themed/effects_match_test.cpp. Windows-free.
#pragma once
#include <vector>

#include "themed/core/te_effects.h"

namespace te_reference {

// The old grid with its cell-by-cell lines and circles.
class TRefGrid {
 public:
  TRefGrid(std::uint8_t* cells, int w, int h) : cells_(cells), W(w), H(h) {}
  void PlotCell(int x, int y, std::uint8_t value) {
    if (x >= 0 && x < W && y >= 0 && y < H) cells_[y * W + x] = value;
  }
  void MaskLine(int x0, int y0, int x1, int y1, std::uint8_t value);
  void MaskCircle(int cx, int cy, int r, std::uint8_t value);
  void Row(int y, std::uint8_t value) { MaskLine(0, y, W - 1, y, value); }

 private:
  std::uint8_t* cells_;

 public:
  const int W, H;
};

// The same names, kinds and order as te::GridEffects().
const std::vector<te::TNamedEffect>& ReferenceEffects();

}  // namespace te_reference
