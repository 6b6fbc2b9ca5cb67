// The main window built from its stored layout, checked off screen.
#include <gtest/gtest.h>

#include <memory>

#include "app/Unit1.h"
#include "app/registration.h"
#include "framework/core/streaming.h"
#include "themed/win/te_winapi.h"

using namespace fw;

namespace {

struct Registered {
  Registered() { RegisterProgramClasses(); }
} registered;

std::unique_ptr<TForm1> MakeForm(int ppi = 96) {
  const int saved = Screen->PixelsPerInch();
  Screen->SetPixelsPerInch(ppi);
  auto form = std::make_unique<TForm1>(nullptr);
  Screen->SetPixelsPerInch(saved);
  return form;
}

std::uint32_t Px(TBitmap& b, int x, int y) {
  const std::uint8_t* p = b.ScanLine(y) + x * 4;
  return std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
}

bool Near(std::uint32_t rgb, std::uint32_t want, int tol) {
  for (int s = 0; s < 24; s += 8)
    if (std::abs(int((rgb >> s) & 255) - int((want >> s) & 255)) > tol) return false;
  return true;
}

}  // namespace

TEST(MainWindow, StoredLayoutGivesTheWindowAndItsChildren) {
  auto f = MakeForm();
  EXPECT_EQ(f->Caption(), L"NAVEKO \x062A\x062D\x062F\x064A\x062B \x0627\x062F\x0648\x064A\x0629");
  EXPECT_EQ(f->Width(), 320);
  EXPECT_EQ(f->Height(), 448);
  EXPECT_EQ(f->Position(), TPosition::poScreenCenter);
  EXPECT_EQ(f->BorderIcons(), std::uint32_t(biSystemMenu));
  EXPECT_EQ(f->BorderStyle(), TFormBorderStyle::bsSizeable);
  EXPECT_EQ(f->Color(), clWindow);
  EXPECT_FALSE(f->Ctl3D());
  EXPECT_EQ(f->Font()->Name(), L"Tahoma");
  EXPECT_EQ(f->Font()->Height(), -11);
  EXPECT_EQ(f->Font()->Charset(), ARABIC_CHARSET);
  EXPECT_EQ(f->Font()->Color(), clWindowText);

  const int cw = f->ClientWidth();
  EXPECT_EQ(f->Image2->BoundsRect(), Bounds(0, 0, cw, 201));
  EXPECT_EQ(f->Image2->Align(), TAlign::alTop);
  EXPECT_TRUE(f->Image2->Stretch());
  EXPECT_EQ(f->Image2->Picture()->Width(), 534);
  EXPECT_EQ(f->Image2->Picture()->Height(), 250);
  EXPECT_EQ(f->Image1->BoundsRect(), Bounds(0, 288, 302, 121));
  EXPECT_TRUE(f->Image1->Stretch());
  EXPECT_EQ(f->Image1->Picture()->Width(), 473);
  EXPECT_EQ(f->Image1->Picture()->Height(), 239);

  EXPECT_EQ(f->StringGrid1->BoundsRect(), Bounds(40, 80, 249, 129));
  EXPECT_FALSE(f->StringGrid1->Visible());
  EXPECT_EQ(f->StringGrid1->ColCount(), 30);
  EXPECT_EQ(f->StringGrid1->RowCount(), 1500);
  EXPECT_EQ(f->StringGrid1->TabOrder(), 0);

  te::TTeButton* b = f->UploadBut;
  EXPECT_EQ(b->BoundsRect(), Bounds(8, 224, 273, 49));
  EXPECT_EQ(b->Caption(), L"\x062A\x062D\x062F\x064A\x062B 26-3-2022");
  EXPECT_FALSE(b->ParentFont());
  EXPECT_EQ(b->Font()->Name(), L"Tahoma");
  EXPECT_EQ(b->Font()->Height(), -19);
  EXPECT_EQ(b->Font()->Style(), std::uint32_t(fsBold));
  EXPECT_EQ(b->Font()->Color(), clRed);
  EXPECT_EQ(b->Font()->Charset(), ARABIC_CHARSET);
  EXPECT_EQ(b->TabOrder(), 1);
  EXPECT_TRUE(b->Enabled());
  EXPECT_EQ(b->OnClick.MethodName, "TeButton1Click");
  EXPECT_EQ(f->OnShow.MethodName, "FormShow");
  EXPECT_EQ(f->OnClose.MethodName, "FormClose");

  EXPECT_EQ(f->ADOConnection1->CommandTimeout(), 50);
  EXPECT_EQ(f->qgeneral->CommandTimeout(), 50);
  EXPECT_EQ(f->qgeneral->Connection(), f->ADOConnection1);
  EXPECT_EQ(f->qgeneral->ParamCount(), 0);
  EXPECT_FALSE(f->ADOConnection1->Connected());
}

TEST(MainWindow, FrameIsSizeableWithSystemMenuAndCloseBoxOnly) {
  auto f = MakeForm();
  const LONG style = ::GetWindowLongW(f->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_THICKFRAME);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_EQ(::GetWindowLongW(f->Handle(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL, 0) << "no mirroring";
}

TEST(MainWindow, ShowingCentresTheWindowOnThePrimaryScreen) {
  auto f = MakeForm();
  f->OnShow = std::function<void(TObject*)>();  // the database and the download are the end-to-end tests' business
  f->Show();
  RECT r;
  ::GetWindowRect(f->Handle(), &r);
  EXPECT_EQ(r.right - r.left, 320);
  EXPECT_EQ(r.bottom - r.top, 448);
  EXPECT_EQ(r.left, (::GetSystemMetrics(SM_CXSCREEN) - 320) / 2);
  EXPECT_EQ(r.top, (::GetSystemMetrics(SM_CYSCREEN) - 448) / 2);
}

TEST(MainWindow, ResizingWidensOnlyTheUpperPicture) {
  auto f = MakeForm();
  f->HandleNeeded();
  const int cw = f->ClientWidth();
  f->SetBounds(f->Left(), f->Top(), 420, 500);
  EXPECT_EQ(f->ClientWidth(), cw + 100);
  EXPECT_EQ(f->Image2->BoundsRect(), Bounds(0, 0, cw + 100, 201));
  EXPECT_EQ(f->Image1->BoundsRect(), Bounds(0, 288, 302, 121));
  EXPECT_EQ(f->UploadBut->BoundsRect(), Bounds(8, 224, 273, 49));
  f->SetBounds(f->Left(), f->Top(), 250, 448);
  EXPECT_EQ(f->Image2->Width(), cw - 70);
  EXPECT_EQ(f->UploadBut->BoundsRect(), Bounds(8, 224, 273, 49));
}

TEST(MainWindow, At120DpiEverythingIsScaledInProportion) {
  auto base = MakeForm(96);
  auto f = MakeForm(120);
  auto scaled = [](TRect r) {
    const int l = fw::MulDiv(r.Left, 120, 96), t = fw::MulDiv(r.Top, 120, 96);
    return Rect(l, t, fw::MulDiv(r.Right, 120, 96), fw::MulDiv(r.Bottom, 120, 96));
  };
  EXPECT_EQ(f->UploadBut->BoundsRect(), scaled(Bounds(8, 224, 273, 49)));
  EXPECT_EQ(f->UploadBut->BoundsRect(), Rect(10, 280, 351, 341));
  EXPECT_EQ(f->Image1->BoundsRect(), scaled(Bounds(0, 288, 302, 121)));
  EXPECT_EQ(f->StringGrid1->BoundsRect(), scaled(Bounds(40, 80, 249, 129)));
  EXPECT_EQ(f->ClientWidth(), fw::MulDiv(base->ClientWidth(), 120, 96));
  EXPECT_EQ(f->ClientHeight(), fw::MulDiv(base->ClientHeight(), 120, 96));
  EXPECT_EQ(f->Image2->BoundsRect(), Rect(0, 0, f->ClientWidth(), fw::MulDiv(201, 120, 96)));
  EXPECT_EQ(f->Font()->Height(), -14);
  EXPECT_EQ(f->UploadBut->Font()->Height(), -24);
  EXPECT_FALSE(f->UploadBut->ParentFont());
}

TEST(MainWindow, RendersBothPicturesTheButtonAndTheWindowColour) {
  auto f = MakeForm();
  f->HandleNeeded();
  const int cw = f->ClientWidth(), ch = f->ClientHeight();
  TBitmap shot;
  shot.SetPixelFormat(TPixelFormat::pf32bit);
  shot.SetSize(cw, ch);
  f->PaintTo(shot.Canvas().Handle(), 0, 0);
  EXPECT_TRUE(Near(Px(shot, 3, 3), 0x0B4F8A, 24)) << std::hex << Px(shot, 3, 3);            // banner
  EXPECT_TRUE(Near(Px(shot, 150, 292), 0x0B4F8A, 24)) << std::hex << Px(shot, 150, 292);    // panel heading
  EXPECT_TRUE(Near(Px(shot, 150, 400), 0xF4F7FA, 16)) << std::hex << Px(shot, 150, 400);    // panel body
  const COLORREF win = ::GetSysColor(COLOR_WINDOW);
  const std::uint32_t winRgb = std::uint32_t(GetRValue(win)) << 16 | GetGValue(win) << 8 | GetBValue(win);
  EXPECT_EQ(Px(shot, 150, 212), winRgb);                                                     // between
  EXPECT_EQ(Px(shot, 305, 300), winRgb) << "right of the lower picture";
  // The button's face: the visual style's push button when styles are in use, else the classic face's colour.
  std::uint32_t face;
  if (te::ThemesActive()) {
    TBitmap expected;
    expected.SetPixelFormat(TPixelFormat::pf32bit);
    expected.SetSize(273, 49);
    te::TThemeData(nullptr, L"Button").DrawBackground(expected.Canvas().Handle(), 1, 1, Rect(0, 0, 273, 49));
    face = Px(expected, 12, 24);
  } else {
    const COLORREF c = ::GetSysColor(COLOR_BTNFACE);
    face = std::uint32_t(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
  }
  EXPECT_EQ(Px(shot, 20, 248), face);
  // The caption is drawn in bold red somewhere across the button's middle row.
  int red = 0;
  for (int x = 8; x < 281; ++x)
    for (int y = 240; y < 258; ++y)
      if (Px(shot, x, y) == 0xFF0000) ++red;
  EXPECT_GT(red, 40);
}

TEST(MainWindow, LayoutWrittenBackReadsToTheSameWindow) {
  auto f = MakeForm();
  const std::string text = WriteComponentText(*f);
  EXPECT_EQ(text.find("TabStop"), std::string::npos);
  EXPECT_NE(text.find("OnClick = TeButton1Click"), std::string::npos);
  TForm1 copy(nullptr);  // reads the resource itself, then the written text over it
  EXPECT_EQ(WriteComponentText(copy), text);
}
