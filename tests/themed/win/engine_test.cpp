// The transition engine under Wine: settings and their clamps, slots and grid
// sizes, ticks and progress, a FADE frame's pixels, the MANUAL slide, and a
// whole transition played on a real window by the real 20 ms timer.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/win/forms.h"
#include "themed/win/te_effect.h"
#include "themed/win/te_message_pump.h"

using namespace te;

namespace {

struct TImages {
  TImages(int w, int h) {
    oldImage.SetSize(w, h);
    oldImage.Fill(0xFF0000FF);  // blue
    newImage.SetSize(w, h);
    newImage.Fill(0xFFFF0000);  // red
    target.SetSize(w, h);
    canvas.SetHandle(target.DC());
  }
  ~TImages() { canvas.SetHandle(nullptr); }
  TteBitmap oldImage, newImage, target;
  fw::TCanvas canvas;
};

void StopAll() {
  for (int i = 0; i < kTransitionSlots; ++i) StopTransition(i, false);
}

}  // namespace

TEST(AnimationRec, DefaultsClampsAndAssign) {
  TteAnimationRec a(nullptr);
  EXPECT_EQ(a.Effect(), "[ RANDOM ] - Random selection");
  EXPECT_FALSE(a.Enabled());
  EXPECT_EQ(a.Resolution(), 1);
  EXPECT_EQ(a.TileCount(), 1);
  EXPECT_EQ(a.Time(), 400);
  EXPECT_EQ(a.Rotation(), krNone);
  a.SetTime(10);
  EXPECT_EQ(a.Time(), 50);
  a.SetTime(9001);
  EXPECT_EQ(a.Time(), 9000);
  a.SetTileCount(0);
  EXPECT_EQ(a.TileCount(), 1);
  a.SetTileCount(21);
  EXPECT_EQ(a.TileCount(), 20);
  a.SetResolution(11);
  EXPECT_EQ(a.Resolution(), 10);
  a.SetResolution(-3);
  EXPECT_EQ(a.Resolution(), 1);
  a.SetEffect("Fade");
  a.SetRotation(krRotate270);
  TteAnimationRec b(nullptr);
  b.Assign(a);
  EXPECT_EQ(b.Effect(), "Fade");
  EXPECT_EQ(b.Time(), 9000);
  EXPECT_EQ(b.Rotation(), krRotate270);
}

TEST(Engine, GridSizeSlotsAndStartRules) {
  TImages im(100, 60);
  TteAnimationRec s(nullptr);
  s.SetEffect("SlideDown");
  s.SetResolution(3);
  s.SetTileCount(2);
  const int slot = StartTransition(im.canvas, 0, 0, im.oldImage, im.newImage, s);
  ASSERT_GE(slot, 0);
  EXPECT_EQ(TransitionSlot(slot).Cols, 17);
  EXPECT_EQ(TransitionSlot(slot).Rows, 11);
  EXPECT_TRUE(TransitionTimerEnabled());
  StopTransition(slot, false);
  EXPECT_FALSE(TransitionActive(slot));
  EXPECT_FALSE(TransitionTimerEnabled()) << "the timer runs only while a slot is active";

  TteAnimationRec unknown(nullptr);
  unknown.SetEffect("No such effect");
  const int none = StartTransition(im.canvas, 0, 0, im.oldImage, im.newImage, unknown);
  EXPECT_FALSE(TransitionActive(none));
  EXPECT_FALSE(RunTransition(im.canvas, 0, 0, im.oldImage, im.newImage, unknown)) << "returns at once";

  for (int i = 0; i < kTransitionSlots; ++i)
    ASSERT_EQ(StartTransition(im.canvas, 0, 0, im.oldImage, im.newImage, s), i);
  EXPECT_EQ(StartTransition(im.canvas, 0, 0, im.oldImage, im.newImage, s), -1) << "the 202nd";
  StopAll();
}

TEST(Engine, ProgressRisesByFivePerTickAndEndsAtTheTwentieth) {
  TImages im(10, 10);
  TteAnimationRec s(nullptr);
  s.SetEffect("Fade");
  const int slot = StartTransition(im.canvas, 0, 0, im.oldImage, im.newImage, s);
  ASSERT_GE(slot, 0);
  for (int tick = 1; tick < 20; ++tick) {
    TransitionTick();
    ASSERT_TRUE(TransitionActive(slot)) << tick;
    EXPECT_EQ(SlotProgress(TransitionSlot(slot)), 5 * tick) << "the frame of this tick";
  }
  TransitionTick();
  EXPECT_FALSE(TransitionActive(slot));
  EXPECT_EQ(*im.target.PixelPtr(5, 5) & 0xFFFFFF, 0xFF0000u) << "the last frame at 100 shows the new image";
}

TEST(Engine, AFadeFrameComposesByTheMask) {
  TImages im(10, 10);
  TteAnimationRec s(nullptr);
  s.SetEffect("SlideDown");
  const int slot = StartTransition(im.canvas, 0, 0, im.oldImage, im.newImage, s);
  for (int tick = 0; tick < 10; ++tick) TransitionTick();  // the 10th frame at progress 50
  // An 11 x 11 grid: rows 0 to MulDiv(50, 10, 100) = 5 show the new image.
  for (int y = 0; y < 10; ++y) EXPECT_EQ(*im.target.PixelPtr(3, y) & 0xFFFFFF, y <= 5 ? 0xFF0000u : 0x0000FFu) << y;
  StopTransition(slot, false);
}

TEST(Engine, ManualSlideMovesTheNewImageIn) {
  TImages im(20, 4);
  TteAnimationRec s(nullptr);
  s.SetEffect("Slide");
  const int slot = StartTransition(im.canvas, 0, 0, im.oldImage, im.newImage, s);
  for (int tick = 0; tick < 5; ++tick) TransitionTick();  // progress 25: d = 5
  for (int x = 0; x < 20; ++x) EXPECT_EQ(*im.target.PixelPtr(x, 1) & 0xFFFFFF, x < 5 ? 0xFF0000u : 0x0000FFu) << x;
  StopTransition(slot, false);
}

TEST(Engine, ApplyMaskAlphaStretchesTheCells) {
  TteBitmap b;
  b.SetSize(4, 2);
  b.Fill(0xFF123456);
  const std::uint8_t mask[2] = {10, 200};  // 2 x 1 cells over 4 x 2 pixels
  ApplyMaskAlpha(b, mask, 2, 1, fw::Rect(0, 0, 4, 2));
  EXPECT_EQ(*b.PixelPtr(1, 1), 0x0A123456u);
  EXPECT_EQ(*b.PixelPtr(2, 0), 0xC8123456u);
  ApplyMaskAlpha(b, mask, 2, 1, fw::Rect(10, 10, 14, 12));  // outside: nothing
  EXPECT_EQ(*b.PixelPtr(0, 0), 0x0A123456u);
}

TEST(Engine, PlaysOnARealWindowWithTheRealTimer) {
  fw::TForm form(nullptr);
  form.SetBounds(100, 100, 120, 100);
  form.Show();
  fw::Application->ProcessMessages();
  HDC dc = ::GetDC(form.Handle());
  fw::TCanvas canvas;
  canvas.SetHandle(dc);
  TteBitmap oldImage, newImage;
  oldImage.SetSize(40, 30);
  oldImage.Fill(0xFF0000FF);
  newImage.SetSize(40, 30);
  newImage.Fill(0xFF00FF00);
  TteAnimationRec s(nullptr);
  s.SetEffect("CircleFadeOut");
  s.SetTime(200);
  int pumped = 0;  // the library waits on the pump the program handed it
  const TMessagePump program = SetMessagePump([&] {
    ++pumped;
    fw::Application->ProcessMessages();
  });
  const DWORD start = ::GetTickCount();
  EXPECT_FALSE(RunTransition(canvas, 5, 5, oldImage, newImage, s));
  SetMessagePump(program);
  EXPECT_GE(::GetTickCount() - start, 150u) << "driven by the 20 ms timer";
  EXPECT_GE(pumped, 10);
  for (auto [x, y] : {std::pair{5, 5}, {24, 19}, {44, 34}})
    EXPECT_EQ(::GetPixel(dc, x, y), COLORREF(0x00FF00)) << x << "," << y;
  canvas.SetHandle(nullptr);
  ::ReleaseDC(form.Handle(), dc);
}

TEST(Engine, ARotatedFadeFrameTurnsTheMask) {
  TImages im(10, 10);
  TteAnimationRec s(nullptr);
  s.SetEffect("SlideDown");
  s.SetRotation(krRotate180);
  const int slot = StartTransition(im.canvas, 0, 0, im.oldImage, im.newImage, s);
  for (int tick = 0; tick < 10; ++tick) TransitionTick();  // progress 50
  // Turned half a turn: grid rows 5 to 10 of 11, that is pixel rows 5 to 9, show the new image.
  for (int y = 0; y < 10; ++y) EXPECT_EQ(*im.target.PixelPtr(3, y) & 0xFFFFFF, y >= 5 ? 0xFF0000u : 0x0000FFu) << y;
  StopTransition(slot, false);
}

TEST(Engine, ThePictureDrivenEffectShowsBrightAreasFirst) {
  TImages im(10, 10);
  TteAnimationRec s(nullptr);
  s.SetEffect(kBitmapEffectName);
  fw::TBitmap picture;
  picture.SetPixelFormat(fw::TPixelFormat::pf24bit);
  picture.SetSize(11, 11);  // the grid's own size: no stretching
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 11; ++x) {
      std::uint8_t* px = picture.ScanLine(y) + 3 * x;
      px[0] = px[1] = px[2] = x < 5 ? 0 : 255;  // dark left, bright right
    }
  s.SetBitmap(picture);
  const int slot = StartTransition(im.canvas, 0, 0, im.oldImage, im.newImage, s);
  ASSERT_TRUE(TransitionActive(slot));
  for (int tick = 0; tick < 10; ++tick) TransitionTick();  // progress 50: alpha = the picture value
  EXPECT_EQ(*im.target.PixelPtr(1, 4) & 0xFFFFFF, 0x0000FFu) << "dark: still the old image";
  EXPECT_EQ(*im.target.PixelPtr(8, 4) & 0xFFFFFF, 0xFF0000u) << "bright: already the new image";
  StopTransition(slot, false);
}

TEST(Engine, TilesRepeatTheMask) {
  TImages im(20, 10);
  TteAnimationRec s(nullptr);
  s.SetEffect("SlideDown");
  s.SetTileCount(2);  // an 11 x 6 grid, laid at (0, 0), (11, 0), (0, 6) and (11, 6)
  const int slot = StartTransition(im.canvas, 0, 0, im.oldImage, im.newImage, s);
  for (int tick = 0; tick < 10; ++tick) TransitionTick();  // progress 50: grid rows 0 to 3
  for (int x : {2, 12}) {
    for (int y : {0, 3, 6, 9}) EXPECT_EQ(*im.target.PixelPtr(x, y) & 0xFFFFFF, 0xFF0000u) << x << "," << y;
    EXPECT_EQ(*im.target.PixelPtr(x, 4) & 0xFFFFFF, 0x0000FFu) << x << ",4: the first tile's row 4";
  }
  StopTransition(slot, false);
}

namespace {
void FailingFade(std::uint8_t*, int, int, std::uint8_t p) {
  if (p > 0) throw std::runtime_error("effect failed");
}
}  // namespace

TEST(Engine, AnErrorInATimerTickGoesToTheApplicationsHandler) {
  // The 20 ms timer's window procedure is behind the framework's exception barrier.
  if (!FindEffect("Failing test effect")) RegisterEffect("Failing test effect", ekFade, TEffectProc{FailingFade});
  std::vector<std::string> reported;
  fw::Application->OnException = [&](fw::TObject*, const std::exception& e) { reported.push_back(e.what()); };
  TImages im(10, 10);
  TteAnimationRec s(nullptr);
  s.SetEffect("Failing test effect");
  const int slot = StartTransition(im.canvas, 0, 0, im.oldImage, im.newImage, s);
  ASSERT_GE(slot, 0);
  const DWORD start = ::GetTickCount();
  while (reported.empty() && ::GetTickCount() - start < 2000) fw::Application->HandleMessage();
  EXPECT_FALSE(TransitionActive(slot)) << "a transition whose frame fails ends";
  fw::Application->OnException = nullptr;
  // The effect list goes back to the standard effects, for the tests that play them all.
  FinalizeEffectUnit();
  InitEffectUnit();
  ASSERT_FALSE(reported.empty());
  EXPECT_EQ(reported.front(), "effect failed");
}
