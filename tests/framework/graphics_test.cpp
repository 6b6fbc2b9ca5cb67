// Drawing checked pixel for pixel on off-screen bitmaps.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "framework/core/exception.h"
#include "framework/win/extctrls.h"
#include "framework/win/forms.h"

using namespace fw;

namespace {

TBytes ReadFile(const std::string& name) {
  std::ifstream f(std::string(NAVEKO_TEST_DATA) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

std::uint32_t Px(TBitmap& b, int x, int y) {
  const std::uint8_t* p = b.ScanLine(y) + x * 4;
  return std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];  // 0xRRGGBB
}

void MakeBitmap32(TBitmap& b, int w, int h) {
  b.SetPixelFormat(TPixelFormat::pf32bit);
  b.SetSize(w, h);
}

}  // namespace

TEST(Canvas, FillRectAndLinesAreExact) {
  TBitmap b;
  b.SetPixelFormat(TPixelFormat::pf32bit);
  b.SetSize(8, 8);
  TCanvas& c = b.Canvas();
  c.Brush().SetColor(clRed);
  c.FillRect(Rect(0, 0, 8, 8));
  c.Pen().SetColor(clBlue);
  c.MoveTo(1, 1);
  c.LineTo(6, 1);  // the end point is not drawn
  c.Brush().SetColor(clBtnFace);  // a system colour resolves at drawing time
  c.FillRect(Rect(2, 4, 4, 6));
  EXPECT_EQ(Px(b, 0, 0), 0xFF0000u);
  EXPECT_EQ(Px(b, 1, 1), 0x0000FFu);
  EXPECT_EQ(Px(b, 5, 1), 0x0000FFu);
  EXPECT_EQ(Px(b, 6, 1), 0xFF0000u);
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(Px(b, 3, 5), std::uint32_t(GetRValue(face)) << 16 | GetGValue(face) << 8 | GetBValue(face));
  EXPECT_EQ(Px(b, 4, 5), 0xFF0000u) << "right edge exclusive";
}

TEST(Canvas, TextExtentUsesTheSelectedFont) {
  TBitmap b;
  b.SetSize(10, 10);
  TCanvas& c = b.Canvas();
  c.Font().SetName(L"Tahoma");
  c.Font().SetHeight(-11);
  const int small = c.TextWidth("Update");
  c.Font().SetHeight(-19);
  c.Font().SetStyle(fsBold);
  EXPECT_GT(c.TextWidth("Update"), small);
  EXPECT_GT(c.TextHeight("Update"), 11);
}

TEST(Pictures, JpegDataRoundTripsThroughThePictureStream) {
  TPicture pic;
  const TBytes jpeg = ReadFile("Image1.jpg");
  TBytes data;
  data.push_back(10);
  for (char ch : std::string("TJPEGImage")) data.push_back(std::uint8_t(ch));
  data.insert(data.end(), jpeg.begin(), jpeg.end());
  pic.SetData(data);
  EXPECT_EQ(pic.Width(), 473);
  EXPECT_EQ(pic.Height(), 239);
  EXPECT_EQ(pic.Data(), data);
  TPicture copy;
  copy.Assign(pic);
  EXPECT_EQ(copy.Width(), 473);
}

TEST(Pictures, BadPictureDataRaisesAndKeepsThePreviousPicture) {
  TPicture pic;
  TBytes bad = {10, 'T', 'J', 'P', 'E', 'G', 'I', 'm', 'a', 'g', 'e', 1, 2, 3};
  EXPECT_THROW(pic.SetData(bad), EInvalidGraphic);
  EXPECT_EQ(pic.Graphic(), nullptr);
  EXPECT_THROW(pic.SetData(TBytes{5, 'T', 'X'}), EInvalidGraphic);
  TBytes unknown = {4, 'T', 'G', 'I', 'F', 0};
  EXPECT_THROW(pic.SetData(unknown), EInvalidGraphic);
}

TEST(Pictures, StretchedImageFillsItsWholeRectangle) {
  // A 2 x 1 picture, red then blue, stretched into a 40 x 10 image control.
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 200);
  auto* img = new TImage(&form);
  img->SetParent(&form);
  img->SetBounds(5, 5, 40, 10);
  img->SetStretch(true);
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetPixelFormat(TPixelFormat::pf24bit);
  bmp->SetSize(2, 1);
  bmp->Canvas().SetPixel(0, 0, clRed);
  bmp->Canvas().SetPixel(1, 0, clBlue);
  img->Picture()->SetGraphic(std::move(bmp));
  TBitmap target;
  MakeBitmap32(target, 60, 30);
  target.Canvas().Brush().SetColor(clWhite);
  target.Canvas().FillRect(Rect(0, 0, 60, 30));
  form.PaintTo(target.Canvas().Handle(), 0, 0);
  EXPECT_EQ(Px(target, 6, 6), 0xFF0000u);
  EXPECT_EQ(Px(target, 43, 13), 0x0000FFu);
  EXPECT_EQ(Px(target, 5, 5), 0xFF0000u);
  EXPECT_EQ(Px(target, 44, 14), 0x0000FFu);
  EXPECT_EQ(Px(target, 24, 9), 0xFF0000u);
  EXPECT_EQ(Px(target, 25, 9), 0x0000FFu) << "enlarging replicates pixels: each colour takes half";
  const COLORREF face = ColorToRGB(clBtnFace);
  const std::uint32_t faceRgb = std::uint32_t(GetRValue(face)) << 16 | GetGValue(face) << 8 | GetBValue(face);
  EXPECT_EQ(Px(target, 45, 6), faceRgb) << "outside the picture: the form's colour";
  img->SetStretch(false);
  target.Canvas().FillRect(Rect(0, 0, 60, 30));
  form.PaintTo(target.Canvas().Handle(), 0, 0);
  EXPECT_EQ(Px(target, 5, 5), 0xFF0000u);
  EXPECT_EQ(Px(target, 6, 5), 0x0000FFu);
  EXPECT_NE(Px(target, 7, 5), 0x0000FFu) << "unstretched: the picture's own size";
}
