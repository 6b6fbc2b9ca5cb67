// Writes a contact sheet of every effect for people to look at:
// build/win/artifacts/transition-contact-sheet.bmp, one row per effect in
// registration order, the frames at progress 5, 25, 50, 75 and 100 from left to
// right, from a blue-to-cyan old image to a red-to-yellow new one. The test
// checks only what every effect must do: the last frame is the new image.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "themed/win/te_effect.h"

using namespace te;

TEST(ContactSheet, EveryEffectEndsOnTheNewImage) {
  constexpr int kW = 48, kH = 32, kFrames = 5;
  const int ticks[kFrames] = {1, 5, 10, 15, 20};  // Time 400: 5 per tick
  TteBitmap oldImage, newImage, target;
  oldImage.SetSize(kW, kH);
  newImage.SetSize(kW, kH);
  target.SetSize(kW, kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      oldImage.SetPixel(x, y, 0xFF0000FF | std::uint32_t(x * 255 / kW) << 8);
      newImage.SetPixel(x, y, 0xFFFF0000 | std::uint32_t(y * 255 / kH) << 8);
    }
  const int count = EffectList().Count();
  fw::TBitmap sheet;
  sheet.SetPixelFormat(fw::TPixelFormat::pf32bit);
  sheet.SetSize(kFrames * (kW + 2), count * (kH + 2));
  fw::TCanvas canvas;
  canvas.SetHandle(target.DC());
  for (int e = 0; e < count; ++e) {
    TteAnimationRec settings(nullptr);
    settings.SetEffect(EffectList().Item(e)->DisplayName);
    TteBitmap fresh;
    fresh.Assign(newImage);  // the engine changes the new image's alpha
    target.Fill(0);
    const int slot = StartTransition(canvas, 0, 0, oldImage, fresh, settings);
    ASSERT_TRUE(TransitionActive(slot)) << settings.Effect();
    int done = 0;
    for (int f = 0; f < kFrames; ++f) {
      while (done < ticks[f]) {
        TransitionTick();
        ++done;
      }
      ::BitBlt(sheet.Canvas().Handle(), f * (kW + 2), e * (kH + 2), kW, kH, target.DC(), 0, 0, SRCCOPY);
    }
    EXPECT_FALSE(TransitionActive(slot)) << settings.Effect();
    for (int y = 0; y < kH; y += 7)
      for (int x = 0; x < kW; x += 7)
        ASSERT_EQ(*target.PixelPtr(x, y) & 0xFFFFFF, *newImage.PixelPtr(x, y) & 0xFFFFFF)
            << settings.Effect() << " at " << x << "," << y;
  }
  canvas.SetHandle(nullptr);
  const std::filesystem::path dir = NAVEKO_ARTIFACTS_DIR;
  std::filesystem::create_directories(dir);
  const fw::TBytes bytes = sheet.SaveToBytes();
  std::ofstream(dir / "transition-contact-sheet.bmp", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  EXPECT_GT(bytes.size(), size_t(kFrames * kW * count * kH));
}
