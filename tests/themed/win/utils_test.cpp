// The canvas utilities, pixel-exact on off-screen bitmaps, and the machine facts.
#include <gtest/gtest.h>

#include "framework/win/graphics.h"
#include "themed/win/te_bitmap.h"
#include "themed/win/te_utils.h"

using namespace te;

namespace {

struct TSurface {
  TSurface(int w, int h, TteColor fill) {
    bitmap.SetSize(w, h);
    bitmap.Fill(fill);
    canvas.SetHandle(bitmap.DC());
  }
  ~TSurface() { canvas.SetHandle(nullptr); }
  std::uint32_t Rgb(int x, int y) {
    ::GdiFlush();
    return *bitmap.PixelPtr(x, y) & 0xFFFFFF;
  }
  TteBitmap bitmap;
  fw::TCanvas canvas;
};

constexpr std::uint32_t kRedPixel = 0xFF0000, kBluePixel = 0x0000FF, kWhitePixel = 0xFFFFFF;

}  // namespace

TEST(CanvasUtils, DrawFrame3DExactPixels) {
  TSurface s(4, 4, 0xFFFFFFFF);
  DrawFrame3D(s.canvas, fw::Rect(0, 0, 4, 4), 0x0000FF, 0xFF0000);  // TColor red, blue
  for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {2, 0}, {0, 1}, {0, 2}}) EXPECT_EQ(s.Rgb(x, y), kRedPixel) << x << "," << y;
  for (auto [x, y] : {std::pair{3, 0}, {3, 1}, {3, 2}, {3, 3}, {2, 3}, {1, 3}, {0, 3}})
    EXPECT_EQ(s.Rgb(x, y), kBluePixel) << x << "," << y;
  EXPECT_EQ(s.Rgb(1, 1), kWhitePixel);
  EXPECT_EQ(s.Rgb(2, 2), kWhitePixel);
}

TEST(CanvasUtils, FillGradientBands) {
  TSurface s(3, 1, 0xFF000000);
  FillGradient(s.canvas, fw::Rect(0, 0, 3, 1), 0x000000, 0x0000FF, false);  // black to red, N = 3
  EXPECT_EQ(s.Rgb(0, 0), 0x000000u);
  EXPECT_EQ(s.Rgb(1, 0), 0x550000u) << "k = 1: 85";
  EXPECT_EQ(s.Rgb(2, 0), 0xAA0000u) << "k = 2: 170; the end colour is never painted";
  TSurface tall(1, 300, 0xFF000000);
  FillGradient(tall.canvas, fw::Rect(0, 0, 1, 300), 0x000000, 0xFFFFFF, true);  // N stays 255
  EXPECT_EQ(tall.Rgb(0, 0), 0x000000u);
  EXPECT_EQ(tall.Rgb(0, 299), 0xFEFEFEu) << "band 254 of 255";
  TSurface none(2, 2, 0xFF123456);
  FillGradient(none.canvas, fw::Rect(0, 0, 0, 2), 0, 0xFFFFFF, false);
  EXPECT_EQ(none.Rgb(0, 0), 0x123456u);
}

TEST(CanvasUtils, FillCheckerAndPrimitives) {
  TSurface s(4, 4, 0xFF000000);
  FillChecker(s.canvas, fw::Rect(-2, -2, 4, 4), 0xFFFFFF, 0x0000FF);
  EXPECT_EQ(s.Rgb(0, 0), kRedPixel);
  EXPECT_EQ(s.Rgb(1, 0), kWhitePixel);
  EXPECT_EQ(s.Rgb(1, 1), kRedPixel);
  FillRectColor(s.canvas, fw::Rect(0, 0, 2, 2), 0xFF0000);
  EXPECT_EQ(s.Rgb(1, 1), kBluePixel);
  EXPECT_EQ(s.Rgb(2, 2), kRedPixel);
  DrawRectOutline(s.canvas, fw::Rect(0, 0, 4, 4), 0x00FF00);
  EXPECT_EQ(s.Rgb(3, 3), 0x00FF00u);
  EXPECT_EQ(s.Rgb(1, 1), kBluePixel) << "a clear brush leaves the inside";
  FillPolygon(s.canvas, {{0, 0}, {3, 0}, {0, 3}}, 0x000000);
  EXPECT_EQ(s.Rgb(0, 0), 0u);
}

TEST(CanvasUtils, FrameGlyphsInAnyColour) {
  TSurface s(16, 16, 0xFFFFFFFF);
  DrawFrameGlyph(s.canvas, fw::Rect(0, 0, 16, 16), DFC_MENU, DFCS_MENUCHECK, 0x0000FF);
  int red = 0, other = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) (s.Rgb(x, y) == kRedPixel ? red : s.Rgb(x, y) == kWhitePixel ? other : other) += 1;
  EXPECT_GT(red, 5) << "the check mark's ink";
  EXPECT_EQ(red + other, 256);
  // Exactly the glyph's black pixels become ink; every other pixel is left alone.
  for (UINT type : {UINT(DFC_SCROLL), UINT(DFC_CAPTION), UINT(DFC_BUTTON)}) {
    TteBitmap raw;
    raw.SetSize(12, 12);
    RECT area{0, 0, 12, 12};
    ::DrawFrameControl(raw.DC(), &area, type, type == DFC_BUTTON ? DFCS_BUTTONPUSH : 0);
    ::GdiFlush();
    TSurface t(12, 12, 0xFF123456);
    DrawFrameGlyph(t.canvas, fw::Rect(0, 0, 12, 12), type, type == DFC_BUTTON ? DFCS_BUTTONPUSH : 0, 0x0000FF);
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 12; ++x)
        ASSERT_EQ(t.Rgb(x, y), *raw.PixelPtr(x, y) == 0 ? kRedPixel : 0x123456u) << type << ": " << x << "," << y;
  }
}

TEST(CanvasUtils, RotatedTextStaysInsideItsRectangle) {
  TSurface s(40, 60, 0xFFFFFFFF);
  s.canvas.Font().SetHeight(-16);
  const fw::TRect r = fw::Rect(10, 5, 30, 55);
  DrawRotatedText(s.canvas, L"IIII", r, DT_SINGLELINE | DT_CENTER | DT_VCENTER, true);
  int inked = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 40; ++x)
      if (s.Rgb(x, y) != kWhitePixel) {
        ++inked;
        EXPECT_TRUE(x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) << x << "," << y;
      }
  EXPECT_GT(inked, 10);
}

TEST(CanvasUtils, TextMeasuresAndEllipsis) {
  TSurface s(10, 10, 0);
  s.canvas.Font().SetHeight(-12);
  const int w = TextWidthWide(s.canvas, L"abcdef", 0);
  EXPECT_GT(w, 0);
  EXPECT_EQ(TextWidthWide(s.canvas, L"abcdef", DT_SINGLELINE), w);
  EXPECT_GT(TextHeightWide(s.canvas, L"abc"), 0);
  std::wstring out;
  HDC dc = s.canvas.Handle();
  EllipsisText(dc, L"abcdef", w, out);
  EXPECT_EQ(out, L"abcdef") << "fits exactly";
  EllipsisText(dc, L"abcdef", 1, out);
  EXPECT_EQ(out, L"...");
  EllipsisText(dc, L"abcdef", w - 1, out);
  EXPECT_EQ(out.substr(out.size() - 3), L"...");
  EXPECT_LT(out.size(), 9u);
  fw::TRect r = fw::Rect(0, 0, 0, 0);
  EXPECT_GT(DrawTextWide(s.canvas, L"abc", r, DT_CALCRECT | DT_SINGLELINE), 0);
  EXPECT_GT(r.Right, 0);
}

TEST(CanvasUtils, AnsiToWideCP) {
  std::wstring w;
  AnsiToWideCP(1256, "\xC7", w);
  EXPECT_EQ(w, L"\x0627");
  AnsiToWideCP(1256, "", w);
  EXPECT_EQ(w, L"");
  AnsiToWideCP(65001, "ab", w);  // flags refused for UTF-8: repeated in the ANSI code page
  EXPECT_EQ(w, L"ab");
}

TEST(CanvasUtils, NestedCapture) {
  HWND wnd = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  BeginCapture(wnd);
  BeginCapture(wnd);
  EndCapture();
  EXPECT_EQ(::GetCapture(), wnd);
  EndCapture();
  EXPECT_EQ(::GetCapture(), nullptr);
  EndCapture();  // unmatched: the counter goes below 0
  EXPECT_EQ(CaptureCount(), -1);
  BeginCapture(wnd);
  EXPECT_EQ(::GetCapture(), nullptr) << "the next Begin only brings the count back to 0";
  ::DestroyWindow(wnd);
}

TEST(MachineFacts, ScreenPixelFormatAndKeyboard) {
  HDC screen = ::GetDC(nullptr);
  const int bits = ::GetDeviceCaps(screen, BITSPIXEL) * ::GetDeviceCaps(screen, PLANES);
  ::ReleaseDC(nullptr, screen);
  EXPECT_EQ(ScreenPixelFormat(), PixelFormatFromBitCount(bits));
  EXPECT_EQ(PixelFormatFromBitCount(16), 5);
  EXPECT_EQ(PixelFormatFromBitCount(32), 7);
  EXPECT_EQ(PixelFormatFromBitCount(2), 8);
  const int delay = KeyboardDelayMs();
  EXPECT_TRUE(delay == 200 || delay == 400 || delay == 600 || delay == 800) << delay;
  EXPECT_GE(KeyboardRepeatMs(), 14);
  EXPECT_LE(KeyboardRepeatMs(), 435);
  EXPECT_TRUE(HasMMX());
}

TEST(CanvasUtils, DrawSmallIconCentresTheSmallIconSize) {
  TSurface s(40, 40, 0xFF123456);
  DrawSmallIcon(s.canvas, fw::Rect(0, 0, 40, 40), nullptr);  // no icon: nothing
  for (int y = 0; y < 40; ++y) ASSERT_EQ(s.Rgb(y, y), 0x123456u);
  // The icon is drawn at its own size (width and height 0) from the centred
  // small-icon rectangle's corner; a small-size copy fills that rectangle.
  const int cx = ::GetSystemMetrics(SM_CXSMICON), cy = ::GetSystemMetrics(SM_CYSMICON);
  HICON icon = static_cast<HICON>(::CopyImage(::LoadIconW(nullptr, IDI_APPLICATION), IMAGE_ICON, cx, cy, 0));
  ASSERT_NE(icon, nullptr);
  DrawSmallIcon(s.canvas, fw::Rect(0, 0, 40, 40), icon);
  const int left = (40 - cx) / 2, top = (40 - cy) / 2;
  int changed = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      const bool inside = x >= left && x < left + cx && y >= top && y < top + cy;
      if (s.Rgb(x, y) != 0x123456u) {
        ++changed;
        ASSERT_TRUE(inside) << x << "," << y;
      }
    }
  EXPECT_GT(changed, 0);
  ::DestroyIcon(icon);
}
