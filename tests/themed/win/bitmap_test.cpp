// TteBitmap, pixel-exact on off-screen bitmaps: sizes and contents, keyed and
// alpha operations, the three draw routes and their column maps, merging, and
// copying to and from the framework's pictures and the clipboard.
#include <gtest/gtest.h>

#include "framework/core/exception.h"
#include "framework/win/clipbrd.h"
#include "tests/support/pixels.h"
#include "themed/core/te_cpu.h"
#include "themed/win/te_bitmap.h"

using namespace te;

namespace {

using fwtest::TDibTarget;

void TwoColumns(TteBitmap& b, TteColor left, TteColor right) {
  b.SetSize(2, 1);
  b.SetPixel(0, 0, left);
  b.SetPixel(1, 0, right);
}

}  // namespace

TEST(TteBitmap, SizesAndContents) {
  TteBitmap b;
  EXPECT_TRUE(b.Empty());
  b.SetSize(-3, 4);
  EXPECT_EQ(b.Width(), 3);
  EXPECT_EQ(b.Height(), 4);
  EXPECT_EQ(b.BitmapInfo().bmiHeader.biHeight, -4) << "top-down rows";
  for (int i = 0; i < 12; ++i) EXPECT_EQ(b.Bits()[i], 0u);
  EXPECT_EQ(FindBitmapByDC(b.DC()), &b);
  b.SetPixel(1, 1, 0x11223344);
  b.SetSize(0, 5);
  b.SetSize(3, 4);
  EXPECT_EQ(*b.PixelPtr(1, 1), 0x11223344u) << "no change";
  b.SetPixel(3, 0, 1);
  b.SetPixel(0, 4, 1);
  b.SetPixel(-1, 0, 1);
  EXPECT_EQ(b.Bits()[3], 0u);
  b.SetAlpha(255);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(b.Bits()[i] >> 24, 255u);
  b.SetAlphaRect(7, fw::Rect(-5, -5, 1, 1));
  EXPECT_EQ(b.Bits()[0] >> 24, 7u);
  EXPECT_EQ(b.Bits()[1] >> 24, 255u);
  HDC dc = b.DC();
  { TteBitmap other; }
  EXPECT_EQ(FindBitmapByDC(dc), &b);
}

TEST(TteBitmap, AFailedSetSizeLeavesItEmpty) {
  TteBitmap b;
  b.SetSize(4, 4);
  try {
    b.SetSize(200000, 200000);  // 160 GB
    FAIL() << "no error";
  } catch (const fw::EOutOfResources& e) {
    EXPECT_STREQ(e.what(), "Can't allocate the DIB handle");
  }
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Bits(), nullptr);
  b.Fill(1);  // nothing on an empty bitmap
}

TEST(TteBitmap, TransparentColourAndCheckAlpha) {
  TteBitmap b;
  b.SetSize(3, 1);
  b.SetPixel(0, 0, 0xFF405060);
  b.SetPixel(1, 0, 0xFF405065);  // blue 5 away
  b.SetPixel(2, 0, 0xFF405066);  // 6 away
  b.SetTransparentColor(0xFF405060);
  EXPECT_TRUE(b.Transparent);
  EXPECT_EQ(b.Bits()[0], TransparentKey);
  EXPECT_EQ(b.Bits()[1], TransparentKey);
  EXPECT_EQ(b.Bits()[2], 0xFF405066u);
  b.Fill(0xFF000000);
  b.SetPixel(1, 0, 0x00FFFFFF);
  b.CheckAlpha();
  EXPECT_FALSE(b.AlphaBlend) << "alphas 0 and 255 only";
  b.SetPixel(2, 0, 0x80FFFFFF);
  b.CheckAlpha();
  EXPECT_TRUE(b.AlphaBlend);
}

TEST(TteBitmap, FillRectBlendsWhenAlphaBlendIsSet) {
  TteBitmap b;
  b.SetSize(3, 3);
  b.Fill(0xFF000000);
  b.FillRect(fw::Rect(-1, -1, 2, 2), 0x80FF0000);
  EXPECT_EQ(b.Bits()[0], 0x80FF0000u);
  EXPECT_EQ(b.Bits()[2], 0xFF000000u);
  b.Fill(0xFF000000);
  b.AlphaBlend = true;
  b.FillRect(fw::Rect(0, 0, 1, 1), 0x80FF0000);
  EXPECT_EQ((b.Bits()[0] >> 16) & 0xFF, 127u) << "(255 * 128) >> 8";
}

TEST(TteBitmap, KeyedDrawOntoAnotherBitmap) {
  TteBitmap src, dst;
  TwoColumns(src, TransparentKey, 0x00123456);
  src.Transparent = true;
  dst.SetSize(2, 1);
  dst.Fill(0x11111111);
  src.Draw(dst, 0, 0);
  EXPECT_EQ(dst.Bits()[0], 0x11111111u);
  EXPECT_EQ(dst.Bits()[1], 0xFF123456u);
}

TEST(TteBitmap, StretchColumnMapsOnTheBitmapAndTheDibRoutes) {
  TteBitmap src;
  TwoColumns(src, 0xFF0000AA, 0xFF0000BB);
  TteBitmap dst;
  dst.SetSize(4, 1);
  src.StretchDraw(dst, fw::Rect(0, 0, 4, 1), fw::Rect(0, 0, 2, 1));
  EXPECT_EQ(dst.Bits()[2], 0xFF0000AAu) << "truncation: 0, 0, 0, 1";
  EXPECT_EQ(dst.Bits()[3], 0xFF0000BBu);
  // The same through the bitmap's own DC: found in the registry, the bitmap route.
  dst.Fill(0);
  src.StretchDraw(dst.DC(), fw::Rect(0, 0, 4, 1), fw::Rect(0, 0, 2, 1));
  EXPECT_EQ(dst.Bits()[2], 0xFF0000AAu);
  TDibTarget dib(4, 1, false);
  src.StretchDraw(dib.DC(), fw::Rect(0, 0, 4, 1), fw::Rect(0, 0, 2, 1));
  EXPECT_EQ(dib.Raw(1, 0), 0xFF0000AAu);
  EXPECT_EQ(dib.Raw(2, 0), 0xFF0000BBu) << "rounding: 0, 0, 1, 1";
  // One pixel wide: the middle source column (0 + 3 - 1) div 2 = 1.
  TteBitmap three;
  three.SetSize(3, 1);
  three.SetPixel(1, 0, 0xFF00CC00);
  TteBitmap one;
  one.SetSize(1, 1);
  three.StretchDraw(one, fw::Rect(0, 0, 1, 1), fw::Rect(0, 0, 3, 1));
  EXPECT_EQ(one.Bits()[0], 0xFF00CC00u);
}

TEST(TteBitmap, ATopDownDibTargetGoesThroughGdi) {
  // In the alpha mode GDI reads the area back and stretches by truncation;
  // the direct route (bottom-up DIBs) would round.
  TteBitmap src;
  TwoColumns(src, 0xFF0000AA, 0x800000BB);
  src.AlphaBlend = true;
  // Two rows, white over black, so that the rows' direction shows.
  TDibTarget topDown(4, 2, true);
  ::PatBlt(topDown.DC(), 0, 0, 4, 1, WHITENESS);
  src.StretchDraw(topDown.DC(), fw::Rect(0, 1, 4, 2), fw::Rect(0, 0, 2, 1));
  EXPECT_EQ(topDown.Raw(2, 1) & 0xFFFFFF, 0x0000AAu) << "column 2 from source column 0";
  EXPECT_EQ(topDown.Raw(3, 1) & 0xFF, 0xBBu * 128 / 256);
  EXPECT_EQ(topDown.Raw(0, 0) & 0xFFFFFF, 0xFFFFFFu) << "the white row untouched";
  TDibTarget bottomUp(4, 2, false);
  ::PatBlt(bottomUp.DC(), 0, 0, 4, 1, WHITENESS);
  src.StretchDraw(bottomUp.DC(), fw::Rect(0, 1, 4, 2), fw::Rect(0, 0, 2, 1));
  EXPECT_EQ(bottomUp.Raw(2, 1) & 0xFF, 0xBBu * 128 / 256) << "column 2 from source column 1: the direct route";
  EXPECT_EQ(bottomUp.Raw(0, 0) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(TteBitmap, InPlaceDrawingHonoursTheDcsOriginsAndClipping) {
  // What PaintTo and the parent background do to a device context: both kinds
  // of target must take the pixels where GDI would put them.
  TteBitmap src;
  src.SetSize(2, 2);
  src.Fill(0xFF00AA00);
  auto check = [&](HDC dc, auto at, const char* what) {
    ::SetViewportOrgEx(dc, 3, 1, nullptr);
    ::SetWindowOrgEx(dc, 1, 0, nullptr);
    src.Draw(dc, 1, 0);  // logical (1, 0) is device (3, 1)
    ::SetViewportOrgEx(dc, 0, 0, nullptr);
    ::SetWindowOrgEx(dc, 0, 0, nullptr);
    EXPECT_EQ(at(3, 1) & 0xFFFFFF, 0x00AA00u) << what;
    EXPECT_EQ(at(4, 2) & 0xFFFFFF, 0x00AA00u) << what;
    EXPECT_EQ(at(1, 0) & 0xFFFFFF, 0u) << what << ": nothing at the logical place";
    // A clipping region keeps what lies outside it.
    ::IntersectClipRect(dc, 0, 0, 1, 1);
    src.Draw(dc, 0, 0);
    ::SelectClipRgn(dc, nullptr);
    EXPECT_EQ(at(0, 0) & 0xFFFFFF, 0x00AA00u) << what;
    EXPECT_EQ(at(1, 1) & 0xFFFFFF, 0u) << what << ": clipped";
  };
  TteBitmap target;
  target.SetSize(6, 4);
  target.Fill(0);
  check(
      target.DC(), [&](int x, int y) { return *target.PixelPtr(x, y); }, "an alpha bitmap");
  TDibTarget dib(6, 4, false);
  check(
      dib.DC(), [&](int x, int y) { return dib.Raw(x, y); }, "a bottom-up DIB");
}

TEST(TteBitmap, OpaqueAndKeyedThroughGdi) {
  TteBitmap src;
  TwoColumns(src, 0xFF0000AA, TransparentKey);
  TDibTarget topDown(2, 1, true);
  ::PatBlt(topDown.DC(), 0, 0, 2, 1, WHITENESS);
  src.Transparent = true;
  src.Draw(topDown.DC(), 0, 0);
  EXPECT_EQ(topDown.Raw(0, 0) & 0xFFFFFF, 0x0000AAu);
  EXPECT_EQ(topDown.Raw(1, 0) & 0xFFFFFF, 0xFFFFFFu) << "the key pixel is not drawn";
  src.Transparent = false;
  src.Draw(topDown.DC(), 0, 0);
  EXPECT_EQ(topDown.Raw(1, 0) & 0xFFFFFF, TransparentKey);
}

TEST(TteBitmap, MergeBelowFillsTheTransparentAndBlendsThePartlyTransparent) {
  TteBitmap target, source;
  target.SetSize(3, 1);
  target.SetPixel(0, 0, 0x00000000);
  target.SetPixel(1, 0, 0x80FF0000);
  target.SetPixel(2, 0, 0xFF00FF00);
  source.SetSize(3, 1);
  source.Fill(0xFF0000FF);
  target.MergeBelow(source, 0, 0, fw::Rect(-1, 0, 9, 1));
  EXPECT_EQ(target.Bits()[0], 0u) << "the scan starts at source column 0, which meets target column 1";
  target.SetPixel(1, 0, 0x80FF0000);
  target.MergeBelow(source, 0, 0, fw::Rect(0, 0, 9, 1));
  EXPECT_EQ(target.Bits()[0], 0xFF0000FFu) << "a clear target pixel takes the source";
  EXPECT_EQ(target.Bits()[1], PixelOps.BlendPixel(0x80FF0000, 0xFF0000FF));
  EXPECT_EQ(target.Bits()[2], 0xFF00FF00u);
}

TEST(TteBitmap, AssignFromAndToTheFrameworkPictures) {
  fw::TBitmap b32;
  b32.SetPixelFormat(fw::TPixelFormat::pf32bit);
  b32.SetSize(2, 1);
  reinterpret_cast<std::uint32_t*>(b32.ScanLine(0))[0] = 0x80102030;
  reinterpret_cast<std::uint32_t*>(b32.ScanLine(0))[1] = 0xFF405060;
  TteBitmap t;
  t.Assign(b32);
  EXPECT_EQ(t.Bits()[0], 0x80102030u) << "stored pixels with their alpha";
  EXPECT_TRUE(t.AlphaBlend);
  fw::TBitmap b24;
  b24.SetPixelFormat(fw::TPixelFormat::pf24bit);
  b24.SetSize(1, 1);
  b24.ScanLine(0)[0] = 0x30;
  b24.ScanLine(0)[1] = 0x20;
  b24.ScanLine(0)[2] = 0x10;
  t.Assign(b24);
  EXPECT_EQ(t.Width(), 1);
  EXPECT_EQ(t.Bits()[0], 0xFF102030u) << "copied by GDI, alpha 255";
  TteBitmap copy;
  t.Name = "glyph";
  copy.Assign(t);
  EXPECT_EQ(copy.Name, "glyph");
  EXPECT_EQ(copy.Bits()[0], t.Bits()[0]);
  fw::TBitmap out;
  copy.AssignTo(out);
  EXPECT_EQ(out.PixelFormat(), fw::TPixelFormat::pf32bit);
  EXPECT_EQ(reinterpret_cast<std::uint32_t*>(out.ScanLine(0))[0] & 0xFFFFFF, 0x102030u);
  fw::TPicture pic;
  copy.AssignTo(pic);
  ASSERT_NE(dynamic_cast<fw::TBitmap*>(pic.Graphic()), nullptr);
  TteBitmap back;
  back.Assign(pic);
  EXPECT_EQ(back.Bits()[0], 0xFF102030u);
  EXPECT_THROW(t.Assign(fw::TFont()), fw::Exception);
}

TEST(TteBitmap, LoadFromGraphicKeepsWhatTheGraphicPaints) {
  fw::TBitmap g;
  g.SetPixelFormat(fw::TPixelFormat::pf24bit);
  g.SetSize(1, 1);
  g.ScanLine(0)[0] = 0x11;
  TteBitmap t;
  t.SetSize(3, 1);
  t.Fill(0x12345678);
  t.LoadFromGraphic(g, fw::Rect(1, 0, 2, 1));
  EXPECT_EQ(t.Bits()[0], 0x12345678u) << "magenta around the graphic leaves the pixel";
  EXPECT_EQ(t.Bits()[1] & 0xFFFFFF, 0x000011u);
}

TEST(TteBitmap, ThroughTheClipboard) {
  TteBitmap t;
  t.SetSize(2, 2);
  t.Fill(0xFF336699);
  t.AssignTo(fw::Clipboard());
  ASSERT_TRUE(fw::Clipboard().HasBitmap());
  fw::TBitmap out;
  fw::Clipboard().AssignTo(out);
  EXPECT_EQ(out.Width(), 2);
  EXPECT_EQ(::GetPixel(out.Canvas().Handle(), 1, 1), COLORREF(0x996633));
  // Leave the clipboard empty: data owned at exit makes Wine wait for a clipboard manager.
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  ::CloseClipboard();
}
