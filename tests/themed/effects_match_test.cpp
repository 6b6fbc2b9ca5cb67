// The fast effects give exactly the frames they gave before: each grid effect
// against its old routine, kept as tests/themed/reference, byte for byte, at
// several progress points and grid sizes (odd ones, tiny ones, a full-size
// one); and ComposeFadeFrame against the engine's four old steps.
#include <gtest/gtest.h>

#include <vector>

#include "tests/themed/reference/effects_reference.h"
#include "themed/core/te_cpu.h"
#include "themed/core/te_effect_cache.h"
#include "themed/core/te_effects.h"
#include "themed/core/te_stretch.h"

using namespace te;

namespace {

struct TSize {
  int W, H;
};

template <class Cell, class Proc>
std::vector<Cell> Frames(Proc proc, TSize s, int p) {
  std::vector<Cell> grid(size_t(s.W) * size_t(s.H), Cell{});
  proc(grid.data(), s.W, s.H, std::uint8_t(p));
  return grid;
}

bool SameMap(const std::vector<TSlideCell>& a, const std::vector<TSlideCell>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const TSlideCell& x, const TSlideCell& y) {
    return x.Alpha == y.Alpha && x.Spare == y.Spare && x.Col == y.Col && x.Row == y.Row;
  });
}

}  // namespace

TEST(FastEffects, EveryEffectGivesItsOldFramesByteForByte) {
  te::TEffectCache cache;  // what the frames of a transition share, as the engine hands it over
  te::TEffectCacheScope scope(cache);
  const auto& fast = GridEffects();
  const auto& old = te_reference::ReferenceEffects();
  ASSERT_EQ(fast.size(), old.size());
  const std::vector<TSize> sizes = {{1, 1},   {2, 3},    {3, 2},    {17, 9},   {9, 17},
                                    {64, 64}, {101, 37}, {37, 101}, {321, 181}};
  const std::vector<int> progress = {0, 1, 5, 13, 25, 37, 50, 63, 75, 88, 99, 100};
  for (size_t i = 0; i < fast.size(); ++i) {
    ASSERT_STREQ(fast[i].Name, old[i].Name);
    for (TSize s : sizes)
      for (int p : progress) {
        if (fast[i].Kind == ekFade) {
          ASSERT_EQ(Frames<std::uint8_t>(fast[i].Fade, s, p), Frames<std::uint8_t>(old[i].Fade, s, p))
              << fast[i].Name << " " << s.W << "x" << s.H << " at " << p;
        } else {
          ASSERT_TRUE(SameMap(Frames<TSlideCell>(fast[i].Slide, s, p), Frames<TSlideCell>(old[i].Slide, s, p)))
              << fast[i].Name << " " << s.W << "x" << s.H << " at " << p;
        }
      }
  }
}

TEST(FastEffects, AFullSizeGridAtTheBenchmarksProgress) {
  te::TEffectCache cache;  // what the frames of a transition share, as the engine hands it over
  te::TEffectCacheScope scope(cache);
  const auto& fast = GridEffects();
  const auto& old = te_reference::ReferenceEffects();
  const TSize full{1921, 1081};
  for (size_t i = 0; i < fast.size(); ++i) {
    if (fast[i].Kind != ekFade) continue;
    for (int p : {25, 50, 75, 99})
      ASSERT_EQ(Frames<std::uint8_t>(fast[i].Fade, full, p), Frames<std::uint8_t>(old[i].Fade, full, p))
          << fast[i].Name << " at " << p;
  }
}

TEST(FastEffects, ComposeFadeFrameIsTheEnginesFourSteps) {
  for (bool mmx : {false, true}) {
    SelectPixelOps(mmx);
    struct TCase {
      int W, H, Cols, Rows, Tiles, NewW, NewH;
    };
    // Resolution 1 and 3, one tile and two, a new picture of the same size, smaller and larger.
    for (const TCase c : {TCase{40, 30, 41, 31, 1, 40, 30}, TCase{61, 47, 21, 16, 1, 61, 47},
                          TCase{50, 34, 9, 6, 2, 50, 34}, TCase{33, 20, 34, 21, 1, 20, 25}}) {
      std::vector<TteColor> old(size_t(c.W) * c.H), fresh(size_t(c.NewW) * c.NewH);
      std::vector<std::uint8_t> mask(size_t(c.Cols) * c.Rows);
      std::uint32_t seed = 12345;
      auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
      for (auto& px : old) px = next();
      for (auto& px : fresh) px = next() % 7 == 0 ? (next() & 0xFF000000u) | TransparentKey : next();
      for (auto& m : mask) m = std::uint8_t(next() >> 24);
      const int res = c.W / c.Tiles / (c.Cols - 1) > 0 ? c.W / c.Tiles / (c.Cols - 1) : 1;
      const int tileW = res * c.Cols, tileH = res * c.Rows;

      // The old steps: copy, mask per tile, key clear, blend.
      std::vector<TteColor> workOld = old, newOld = fresh;
      const TPixelGrid newOldGrid{newOld.data(), c.NewW, c.NewH, false};
      for (int ty = 0; ty < c.Tiles; ++ty)
        for (int tx = 0; tx < c.Tiles; ++tx)
          ApplyMaskAlphaPixels(newOldGrid, mask.data(), c.Cols, c.Rows,
                               fw::Rect(tx * tileW, ty * tileH, tx * tileW + tileW, ty * tileH + tileH));
      PixelOps.ClearAlphaOfColor(newOld.data(), int(newOld.size()), TransparentKey);
      StretchPixels(TPixelGrid{workOld.data(), c.W, c.H, false}, fw::Rect(0, 0, c.NewW, c.NewH), newOldGrid,
                    fw::Rect(0, 0, c.NewW, c.NewH), TDrawMode::Alpha, TMapRounding::Truncate);

      std::vector<TteColor> work(old.size()), newFast = fresh;
      ComposeFadeFrame(TPixelGrid{work.data(), c.W, c.H, false}, TPixelGrid{old.data(), c.W, c.H, false},
                       TPixelGrid{newFast.data(), c.NewW, c.NewH, false}, mask.data(), c.Cols, c.Rows, tileW, tileH,
                       c.Tiles);
      EXPECT_EQ(work, workOld) << c.W << "x" << c.H << " mmx " << mmx;
      EXPECT_EQ(newFast, newOld) << "the new picture keeps its alpha as before";

      // With the old picture already in the work bitmap (an old picture drawn otherwise).
      std::vector<TteColor> inPlace = old, newAgain = fresh;
      const TPixelGrid inPlaceGrid{inPlace.data(), c.W, c.H, false};
      ComposeFadeFrame(inPlaceGrid, inPlaceGrid, TPixelGrid{newAgain.data(), c.NewW, c.NewH, false}, mask.data(),
                       c.Cols, c.Rows, tileW, tileH, c.Tiles);
      EXPECT_EQ(inPlace, workOld);
    }
  }
  SelectPixelOps(HasMMX());
}
