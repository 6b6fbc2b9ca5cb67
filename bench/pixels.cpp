// Benchmark of the themed library's pixel routines, side by side in one run:
// CopyRow against memcpy; BlendRow (plain and MMX, each pixel by pixel and
// with its SSE2 and its AVX2 row, and the one in use) against pixman's OVER
// composite of the same buffers, with the rows built on it (the blend onto a
// row elsewhere, the transition frame's mask-and-blend) against the same
// composite of a target filled first; a bitmap-to-bitmap 2x stretch. Megapixels per
// second, best of several passes; printed, never asserted.
#include <pixman.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "themed/core/te_cpu.h"
#include "themed/core/te_pixels.h"
#include "themed/core/te_stretch.h"

namespace {

constexpr int kWidth = 1024, kHeight = 1024, kPasses = 20;

double BestMpps(const std::function<void()>& pass) {
  double best = 1e30;
  for (int k = 0; k < kPasses; ++k) {
    const auto t = std::chrono::steady_clock::now();
    pass();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count());
  }
  return double(kWidth) * kHeight / best / 1e6;
}

}  // namespace

int main() {
  te::InitMachineFacts();
  std::vector<te::TteColor> src(size_t(kWidth) * kHeight), dst(src.size());
  for (size_t i = 0; i < src.size(); ++i) {
    src[i] = te::TteColor((i * 2654435761u) ^ (i << 7));  // every alpha occurs
    dst[i] = te::TteColor(i * 40503u) | 0xFF000000u;
  }
  const auto reset = [&] {
    for (size_t i = 0; i < dst.size(); ++i) dst[i] = te::TteColor(i * 40503u) | 0xFF000000u;
  };

  const double memcpyRate = BestMpps([&] { std::memcpy(dst.data(), src.data(), src.size() * 4); });
  const double copyRate = BestMpps([&] {
    for (int y = 0; y < kHeight; ++y)
      te::PixelOps.CopyRow(src.data() + size_t(y) * kWidth, dst.data() + size_t(y) * kWidth, kWidth);
  });
  auto blend = [&](const te::TPixelOps& ops) {
    return BestMpps([&] {
      reset();
      for (int y = 0; y < kHeight; ++y)
        ops.BlendRow(src.data() + size_t(y) * kWidth, dst.data() + size_t(y) * kWidth, kWidth);
      te::EndMMX();
    });
  };
  const double plainRate = blend(te::PlainPixelOps());
  const double mmxRate = blend(te::MmxPixelOps());
  const double plainSse2Rate = blend(te::PlainSse2PixelOps());
  const double mmxSse2Rate = blend(te::MmxSse2PixelOps());
  const double plainAvx2Rate = te::HasAVX2() ? blend(te::PlainAvx2PixelOps()) : 0;
  const double mmxAvx2Rate = te::HasAVX2() ? blend(te::MmxAvx2PixelOps()) : 0;
  te::SelectPixelOps(te::HasMMX());
  const double inUseRate = blend(te::PixelOps);
  // The blend onto the old picture where it lies, and with the mask's alpha put in as it goes.
  std::vector<te::TteColor> under(dst.size()), picture(src);
  std::vector<std::uint8_t> mask(src.size());
  reset();
  under = dst;
  for (size_t i = 0; i < mask.size(); ++i) mask[i] = std::uint8_t(src[i] >> 24);
  const double ontoRate = BestMpps([&] {
    for (int y = 0; y < kHeight; ++y)
      te::PixelOps.BlendRowOnto(src.data() + size_t(y) * kWidth, under.data() + size_t(y) * kWidth,
                                dst.data() + size_t(y) * kWidth, kWidth);
  });
  const double maskRate = BestMpps([&] {
    for (int y = 0; y < kHeight; ++y)
      te::PixelOps.MaskBlendRowOnto(picture.data() + size_t(y) * kWidth, mask.data() + size_t(y) * kWidth,
                                    te::TransparentKey, under.data() + size_t(y) * kWidth,
                                    dst.data() + size_t(y) * kWidth, kWidth);
  });
  pixman_image_t* ps = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, src.data(), kWidth * 4);
  pixman_image_t* pd = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, dst.data(), kWidth * 4);
  const double pixmanRate = BestMpps([&] {
    reset();
    pixman_image_composite32(PIXMAN_OP_OVER, ps, nullptr, pd, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
  });
  pixman_image_unref(ps);
  pixman_image_unref(pd);

  // 2x: a 512 x 512 source onto the 1024 x 1024 target, opaque and alpha.
  te::TPixelGrid target{dst.data(), kWidth, kHeight, false}, source{src.data(), kWidth, kHeight, false};
  const fw::TRect whole{0, 0, kWidth, kHeight}, half{0, 0, kWidth / 2, kHeight / 2};
  const double stretchOpaque = BestMpps(
      [&] { te::StretchPixels(target, whole, source, half, te::TDrawMode::Opaque, te::TMapRounding::Truncate); });
  const double stretchAlpha = BestMpps([&] {
    reset();
    te::StretchPixels(target, whole, source, half, te::TDrawMode::Alpha, te::TMapRounding::Truncate);
  });

  std::printf("Pixel routines, %d x %d pixels, best of %d passes (megapixels per second; ratio to the baseline)\n",
              kWidth, kHeight, kPasses);
  std::printf("  %-34s %10.1f  baseline\n", "memcpy", memcpyRate);
  std::printf("  %-34s %10.1f  %.3f of memcpy\n", "CopyRow", copyRate, copyRate / memcpyRate);
  std::printf("  %-34s %10.1f  baseline\n", "pixman OVER (a8r8g8b8)", pixmanRate);
  std::printf("  %-34s %10.1f  %.3f of pixman\n", "BlendRow plain", plainRate, plainRate / pixmanRate);
  std::printf("  %-34s %10.1f  %.3f of pixman (HasMMX %s)\n", "BlendRow MMX", mmxRate, mmxRate / pixmanRate,
              te::HasMMX() ? "yes" : "no");
  std::printf("  %-34s %10.1f  %.3f of pixman (HasSSE2 %s)\n", "BlendRow plain, SSE2", plainSse2Rate,
              plainSse2Rate / pixmanRate, te::HasSSE2() ? "yes" : "no");
  std::printf("  %-34s %10.1f  %.3f of pixman\n", "BlendRow MMX, SSE2", mmxSse2Rate, mmxSse2Rate / pixmanRate);
  std::printf("  %-34s %10.1f  %.3f of pixman (HasAVX2 %s)\n", "BlendRow plain, AVX2", plainAvx2Rate,
              plainAvx2Rate / pixmanRate, te::HasAVX2() ? "yes" : "no");
  std::printf("  %-34s %10.1f  %.3f of pixman\n", "BlendRow MMX, AVX2", mmxAvx2Rate, mmxAvx2Rate / pixmanRate);
  std::printf("  %-34s %10.1f  %.3f of pixman\n", "BlendRow in use (PixelOps)", inUseRate, inUseRate / pixmanRate);
  std::printf("  %-34s %10.1f  %.3f of pixman (which blends onto a target it first fills)\n", "BlendRowOnto in use",
              ontoRate, ontoRate / pixmanRate);
  std::printf("  %-34s %10.1f  %.3f of pixman (the alpha put in from a mask as well)\n", "MaskBlendRowOnto in use",
              maskRate, maskRate / pixmanRate);
  std::printf("  %-34s %10.1f  (target megapixels)\n", "StretchDraw 2x bitmap, opaque", stretchOpaque);
  std::printf("  %-34s %10.1f  (target megapixels)\n", "StretchDraw 2x bitmap, alpha", stretchAlpha);
  return 0;
}
