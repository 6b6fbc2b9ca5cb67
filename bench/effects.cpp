// Benchmark of the transition effects: per FADE effect, the time to compute
// its grid and compose one frame of a 1920 x 1080 image (Resolution 1,
// TileCount 1: a 1921 x 1081 grid; mask applied as the new image's alpha, key
// pixels cleared, the new image blended over a copy of the old), at progress
// 25, 50 and 75, the slowest of the three; for the SLIDE effects the map fill
// alone (their composition is the Windows engine's). Against the 20 ms tick;
// printed, never asserted.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "themed/core/te_cpu.h"
#include "themed/core/te_effects.h"
#include "themed/core/te_stretch.h"

int main() {
  te::InitMachineFacts();
  te::SelectPixelOps(te::HasMMX());
  constexpr int kW = 1920, kH = 1080, kCols = kW + 1, kRows = kH + 1;
  std::vector<te::TteColor> oldImage(size_t(kW) * kH, 0xFF2040C0), newImage(oldImage.size(), 0xFFC04020),
      work(oldImage.size());
  std::vector<std::uint8_t> mask(size_t(kCols) * kRows);
  std::vector<te::TSlideCell> map(mask.size());
  struct TResult {
    std::string name;
    double ms;
  };
  std::vector<TResult> results;
  for (const auto& e : te::GridEffects()) {
    double worst = 0;
    for (int p : {25, 50, 75}) {
      double best = 1e30;
      for (int pass = 0; pass < 3; ++pass) {
        const auto t = std::chrono::steady_clock::now();
        if (e.Kind == te::ekFade) {
          std::fill(mask.begin(), mask.end(), 0);
          e.Fade(mask.data(), kCols, kRows, std::uint8_t(p));
          te::ApplyMaskAlphaPixels(te::TPixelGrid{newImage.data(), kW, kH, false}, mask.data(), kCols, kRows,
                                   fw::Rect(0, 0, kCols, kRows));
          te::PixelOps.ClearAlphaOfColor(newImage.data(), kW * kH, te::TransparentKey);
          te::PixelOps.CopyRow(oldImage.data(), work.data(), kW * kH);
          te::PixelOps.BlendRow(newImage.data(), work.data(), kW * kH);
          te::EndMMX();
        } else {
          std::fill(map.begin(), map.end(), te::TSlideCell{});
          e.Slide(map.data(), kCols, kRows, std::uint8_t(p));
        }
        best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count());
      }
      worst = std::max(worst, best);
    }
    results.push_back({std::string(e.Name) + (e.Kind == te::ekSlide ? " (map only)" : ""), worst});
  }
  std::sort(results.begin(), results.end(), [](const TResult& a, const TResult& b) { return a.ms > b.ms; });
  const int under5 = int(std::count_if(results.begin(), results.end(), [](const TResult& r) { return r.ms < 5; }));
  std::printf("Transition effects, one 1920 x 1080 frame (worst of progress 25/50/75, best of 3 passes)\n");
  std::printf("  %d of %zu grid effects under 5 ms; the 20 ms tick is the budget\n", under5, results.size());
  std::printf("  slowest five:\n");
  for (size_t i = 0; i < 5 && i < results.size(); ++i)
    std::printf("    %-28s %8.2f ms  (%.2f of the tick)\n", results[i].name.c_str(), results[i].ms, results[i].ms / 20);
  std::printf("  all:\n");
  for (const auto& r : results) std::printf("    %-28s %8.2f ms\n", r.name.c_str(), r.ms);
  return 0;
}
