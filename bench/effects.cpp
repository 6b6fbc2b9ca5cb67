// Benchmark of the transition effects: per FADE effect, one 1920 x 1080 frame
// as the engine makes it (Resolution 1, TileCount 1: a 1921 x 1081 grid, the
// effect's grid, then ComposeFadeFrame: the old picture copied, the mask as
// the new picture's alpha, key pixels cleared, the new picture blended over
// the old), at progress 25, 50 and 75, the slowest of the three, each the best
// of several passes; for the SLIDE effects the map fill alone (their
// composition is the Windows engine's). Beside them, in the same run, the
// floor: one pass that reads the old and the new picture and writes the
// target. Every effect as time, as a ratio to the floor and to the 20 ms
// tick, and the time of its first frame (which may draw the cells' order or
// cover that later frames reuse); printed, never asserted.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "themed/core/te_cpu.h"
#include "themed/core/te_effect_cache.h"
#include "themed/core/te_effects.h"
#include "themed/core/te_stretch.h"

namespace {

constexpr int kW = 1920, kH = 1080, kCols = kW + 1, kRows = kH + 1, kPasses = 11;

// The best of kPasses passes; `first` gets the first one's time.
template <class F>
double BestMs(F&& frame, double* first = nullptr) {
  double best = 1e30;
  for (int pass = 0; pass < kPasses; ++pass) {
    const auto t = std::chrono::steady_clock::now();
    frame();
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
    if (pass == 0 && first) *first = ms;
    best = std::min(best, ms);
  }
  return best;
}

}  // namespace

int main() {
  te::InitMachineFacts();
  te::SelectPixelOps(te::HasMMX());
  // The frames of a transition share a cache, as the engine hands it over.
  te::TEffectCache cache;
  te::TEffectCacheScope handed(cache);
  std::vector<te::TteColor> oldImage(size_t(kW) * kH, 0xFF2040C0), newImage(oldImage.size(), 0xFFC04020),
      work(oldImage.size());
  std::vector<std::uint8_t> mask(size_t(kCols) * kRows);
  std::vector<te::TSlideCell> map(mask.size());
  const te::TPixelGrid workGrid{work.data(), kW, kH, false}, oldGrid{oldImage.data(), kW, kH, false},
      newGrid{newImage.data(), kW, kH, false};

  // The least a two-picture frame costs here: read both pictures, write the target.
  const double floor = BestMs([&] {
    const te::TteColor* o = oldImage.data();
    const te::TteColor* n = newImage.data();
    te::TteColor* w = work.data();
    for (size_t i = 0, count = work.size(); i < count; ++i) w[i] = (o[i] & 0x00FFFFFF) | (n[i] & 0xFF000000);
  });

  // The Pixel family's cell order is drawn once per grid size, as far as a frame needs it.
  const auto cold = std::chrono::steady_clock::now();
  std::fill(mask.begin(), mask.end(), 0);
  for (const auto& e : te::GridEffects())
    if (std::string(e.Name) == "Pixel") e.Fade(mask.data(), kCols, kRows, 75);
  const double orderMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - cold).count();

  struct TResult {
    std::string name;
    double ms, first;
  };
  std::vector<TResult> results;
  for (const auto& e : te::GridEffects()) {
    double worst = 0, first = 0;
    for (int p : {25, 50, 75}) {
      worst = std::max(worst, BestMs(
                                  [&] {
                                    if (e.Kind == te::ekFade) {
                                      std::fill(mask.begin(), mask.end(), 0);
                                      e.Fade(mask.data(), kCols, kRows, std::uint8_t(p));
                                      te::ComposeFadeFrame(workGrid, oldGrid, newGrid, mask.data(), kCols, kRows, kCols,
                                                           kRows, 1);
                                    } else {
                                      std::fill(map.begin(), map.end(), te::TSlideCell{});
                                      e.Slide(map.data(), kCols, kRows, std::uint8_t(p));
                                    }
                                  },
                                  p == 25 ? &first : nullptr));
    }
    results.push_back({std::string(e.Name) + (e.Kind == te::ekSlide ? " (map only)" : ""), worst, first});
  }
  std::sort(results.begin(), results.end(), [](const TResult& a, const TResult& b) { return a.ms > b.ms; });
  const auto count = [&](double limit) {
    return int(std::count_if(results.begin(), results.end(), [&](const TResult& r) { return r.ms <= limit; }));
  };
  std::printf("Transition effects, one 1920 x 1080 frame (worst of progress 25/50/75, best of %d passes)\n", kPasses);
  std::printf("  floor (read the old and the new picture, write the target): %.2f ms, baseline\n", floor);
  std::printf("  %d of %zu effects within 5 ms (a quarter of the 20 ms tick), %d within 2.5 x the floor (%.2f ms)\n",
              count(5), results.size(), count(2.5 * floor), 2.5 * floor);
  std::printf("  the Pixel family's cell order, drawn once per grid size (to progress 75): %.1f ms\n", orderMs);
  std::printf(
      "  first frame: an effect's first, which draws its family's cover once per grid size (the two last used are "
      "kept)\n");
  std::printf("  %-28s %8s %9s %9s %12s\n", "effect", "ms", "/ floor", "/ tick", "first frame");
  for (const auto& r : results)
    std::printf("  %-28s %8.2f %9.2f %9.2f %12.2f\n", r.name.c_str(), r.ms, r.ms / floor, r.ms / 20, r.first);
  return 0;
}
