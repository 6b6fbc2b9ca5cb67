// The theme layer under Wine: the theme object's tables, defaults, shifts,
// assignment and streams; DrawTextInfo's placement on pixels; the base drawing
// operations as a table of fills and frames; the window-frame geometry; the
// theme manager, its queries, notices and font store.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/core/exception.h"
#include "framework/win/forms.h"
#include "framework/win/stdctrls.h"
#include "tests/support/pixels.h"
#include "tests/themed/win/see_through.h"
#include "themed/core/te_colors.h"
#include "themed/core/te_theme_streams.h"
#include "themed/win/te_controls.h"
#include "themed/win/te_theme.h"
#include "themed/win/te_utils.h"
#include "themed/win/te_winapi.h"

using namespace te;
using fw::TRect;
using fwtest::Rgb;
using fwtest::TDibTarget;
using tetest::TSeeThrough;

namespace {

// A canvas on a fresh white DIB.
struct TSheet {
  TSheet(int w, int h) : target(w, h) {
    target.Fill(0xFFFFFF);
    canvas.SetHandle(target.DC());
  }
  ~TSheet() { canvas.SetHandle(nullptr); }
  std::uint32_t At(int x, int y) { return target.At(x, y); }
  // The ink's bounding box: every pixel that is not white.
  TRect Ink() {
    TRect r{target.Width(), target.Height(), -1, -1};
    for (int y = 0; y < target.Height(); ++y)
      for (int x = 0; x < target.Width(); ++x)
        if (At(x, y) != 0xFFFFFF) {
          r.Left = std::min(r.Left, x);
          r.Top = std::min(r.Top, y);
          r.Right = std::max(r.Right, x + 1);
          r.Bottom = std::max(r.Bottom, y + 1);
        }
    return r;
  }
  TDibTarget target;
  fw::TCanvas canvas;
};

}  // namespace

// ---- The theme object -------------------------------------------------------------------

TEST(ThemeObject, ConstructionGivesEveryTableItsDefaults) {
  TteTheme t;
  EXPECT_EQ(t.Name(), "Default theme");
  EXPECT_EQ(t.Colors().GetColor(0), 0xFF0000u);
  EXPECT_EQ(t.Colors().GetColor(4), 0u) << "Border is never set";
  for (int i = 5; i <= 11; ++i) EXPECT_EQ(t.Colors().GetColor(i), fw::clBtnFace) << "still a reference: " << i;
  EXPECT_EQ(t.Colors().GetColor(16), fw::clHighlight);
  EXPECT_EQ(t.Colors().GetColor(17), fw::clInfoBk);
  EXPECT_EQ(t.Fonts().GetFont(14).Color(), fw::TColor(fw::ColorToRGB(fw::clBtnShadow)))
      << "the value clBtnShadow had, not the reference";
  EXPECT_EQ(t.Fonts().GetFont(0).Size(), 10);
  EXPECT_EQ(t.Fonts().GetFont(0).Style(), fw::fsBold);
  EXPECT_EQ(t.Fonts().GetFont(0).Color(), 0xFFFFFFu);
  EXPECT_EQ(t.Fonts().GetFont(65).Color(), fw::TColor(fw::ColorToRGB(fw::clBtnShadow)));
  EXPECT_EQ(t.Fonts().GetFont(8).Name(), L"Tahoma") << "a font the defaults leave keeps its construction values";
  EXPECT_EQ(t.Fonts().GetFont(8).Color(), fw::TColor(fw::ColorToRGB(fw::clWindowText))) << "resolved too";
  EXPECT_EQ(t.SysColors().GetColor(4), fw::TColor(fw::ColorToRGB(fw::clBtnFace)));
  EXPECT_EQ(t.SysColors().GetColor(9), fw::clDefault);
  EXPECT_EQ(t.SysColors().GetColor(10), t.SysColors().GetColor(1)) << "entry 10 repeats entry 1";
  EXPECT_FALSE(t.Options().Flag(0));
  EXPECT_FALSE(t.Options().Flag(1));
  std::string kind;
  t.GetKindName(kind);
  EXPECT_EQ(kind, "Default");
  TteThemeInfo info{1, 2, 3, "a", "b"};
  t.GetThemeInfo(info);
  EXPECT_EQ(info.Value1 + info.Value2 + info.Value3, 0);
  EXPECT_TRUE(info.Text1.empty() && info.Text2.empty());
  EXPECT_EQ(t.ReservedQuery1() | t.ReservedQuery3() | t.ReservedQuery5(), 0);
}

TEST(ThemeObject, ObjectFontIsTheStoredFontOnlyForDefaultExactly) {
  TteTheme t;
  fw::TFont& stored = t.Fonts().GetFont(10);
  EXPECT_EQ(&t.Fonts().GetObjectFont(10, "default"), &stored);
  fw::TFont& other = t.Fonts().GetObjectFont(10, "Default");
  EXPECT_NE(&other, &stored) << "the name is compared exactly";
  EXPECT_TRUE(other.SameAs(stored));
  EXPECT_EQ(&t.Fonts().GetObjectFont(11, "MyButton"), &other) << "one scratch font, overwritten by the next call";
  t.Fonts().GetObjectFont(10, "default").SetSize(20);
  EXPECT_EQ(stored.Size(), 20) << "changing what \"default\" gives changes the theme";
}

TEST(ThemeObject, ShiftsApplyToTheDefaultsAndZeroLeavesColourReferences) {
  TteTheme t;
  t.SetBrightnessShift(20);
  t.SetDefaults();
  const fw::TColor face = fw::ColorToRGB(fw::clBtnFace);
  EXPECT_EQ(t.Colors().GetColor(7), TeColorToColor(ChangeBrightness(RgbToTeColor(face, 255), 20)));
  EXPECT_EQ(t.Fonts().GetFont(0).Color(), 0xFFFFFFu) << "white stays white";
  EXPECT_EQ(t.Fonts().GetFont(10).Color(), 0x141414u) << "black brightened by 20";
  TteTheme hue;
  hue.SetHueShift(85);  // a third of a turn: red becomes green
  hue.SetDefaultColors();
  EXPECT_EQ(hue.Colors().GetColor(0), TeColorToColor(ChangeHue(RgbToTeColor(0xFF0000, 255), 85)));
  EXPECT_NE(hue.Colors().GetColor(0), 0xFF0000u);
}

TEST(ThemeObject, AssignCopiesTheNameAndTablesButNotTheShifts) {
  TteTheme a, b;
  a.SetName("Mine");
  a.SetHueShift(9);
  a.Note = "kept apart";
  a.Colors().SetColor(3, 0x123456);
  a.SysColors().SetColor(0, 0x654321);
  a.Fonts().GetFont(5).SetSize(17);
  a.Options().SetFlag(1, true);
  b.Assign(a);
  EXPECT_EQ(b.Name(), "Mine");
  EXPECT_EQ(b.Colors().GetColor(3), 0x123456u);
  EXPECT_EQ(b.SysColors().GetColor(0), 0x654321u);
  EXPECT_EQ(b.Fonts().GetFont(5).Size(), 17);
  EXPECT_NE(&b.Fonts().GetFont(5), &a.Fonts().GetFont(5)) << "assigned one by one, not shared";
  EXPECT_TRUE(b.Options().Flag(1));
  EXPECT_EQ(b.HueShift(), 0);
  EXPECT_TRUE(b.Note.empty());
  fw::TFont other;
  EXPECT_THROW(b.Assign(other), fw::Exception);
  EXPECT_THROW(b.Colors().Assign(b.SysColors()), fw::Exception);
}

TEST(ThemeStreams, EveryTableRoundTripsWithItsCountForm) {
  TteTheme a;
  a.Colors().SetColor(4, 0xABCDEF);
  a.Colors().SetColor(21, fw::clInfoText);
  a.SysColors().SetColor(3, 0x010203);
  a.Fonts().GetFont(10).SetStyle(fw::fsBold);
  a.Fonts().GetFont(11).SetStyle(fw::fsItalic);
  a.Fonts().GetFont(12).SetName(L"Courier New");
  a.Fonts().GetFont(12).SetColor(fw::clBtnShadow);  // written as the colour it stands for
  a.Options().SetFlag(0, true);
  std::ostringstream colours, sys, fonts, options;
  a.Colors().SaveToStream(colours);
  a.SysColors().SaveToStream(sys);
  a.Fonts().SaveToStream(fonts);
  a.Options().SaveToStream(options);
  EXPECT_EQ(std::uint8_t(colours.str()[0]), 21);
  EXPECT_EQ(sys.str().substr(0, 4), std::string("\x1A\0\0\0", 4));
  EXPECT_EQ(std::uint8_t(fonts.str()[0]), 65);
  EXPECT_EQ(options.str(), std::string("\x01\x01\x00", 3));
  EXPECT_NE(fonts.str().find("ButtonTextNormal"), std::string::npos);
  EXPECT_NE(fonts.str().find("Tahoma,8,1,0,0,0,bold"), std::string::npos);

  TteTheme b;
  std::istringstream c(colours.str()), s(sys.str()), f(fonts.str()), o(options.str());
  b.Colors().LoadFromStream(c);
  b.SysColors().LoadFromStream(s);
  b.Fonts().LoadFromStream(f);
  b.Options().LoadFromStream(o);
  for (int i = 0; i < TteThemeColors::kCount; ++i) EXPECT_EQ(b.Colors().GetColor(i), a.Colors().GetColor(i)) << i;
  EXPECT_EQ(b.Colors().GetColor(5), fw::clBtnFace) << "references survive";
  for (int i = 0; i < TteThemeSysColors::kCount; ++i) EXPECT_EQ(b.SysColors().GetColor(i), a.SysColors().GetColor(i));
  EXPECT_EQ(b.Fonts().GetFont(10).Style(), fw::fsBold) << "a font whose only style is bold reads back bold";
  EXPECT_EQ(b.Fonts().GetFont(11).Style(), fw::fsItalic);
  EXPECT_EQ(b.Fonts().GetFont(12).Name(), L"Courier New");
  EXPECT_EQ(b.Fonts().GetFont(12).Color(), fw::TColor(fw::ColorToRGB(fw::clBtnShadow)));
  EXPECT_TRUE(b.Options().Flag(0));
}

TEST(ThemeStreams, ABadColourStopsTheLoadAndKeepsWhatWasRead) {
  std::ostringstream out;
  WriteEntryTable(
      out, true,
      {{"CaptionNormal", "clRed"}, {"CaptionInactive", "clLime"}, {"WindowBorder", "grey"}, {"Window", "clNavy"}});
  TteTheme t;
  const fw::TColor window = t.Colors().GetColor(3);
  std::istringstream in(out.str());
  EXPECT_THROW(t.Colors().LoadFromStream(in), fw::EConvertError);
  EXPECT_EQ(t.Colors().GetColor(0), 0x0000FFu);
  EXPECT_EQ(t.Colors().GetColor(1), 0x00FF00u);
  EXPECT_EQ(t.Colors().GetColor(3), window) << "nothing past the bad entry";
}

// ---- DrawTextInfo --------------------------------------------------------------------------

namespace {
TRect InkOf(const TteTextInfo& info, int w = 120, int h = 40) {
  TSheet s(w, h);
  s.canvas.Font().SetName(L"Tahoma");
  s.canvas.Font().SetHeight(-11);
  s.canvas.Font().SetColor(fw::clBlack);
  TteTheme t;
  t.DrawTextInfo(s.canvas, info);
  return s.Ink();
}
}  // namespace

TEST(DrawTextInfo, AlignmentMovesTheRectangleByTheMeasuredText) {
  const TRect box = fw::Rect(10, 5, 110, 35);
  const TRect topLeft = InkOf(MakeTextInfo(box, L"Update", 0));
  const TRect centre = InkOf(MakeTextInfo(box, L"Update", dt::Center | dt::VCenter));
  const TRect bottomRight = InkOf(MakeTextInfo(box, L"Update", dt::Right | dt::Bottom));
  ASSERT_GE(topLeft.Right, 0) << "something was drawn";
  EXPECT_LE(topLeft.Left, 12);
  EXPECT_LE(topLeft.Top, 8);
  EXPECT_GT(centre.Left, topLeft.Left + 20);
  EXPECT_GT(centre.Top, topLeft.Top + 3);
  EXPECT_GE(bottomRight.Right, 106);
  EXPECT_LE(bottomRight.Right, 110);
  EXPECT_GT(bottomRight.Top, centre.Top);
  EXPECT_EQ(centre.Width(), topLeft.Width()) << "the same text, only moved";
}

TEST(DrawTextInfo, ATextWiderThanTheRectangleCentresAcrossBothEdges) {
  const TRect box = fw::Rect(50, 5, 70, 35);  // 20 wide, the text far wider
  const TRect centred = InkOf(MakeTextInfo(box, L"A long caption", dt::Center | dt::VCenter | dt::SingleLine));
  EXPECT_LT(centred.Left, 50) << "starts left of the rectangle by half the excess";
  EXPECT_GT(centred.Right, 70);
  // The measured text, its left at the rectangle's left + (20 - w) div 2.
  TSheet measure(10, 10);
  measure.canvas.Font().SetName(L"Tahoma");
  measure.canvas.Font().SetHeight(-11);
  TRect m = box;
  DrawTextWide(measure.canvas, L"A long caption", m, DT_SINGLELINE | DT_CALCRECT);
  const int left = 50 + (20 - m.Width()) / 2;
  EXPECT_GE(centred.Left, left);
  EXPECT_LE(centred.Left, left + 2);
  EXPECT_LE(centred.Right, left + m.Width());
  const TRect leftTop = InkOf(MakeTextInfo(box, L"A long caption", dt::SingleLine));
  EXPECT_GE(leftTop.Left, 50) << "alignment 0 draws from the rectangle's left edge";
}

TEST(DrawTextInfo, RightToLeftReadingTurnsMiddleLeftIntoMiddleRight) {
  const TRect box = fw::Rect(0, 0, 120, 40);
  const TRect plain = InkOf(MakeTextInfo(box, L"abc", dt::VCenter));
  const TRect rtl = InkOf(MakeTextInfo(box, L"abc", dt::VCenter | dt::RtlReading));
  EXPECT_LT(plain.Right, 40);
  EXPECT_GT(rtl.Left, 80) << "drawn at the right";
  const TRect centre = InkOf(MakeTextInfo(box, L"abc", dt::VCenter | dt::Center | dt::RtlReading));
  EXPECT_NEAR((centre.Left + centre.Right) / 2, 60, 3) << "the centre stays";
}

TEST(DrawTextInfo, RotatedTextStandsUpInsideItsRectangleAndOtherAlignmentsDrawNothing) {
  TteTextInfo t = MakeTextInfo(fw::Rect(0, 0, 40, 100), L"Rotated", 0);
  t.Orientation = 1;
  const TRect turned = InkOf(t, 40, 100);
  ASSERT_GE(turned.Right, 0);
  EXPECT_GT(turned.Height(), turned.Width()) << "taller than wide";
  t.Alignment = 4;
  const TRect centred = InkOf(t, 40, 100);
  ASSERT_GE(centred.Right, 0);
  EXPECT_NEAR((centred.Top + centred.Bottom) / 2, 50, 4);
  EXPECT_NEAR((centred.Left + centred.Right) / 2, 20, 4);
  t.Alignment = 7;
  EXPECT_LT(InkOf(t, 40, 100).Right, 0) << "nothing drawn";
  t.Orientation = 0;
  t.Alignment = 9;
  EXPECT_LT(InkOf(t, 40, 100).Right, 0) << "alignments above 8 draw nothing";
}

// ---- The base drawing operations -------------------------------------------------------------

namespace {

constexpr fw::TColor kBlackC = 0x000000, kWhiteC = 0xFFFFFF, kRedC = 0x0000FF, kGreenC = 0x008000, kBlueC = 0xFF0000,
                     kNavyC = 0x800000, kYellowC = 0x00FFFF, kSilverC = 0xC0C0C0, kGreyC = 0x808080;

struct TFillFrame {
  const char* name;
  std::function<void(TteTheme&, fw::TCanvas&, const TRect&)> draw;
  fw::TColor fill, frame;
};

}  // namespace

TEST(ThemeDrawing, APlainThemeDefinesNoObjectForAnyName) {
  TteTheme t;
  for (const char* name : {"default", "Default", "MyButton", ""})
    for (std::uint8_t sub : {0, 1, 4, 5}) {
      EXPECT_FALSE(t.HasWindowObject(sub, name) || t.HasButtonObject(sub, name) || t.HasCheckBoxObject(sub, name) ||
                   t.HasScrollBarObject(sub, name) || t.HasStatusBarObject(sub, name) || t.HasEditObject(sub, name) ||
                   t.HasMenuObject(sub, name) || t.HasToolBarObject(sub, name) || t.HasTabObject(sub, name) ||
                   t.HasListObject(sub, name) || t.HasTreeObject(sub, name) || t.HasKindAObject(sub, name) ||
                   t.HasKindBObject(sub, name) || t.HasKindCObject(sub, name) || t.HasKindDObject(sub, name) ||
                   t.HasKindEObject(sub, name) || t.HasKindFObject(sub, name) || t.HasKindGObject(sub, name) ||
                   t.HasKindHObject(sub, name) || t.HasKindIObject(sub, name) || t.HasKindJObject(sub, name) ||
                   t.HasKindKObject(sub, name) || t.HasKindLObject(sub, name) || t.HasKindMObject(sub, name))
          << name;
      EXPECT_FALSE(t.IsButtonTransparent(sub, name));
      EXPECT_TRUE(t.IsCheckBoxTransparent(sub, name) && t.IsTabTransparent(sub, name) &&
                  t.IsKindBTransparent(sub, name) && t.IsKindFTransparent(sub, name) &&
                  t.IsKindHTransparent(sub, name));
    }
  fw::TPoint size;
  t.GetCheckBoxSize(0, "default", size);
  EXPECT_EQ(size, (fw::TPoint{13, 13}));
  EXPECT_EQ(t.GetWindowRegion(0, fw::Rect(0, 0, 10, 10), "default"), nullptr);
}

TEST(ThemeDrawing, PlaceholderFacesFillAndFrameInTheirColours) {
  TteTheme t;
  auto info = [](const TRect& r, std::uint8_t state = 0) { return MakeObjectInfo(r, state); };
  auto info2 = [](const TRect& r, std::uint8_t part = 0, std::uint8_t state = 0) {
    return MakeObjectInfo2(r, part, state);
  };
  const std::vector<TFillFrame> table = {
      {"KindA", [](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawKindA(0, c, r, "x"); }, kYellowC, kRedC},
      {"KindD", [](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawKindD(0, c, r, "x"); }, kYellowC, kRedC},
      {"KindF", [](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawKindF(0, c, r, "x"); }, kBlueC, kRedC},
      {"KindFItem", [&](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawKindFItem(0, c, info2(r), "x"); },
       kYellowC, kBlueC},
      {"KindG", [](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawKindG(0, c, r, "x"); }, kWhiteC, kBlackC},
      {"KindGItem 4",
       [&](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawKindGItem(0, c, info2(r, 200, 4), "x"); }, kYellowC,
       kBlackC},
      {"KindGItem 6", [&](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawKindGItem(0, c, info2(r, 0, 6), "x"); },
       kGreyC, kBlackC},
      {"KindGItem 7", [&](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawKindGItem(0, c, info2(r, 0, 7), "x"); },
       kWhiteC /* no fill */, kBlackC},
      {"StatusBar", [](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawStatusBar(0, c, r, "x"); }, kSilverC,
       kBlackC},
      {"StatusPanel", [&](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawStatusPanel(0, c, info(r), "x"); },
       kGreyC, kBlackC},
      {"Edit", [&](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawEdit(0, c, info(r), "x"); }, kBlueC, kRedC},
      {"EditButton", [&](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawEditButton(0, c, info2(r), "x"); },
       kGreenC, kYellowC},
      {"KindI", [&](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawKindI(0, c, info(r), "x"); }, kBlueC, kRedC},
      {"Menu", [](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawMenu(0, c, r, "x"); }, kWhiteC, kRedC},
      {"MenuItem hot", [&](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawMenuItem(0, c, info2(r, 0, 1), "x"); },
       kYellowC, kRedC},
      {"MenuItem pressed",
       [&](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawMenuItem(0, c, info2(r, 0, 2), "x"); }, kGreyC, kRedC},
      {"ToolBar", [](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawToolBar(0, c, r, "x"); }, kGreenC, kBlueC},
      {"KindK", [](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawKindK(0, c, r, "x"); }, kYellowC, kRedC},
      {"KindLPart1", [&](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawKindLPart1(0, c, info(r), "x"); },
       kGreenC, kBlackC},
      {"KindLPart2", [&](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawKindLPart2(0, c, info2(r), "x"); }, kRedC,
       kBlueC},
      {"KindLPart3", [&](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawKindLPart3(0, c, info2(r), "x"); },
       kGreenC, kYellowC},
      {"TabPage", [](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawTabPage(0, c, r, "x"); }, kSilverC, kYellowC},
      {"Tab", [&](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawTab(0, c, info2(r), "x"); }, kYellowC, kRedC},
      {"TabPart", [&](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawTabPart(0, c, info2(r), "x"); }, kWhiteC,
       kBlueC},
      {"List", [](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawList(0, c, r, "x"); }, fw::clWindow, kRedC},
      {"Tree", [](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawTree(0, c, r, "x"); }, fw::clWindow, kRedC},
      {"ListItem navy", [&](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawListItem(0, c, info(r, 2), "x"); },
       kNavyC, kBlueC},
      {"TreeItem silver", [&](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawTreeItem(0, c, info(r, 4), "x"); },
       kSilverC, kBlueC},
      {"ListItem 9", [&](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawListItem(0, c, info(r, 9), "x"); },
       kWhiteC, kBlueC},
      {"KindM", [](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawKindM(0, c, r, "x"); }, kWhiteC, kRedC},
      {"KindMCell 3", [&](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawKindMCell(0, c, info2(r, 3, 0), "x"); },
       kBlueC, kBlueC},
      {"KindMCell line",
       [&](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawKindMCell(0, c, info2(r, 3, 1), "x"); }, kWhiteC,
       kGreyC},
      {"ScrollThumb 1",
       [&](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawScrollBarThumb(0, c, info2(r, 0, 1), "x"); }, kBlueC,
       kBlackC},
      {"ScrollThumb 3",
       [&](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawScrollBarThumb(0, c, info2(r, 0, 3), "x"); }, kSilverC,
       kBlackC},
      {"ScrollThumb 0",
       [&](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawScrollBarThumb(0, c, info2(r, 0, 0), "x"); }, kGreyC,
       kBlackC},
      {"KindC 1", [](TteTheme& t, fw::TCanvas& c, const TRect& r) { t.DrawKindC(1, c, r, "x"); }, kSilverC, kBlackC},
  };
  for (const auto& row : table) {
    TSheet s(40, 30);
    row.draw(t, s.canvas, fw::Rect(5, 5, 35, 25));
    EXPECT_EQ(s.At(20, 15), Rgb(row.fill)) << row.name << ": fill";
    EXPECT_EQ(s.At(5, 5), Rgb(row.frame)) << row.name << ": frame, top-left";
    EXPECT_EQ(s.At(34, 24), Rgb(row.frame)) << row.name << ": frame, bottom-right";
    EXPECT_EQ(s.At(4, 4), 0xFFFFFFu) << row.name << ": nothing outside";
  }
  // Operations that draw nothing in the base class.
  TSheet s(40, 30);
  const TRect r = fw::Rect(5, 5, 35, 25);
  t.DrawKindCPart(0, s.canvas, info2(r), "x");
  t.DrawScrollBar(0, s.canvas, r, "x");
  t.DrawKindE(0, s.canvas, info2(r), "x");
  t.DrawKindFPart(0, s.canvas, info2(r), "x");
  t.DrawKindJ(0, s.canvas, info(r), "x");
  t.DrawToolDock(0, s.canvas, r, "x");
  t.DrawToolBarPart(0, s.canvas, info2(r), "x");
  t.DrawKindL(0, s.canvas, r, "x");
  t.DrawListPart(0, s.canvas, r, "x");
  t.DrawCheckBox(0, s.canvas, info(r), "x");
  t.DrawKindC(2, s.canvas, r, "x");
  t.DrawMenuItem(0, s.canvas, info2(r, 5, 0), "x");
  EXPECT_LT(s.Ink().Right, 0);
}

TEST(ThemeDrawing, ContentRectanglesAreTheObjectRectangleInset) {
  TteTheme t;
  TSheet s(10, 10);
  const TRect r = fw::Rect(0, 0, 100, 60);
  TRect out;
  t.GetKindAContentRect(0, s.canvas, r, "x", out);
  EXPECT_EQ(out, fw::Rect(10, 13, 90, 47));
  t.GetStatusBarContentRect(0, r, "x", out);
  EXPECT_EQ(out, fw::Rect(5, 2, 95, 58));
  t.GetEditContentRect(0, s.canvas, MakeObjectInfo(r, 0), "x", out);
  EXPECT_EQ(out, fw::Rect(3, 3, 97, 57));
  t.GetMenuContentRect(0, r, "x", out);
  EXPECT_EQ(out, fw::Rect(3, 5, 97, 55));
  t.GetToolBarContentRect(0, r, "x", out);
  EXPECT_EQ(out, fw::Rect(11, 2, 98, 58));
  t.GetKindKContentRect(0, s.canvas, r, "x", out);
  EXPECT_EQ(out, fw::Rect(3, 3, 97, 57));
  t.GetListContentRect(0, r, "x", out);
  EXPECT_EQ(out, fw::Rect(4, 5, 96, 55));
  t.GetTreeContentRect(0, r, "x", out);
  EXPECT_EQ(out, fw::Rect(2, 2, 98, 58));
  t.GetKindMContentRect(0, r, "x", out);
  EXPECT_EQ(out, fw::Rect(2, 2, 98, 58));
  for (auto get : std::vector<std::function<void(TRect&)>>{
           [&](TRect& o) { t.GetKindCContentRect(0, r, "x", o); },
           [&](TRect& o) { t.GetKindEContentRect(0, MakeObjectInfo2(r, 0, 0), "x", o); },
           [&](TRect& o) { t.GetKindHContentRect(0, MakeObjectInfo(r, 0), "x", o); },
           [&](TRect& o) { t.GetKindIContentRect(0, s.canvas, MakeObjectInfo(r, 0), "x", o); },
           [&](TRect& o) { t.GetKindJContentRect(0, s.canvas, MakeObjectInfo(r, 0), "x", o); },
           [&](TRect& o) { t.GetToolDockContentRect(0, r, "x", o); },
           [&](TRect& o) { t.GetKindLContentRect(0, s.canvas, r, "x", o); },
           [&](TRect& o) { t.GetTabContentRect(0, r, "x", o); }}) {
    get(out);
    EXPECT_EQ(out, r);
  }
}

TEST(ThemeDrawing, TheButtonFaceByState) {
  TteTheme t;
  t.Colors().SetColor(7, 0x305070);
  t.Colors().SetColor(9, 0x604020);
  t.Colors().SetColor(10, 0x10A010);
  const TRect r = fw::Rect(0, 0, 30, 20);
  for (std::uint8_t state : {StateNormal, StateDefault}) {
    TSheet s(30, 20);
    t.DrawButton(0, s.canvas, MakeObjectInfo(r, state), "x");
    EXPECT_EQ(s.At(0, 0), 0u) << "the black outline";
    EXPECT_EQ(s.At(15, 10), Rgb(0x10A010)) << "theme colour 10, state " << int(state);
  }
  TSheet disabled(30, 20);
  t.DrawButton(0, disabled.canvas, MakeObjectInfo(r, StateDisabled), "x");
  EXPECT_LT(disabled.Ink().Right, 0) << "a disabled button draws nothing";
  TSheet pressed(30, 20);
  t.DrawButton(0, pressed.canvas, MakeObjectInfo(r, StatePressed), "x");
  EXPECT_EQ(pressed.At(1, 1), Rgb(ShiftColor(0x604020, -30))) << "sunken: dark at the top-left";
  EXPECT_EQ(pressed.At(28, 18), Rgb(ShiftColor(0x604020, 30)));
  EXPECT_EQ(pressed.At(15, 10), Rgb(0x604020));
  TSheet hot(30, 20);
  t.DrawButton(0, hot.canvas, MakeObjectInfo(r, StateHot), "x");
  EXPECT_EQ(hot.At(1, 1), Rgb(ShiftColor(0x305070, 30)));
  EXPECT_EQ(hot.At(15, 10), Rgb(0x305070));
  EXPECT_EQ(ShiftColor(0xF0F010, 30), 0xFFFF2Eu) << "each channel kept within 0..255";
}

TEST(ThemeDrawing, GlyphsOfButtonsMenusAndLists) {
  TteTheme t;
  TteBitmap b;
  b.SetSize(4, 4);
  b.Fill(0xFF00FF00);
  b.SetPixel(0, 0, TransparentKey);
  b.Transparent = true;
  TSheet keyed(20, 20);
  t.DrawButtonGlyph(0, keyed.canvas, MakeObjectInfo({}, 0), MakeGlyphInfo(fw::Rect(5, 6, 9, 10), &b, 4), "x");
  EXPECT_EQ(keyed.At(5, 6), 0xFFFFFFu) << "the key colour leaves what lies beneath";
  EXPECT_EQ(keyed.At(6, 6), 0x00FF00u);
  TSheet stretched(20, 20);
  t.DrawStatusPanelGlyph(0, stretched.canvas, MakeObjectInfo({}, 0), MakeGlyphInfo(fw::Rect(0, 0, 16, 16), &b, 0), "x");
  EXPECT_EQ(stretched.At(12, 12), 0x00FF00u) << "stretched into the glyph rectangle";
  TSheet list(40, 40);
  t.DrawListItemGlyph(0, list.canvas, MakeObjectInfo({}, 0), MakeGlyphInfo(fw::Rect(0, 0, 40, 40), nullptr, 0, 2), "x");
  EXPECT_EQ(list.At(12, 12), Rgb(kBlackC)) << "the frame of the centred square";
  EXPECT_EQ(list.At(13, 13), Rgb(kRedC));
  EXPECT_EQ(list.At(20, 20), Rgb(kGreyC)) << "kind 2: its inside grey";
  TSheet radio(20, 20);
  t.DrawMenuItemGlyph(0, radio.canvas, MakeObjectInfo2({}, 0, 0), MakeMenuGlyphInfo(fw::Rect(0, 0, 20, 20), kgkRadio),
                      "x");
  EXPECT_EQ(radio.Ink(), fw::Rect(7, 7, 13, 13)) << "a 6 x 6 mark in the middle";
  TSheet check(20, 20);
  check.canvas.Font().SetColor(kRedC);
  t.DrawToolItemGlyph(0, check.canvas, MakeObjectInfo2({}, 0, 0), MakeMenuGlyphInfo(fw::Rect(0, 0, 20, 20), kgkCheck),
                      "x");
  const TRect ink = check.Ink();
  EXPECT_GE(ink.Left, 4);
  EXPECT_LE(ink.Right, 16);
  EXPECT_EQ(check.At(ink.Left, ink.Bottom - 1) == Rgb(kRedC) || check.At(ink.Left + 1, ink.Bottom - 2) == Rgb(kRedC) ||
                check.At(8, 12) == Rgb(kRedC),
            true)
      << "the check mark in the font's colour";
}

// ---- Window frames ---------------------------------------------------------------------------------

namespace {
TteWindowInfo Window(std::uint16_t icons) {
  return MakeWindowInfo(fw::Rect(0, 0, 200, 150), 1, {}, 0, L"Frame", icons);
}
}  // namespace

TEST(WindowFrames, GeometryAndHitTesting) {
  TteTheme t;
  const std::uint16_t close = 1 << 1, help = 1 << 2, min = 1 << 3, max = 1 << 5, menu = 1 << 0;
  const TteWindowInfo w = Window(menu | close | help | min | max);
  TRect cr, caption, helpButton, closeButton;
  t.GetWindowClientRect(0, w, "x", cr);
  EXPECT_EQ(cr, fw::Rect(4, 22, 196, 146));
  t.GetWindowCaptionRect(0, w, "x", caption);
  EXPECT_EQ(caption, fw::Rect(4, 3, 196, 22));
  t.GetWindowButtonRect(0, w, "x", closeButton, 1);
  EXPECT_EQ(closeButton, fw::Rect(173, 4, 195, 21));
  t.GetWindowButtonRect(0, w, "x", helpButton, 2);
  EXPECT_EQ(helpButton, fw::Rect(173 - 66, 4, 195 - 66, 21)) << "help left of close, maximize and minimize";
  EXPECT_EQ(t.WindowHitTest(0, w, 10, 10, "x"), 17) << "the system-menu cell, although inside the caption";
  EXPECT_EQ(t.WindowHitTest(0, w, 180, 10, "x"), 11);
  EXPECT_EQ(t.WindowHitTest(0, w, 60, 10, "x"), 1) << "the caption";
  EXPECT_EQ(t.WindowHitTest(0, w, 1, 80, "x"), 2);
  EXPECT_EQ(t.WindowHitTest(0, w, 198, 80, "x"), 4);
  EXPECT_EQ(t.WindowHitTest(0, w, 100, 148, "x"), 5);
  EXPECT_EQ(t.WindowHitTest(0, w, 1, 148, "x"), 9);
  EXPECT_EQ(t.WindowHitTest(0, w, 198, 148, "x"), 10);
  EXPECT_EQ(t.WindowHitTest(0, w, 100, 80, "x"), 0) << "the client area";
  for (int x : {1, 10, 100, 198}) EXPECT_EQ(t.WindowHitTest(3, w, x, 10, "x"), 0) << "SubKind 3 tests nothing";
}

TEST(WindowFrames, TheFrameAndItsButtons) {
  TteTheme t;
  t.Colors().SetColor(0, 0x112233);
  t.Colors().SetColor(1, 0x445566);
  t.Colors().SetColor(2, 0x778899);
  TSheet active(200, 150);
  t.DrawWindowFrame(0, active.canvas, Window(0), "x");
  EXPECT_EQ(active.At(0, 0), 0u) << "the black outline";
  EXPECT_EQ(active.At(100, 10), Rgb(0x112233)) << "the caption bar of an active window";
  EXPECT_EQ(active.At(2, 80), Rgb(0x778899)) << "the border band";
  EXPECT_EQ(active.At(100, 80), 0xFFFFFFu) << "the client area is left alone";
  TteWindowInfo inactive = Window(0);
  inactive.Flags = 0;
  TSheet sheet(200, 150);
  t.DrawWindowFrame(0, sheet.canvas, inactive, "x");
  EXPECT_EQ(sheet.At(100, 10), Rgb(0x445566));

  TSheet button(30, 30);
  t.DrawWindowButton(0, button.canvas, MakeWindowButtonInfo(fw::Rect(4, 4, 26, 26), 9, 0, nullptr), "x");
  EXPECT_EQ(button.At(21, 21), 0u) << "the tray square, moved by (1, 1) when not pressed";
  EXPECT_EQ(button.At(23, 23), 0u);
  EXPECT_NE(button.At(20, 20), 0u);
  EXPECT_EQ(button.At(25, 25), Rgb(ShiftColor(t.Colors().GetColor(7), -100)))
      << "raised: the frame's dark edge at the bottom-right";
  TSheet empty(30, 30);
  t.DrawWindowButton(0, empty.canvas, MakeWindowButtonInfo(fw::Rect(4, 4, 4, 26), 1, 0, nullptr), "x");
  EXPECT_LT(empty.Ink().Right, 0) << "an empty rectangle draws nothing";
  TSheet grip(20, 20);
  t.DrawWindowSizeGrip(0, grip.canvas, MakeObjectInfo(fw::Rect(0, 0, 20, 20), 0), "x");
  EXPECT_EQ(grip.At(15, 15), Rgb(0x778899)) << "no grip lines for a window that is not sizeable";
}

// ---- The theme manager ---------------------------------------------------------------------------

namespace {

// A theme that defines exactly the button objects it is given.
class TNamedTheme : public TteTheme {
 public:
  explicit TNamedTheme(std::vector<std::string> names) : names_(std::move(names)) {}
  bool HasButtonObject(std::uint8_t, const TObjectName& n) override {
    asked.push_back(n);
    return std::find(names_.begin(), names_.end(), n) != names_.end();
  }
  std::vector<std::string> asked;

 private:
  std::vector<std::string> names_;
};

class TLink : public TteCustomThemeLink {
 public:
  explicit TLink(TteTheme* theme) : TteCustomThemeLink(nullptr), theme_(theme) {}
  TteTheme* GetTheme() override { return theme_; }

 private:
  TteTheme* theme_;
};

// A receiver that is not a control.
class TListener : public fw::TPersistent, public fw::TMessageDispatcher {
 public:
  void Dispatch(fw::TMessage& m) override { got.push_back({m.Msg, m.WParam}); }
  std::vector<std::pair<UINT, WPARAM>> got;
};

// A control that records the notices it hears.
class TNoticed : public fw::TCustomControl {
 public:
  using fw::TCustomControl::TCustomControl;
  std::vector<WPARAM> got;
  std::function<void()> onNotice;

 protected:
  void WndProc(fw::TMessage& m) override {
    if (m.Msg == TM_THEMENOTIFY) {
      got.push_back(m.WParam);
      if (onNotice) onNotice();
      return;
    }
    fw::TCustomControl::WndProc(m);
  }
};

struct TThemeInForce {
  explicit TThemeInForce(std::unique_ptr<TteTheme> t) { SetCurrentTheme(std::move(t)); }
  ~TThemeInForce() { SetCurrentTheme(nullptr); }
};

}  // namespace

TEST(ThemeManager, TheUnitsManagerItsWindowAndClasses) {
  ASSERT_NE(ThemeManager(), nullptr);
  EXPECT_EQ(CurrentTheme(), nullptr) << "nothing in this program sets one";
  ASSERT_FALSE(ThemeManager()->ThemeClasses().empty());
  EXPECT_EQ(ThemeManager()->ThemeClasses().front(), &TteTheme::StaticClassInfo());
  HWND h = ThemeManager()->UtilityWindow();
  wchar_t cls[32] = {0};
  ::GetClassNameW(h, cls, 32);
  EXPECT_EQ(std::wstring(cls), L"TPUtilWindow");
  EXPECT_EQ(::GetParent(h), nullptr);
  EXPECT_TRUE(::GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(DWORD(::GetWindowLongW(h, GWL_STYLE)) & WS_POPUP);
  RECT r;
  ::GetWindowRect(h, &r);
  EXPECT_EQ(r.right - r.left, 0);
  ASSERT_NE(ClassHooks(), nullptr);
  EXPECT_EQ(ClassHooks()->front().Class, &fw::TGroupBox::StaticClassInfo()) << "the theme unit registers first";
}

TEST(ThemeManager, WithoutThemeOrLinkEveryQueryIsFalse) {
  for (const char* name : {"default", "Default", "any"}) {
    EXPECT_FALSE(IsButtonObjectDefined(0, name, nullptr));
    EXPECT_FALSE(IsWindowObjectDefined(0, name, nullptr) || IsCheckBoxObjectDefined(0, name, nullptr) ||
                 IsScrollBarObjectDefined(0, name, nullptr) || IsStatusBarObjectDefined(0, name, nullptr) ||
                 IsEditObjectDefined(0, name, nullptr) || IsMenuObjectDefined(1, name, nullptr) ||
                 IsToolObjectDefined(1, name, nullptr) || IsTabObjectDefined(0, name, nullptr));
  }
  EXPECT_EQ(ResolveTheme(nullptr), nullptr);
  TLink empty(nullptr);
  EXPECT_FALSE(IsButtonObjectDefined(0, "default", &empty));
  EXPECT_EQ(ResolveTheme(&empty), nullptr);
}

TEST(ThemeManager, ALinkedThemeIsAskedForTheNameAloneTheCurrentThemeFallsBackToDefault) {
  TNamedTheme linked({"default"});
  TLink link(&linked);
  EXPECT_FALSE(IsButtonObjectDefined(0, "MyButton", &link)) << "no fallback for a linked theme";
  EXPECT_EQ(linked.asked, std::vector<std::string>{"MyButton"});
  EXPECT_TRUE(IsButtonObjectDefined(0, "default", &link));
  EXPECT_EQ(ResolveTheme(&link), &linked);

  auto current = std::make_unique<TNamedTheme>(std::vector<std::string>{"default"});
  TNamedTheme* theme = current.get();
  TThemeInForce inForce(std::move(current));
  EXPECT_TRUE(IsButtonObjectDefined(0, "MyButton", nullptr)) << "the current theme falls back to \"default\"";
  EXPECT_EQ(theme->asked, (std::vector<std::string>{"MyButton", "default"}));
  EXPECT_EQ(ResolveTheme(nullptr), theme);
  EXPECT_FALSE(IsButtonObjectDefined(0, "MyButton", &link)) << "a link still wins over the current theme";
  TNamedTheme onlyCapital({"Default"});
  TLink capital(&onlyCapital);
  EXPECT_FALSE(IsButtonObjectDefined(0, "default", &capital)) << "\"default\" is compared exactly";
  EXPECT_TRUE(IsCurrentTheme(theme));
  EXPECT_FALSE(IsCurrentTheme(&linked));
  EXPECT_FALSE(IsCurrentTheme(nullptr));
}

TEST(ThemeManager, RegisteringSendsTheAttachNoticeOnlyWhileAThemeIsInForce) {
  fw::TForm form(nullptr);
  auto* c = new TNoticed(&form);
  c->SetParent(&form);
  RegisterThemeClient(c);
  RegisterThemeClient(c);
  EXPECT_TRUE(c->got.empty()) << "no theme: nothing sent";
  EXPECT_EQ(std::count(ThemeManager()->Clients().begin(), ThemeManager()->Clients().end(), c), 1);
  {
    TThemeInForce inForce(std::make_unique<TteTheme>());
    EXPECT_EQ(c->got, std::vector<WPARAM>{tnThemeAttached}) << "a theme came into force";
    auto* late = new TNoticed(&form);
    RegisterThemeClient(late);
    EXPECT_EQ(late->got, std::vector<WPARAM>{tnThemeAttached});
    RegisterThemeClient(late);
    EXPECT_EQ(late->got.size(), 1u) << "a second registration adds nothing and sends nothing";
    UnregisterThemeClient(late);
  }
  EXPECT_EQ(c->got.back(), WPARAM(tnThemeDetached));
  UnregisterThemeClient(c);
  UnregisterThemeClient(c);
  EXPECT_EQ(std::count(ThemeManager()->Clients().begin(), ThemeManager()->Clients().end(), c), 0);
}

TEST(ThemeManager, SystemNoticesReachVisibleControlsAndEveryOtherReceiver) {
  fw::TForm form(nullptr);
  auto* shown = new TNoticed(&form);
  shown->SetParent(&form);
  auto* hidden = new TNoticed(&form);
  hidden->SetParent(&form);
  hidden->SetVisible(false);
  TListener listener;
  for (fw::TObject* r :
       {static_cast<fw::TObject*>(shown), static_cast<fw::TObject*>(hidden), static_cast<fw::TObject*>(&listener)})
    RegisterThemeClient(r);
  ::SendMessageW(ThemeManager()->UtilityWindow(), WM_SYSCOLORCHANGE, 0, 0);
  ::SendMessageW(ThemeManager()->UtilityWindow(), WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
  EXPECT_EQ(shown->got, (std::vector<WPARAM>{tnSystemChanged, tnSystemChanged}));
  EXPECT_TRUE(hidden->got.empty()) << "a hidden control is not repainted";
  EXPECT_EQ(listener.got.size(), 2u) << "a receiver that is not a control still hears it";
  EXPECT_EQ(listener.got[0], std::make_pair(TM_THEMENOTIFY, WPARAM(tnSystemChanged)));
  ThemeManager()->Broadcast(TM_THEMENOTIFY, tnThemeChanged, 0);
  EXPECT_EQ(hidden->got, std::vector<WPARAM>{tnThemeChanged}) << "other codes reach hidden controls too";
  for (fw::TObject* r :
       {static_cast<fw::TObject*>(shown), static_cast<fw::TObject*>(hidden), static_cast<fw::TObject*>(&listener)})
    UnregisterThemeClient(r);
}

TEST(ThemeManager, ThemeChangedUpdatesThemesActiveBeforeAnyControlHearsIt) {
  fw::TForm form(nullptr);
  auto* c = new TNoticed(&form);
  c->SetParent(&form);
  const bool real = UpdateThemesActive();
  SetThemesActive(!real);  // stale, as before Windows' notice
  bool seen = !real;
  c->onNotice = [&] { seen = ThemesActive(); };
  RegisterThemeClient(c);
  ::SendMessageW(ThemeManager()->UtilityWindow(), WM_THEMECHANGED, 0, 0);
  UnregisterThemeClient(c);
  EXPECT_EQ(c->got, std::vector<WPARAM>{tnSystemChanged});
  EXPECT_EQ(seen, real);
  EXPECT_EQ(ThemesActive(), real);
}

TEST(ThemeManager, AReceiversErrorLeavesTheRestOfTheBroadcastUnsent) {
  fw::TForm form(nullptr);
  auto* first = new TNoticed(&form);
  auto* second = new TNoticed(&form);
  first->onNotice = [] { throw std::runtime_error("receiver failed"); };
  RegisterThemeClient(first);
  RegisterThemeClient(second);
  EXPECT_THROW(ThemeManager()->Broadcast(TM_THEMENOTIFY, tnThemeChanged, 0), std::runtime_error);
  EXPECT_TRUE(second->got.empty());
  UnregisterThemeClient(first);
  UnregisterThemeClient(second);
}

TEST(ThemeManager, DesignTimeNoticesOnlyWhileAThemeIsInForce) {
  fw::TForm form(nullptr);
  auto* c = new TNoticed(&form);
  NotifyThemeDetach(c);
  TThemeInForce inForce(std::make_unique<TteTheme>());
  NotifyThemeAttach(c);
  EXPECT_TRUE(c->got.empty()) << "not designing";
  c->SetDesigning(true);
  NotifyThemeDetach(c);
  NotifyThemeAttach(c);
  EXPECT_EQ(c->got, (std::vector<WPARAM>{tnThemeDetached, tnThemeAttached}));
}

TEST(FontStore, SaveRestoreForgetAndClear) {
  ClearFontStore();
  fw::TFont mine, other;
  mine.SetSize(9);
  SaveControlFont(&mine);
  mine.SetSize(11);
  SaveControlFont(&mine);
  EXPECT_EQ(FontStoreCount(), 1) << "one entry, holding the second value";
  mine.SetSize(30);
  RestoreControlFont(&mine);
  EXPECT_EQ(mine.Size(), 11);
  other.SetSize(7);
  RestoreControlFont(&other);
  EXPECT_EQ(other.Size(), 7) << "a font never saved is left alone";
  SaveControlFont(&other);
  ForgetControlFont(&mine);
  EXPECT_EQ(FontStoreCount(), 1);
  mine.SetSize(30);
  RestoreControlFont(&mine);
  EXPECT_EQ(mine.Size(), 30);
  ClearFontStore();
  EXPECT_EQ(FontStoreCount(), 0);
}

TEST(ImageToBitmap, EachCallReplacesTheLastBitmap) {
  fw::TImageList images(nullptr);
  images.SetSize(8, 8);
  fw::TBitmap strip;
  strip.SetPixelFormat(fw::TPixelFormat::pf24bit);
  strip.SetSize(16, 8);
  strip.Canvas().Brush().SetColor(fw::clFuchsia);
  strip.Canvas().FillRect(fw::Rect(0, 0, 16, 8));
  strip.Canvas().Brush().SetColor(fw::clBlue);
  strip.Canvas().FillRect(fw::Rect(2, 2, 6, 6));
  strip.Canvas().FillRect(fw::Rect(8, 0, 16, 8));
  ASSERT_EQ(images.AddMasked(strip, fw::clFuchsia), 0);
  ASSERT_EQ(images.Count(), 2);
  TteBitmap* first = ImageToBitmap(&images, 0, true);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Width(), 8);
  EXPECT_TRUE(first->Transparent) << "a masked list gives a keyed bitmap";
  EXPECT_EQ(*first->PixelPtr(0, 0), TransparentKey);
  EXPECT_EQ(*first->PixelPtr(3, 3) & 0xFFFFFF, 0x0000FFu);
  HDC firstDc = first->DC();
  TteBitmap* second = ImageToBitmap(&images, 1, true);
  EXPECT_NE(second, nullptr);
  EXPECT_EQ(FindBitmapByDC(firstDc), nullptr) << "the first one no longer exists";
  const TteGlyphInfo g = MakeImageGlyphInfo(fw::Rect(1, 2, 3, 4), &images, 0, false, 4);
  EXPECT_EQ(g.Kind, kgkBitmap);
  EXPECT_EQ(g.Code, 4);
  ASSERT_NE(g.Bitmap, nullptr);
  EXPECT_NE(*g.Bitmap->PixelPtr(3, 3) & 0xFFFFFF, 0x0000FFu) << "disabled: no longer blue";
}

TEST(RecordBuilders, RectangleFirstThenTheValues) {
  const TRect r = fw::Rect(1, 2, 3, 4);
  EXPECT_EQ(MakeObjectInfo(r, 4).State, 4);
  const TteObjectInfo2 o2 = MakeObjectInfo2(r, 8, 2);
  EXPECT_EQ(o2.Rect, r);
  EXPECT_EQ(o2.Part, 8);
  EXPECT_EQ(o2.State, 2);
  const TteGlyphInfo menu = MakeMenuGlyphInfo(r, kgkSubmenu);
  EXPECT_EQ(menu.Bitmap, nullptr);
  EXPECT_EQ(menu.Code, 4);
  EXPECT_EQ(menu.Kind, kgkSubmenu);
  const TteWindowInfo w = MakeWindowInfo(r, 1, fw::Rect(5, 6, 7, 8), 3, L"Caption", 0x202);
  EXPECT_EQ(w.Rect2, fw::Rect(5, 6, 7, 8));
  EXPECT_EQ(w.Caption, L"Caption");
  EXPECT_EQ(w.BorderIcons, 0x202);
  EXPECT_EQ(w.Kind, 3);
  const TteWindowButtonInfo b = MakeWindowButtonInfo(r, 9, 2, nullptr);
  EXPECT_EQ(b.Index, 9);
  EXPECT_EQ(b.State, 2);
}

TEST(GroupBoxPainter, ATransparentChildOfAGroupBoxShowsTheGroupBoxsColour) {
  fw::TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  auto* box = new fw::TGroupBox(&form);
  box->SetParent(&form);
  box->SetBounds(10, 10, 200, 120);
  box->SetColor(0x2040A0);
  auto* child = new TSeeThrough(&form);
  child->SetParent(box);
  child->SetBounds(0, 0, 30, 20);  // over the frame and caption line: the painter fills, it does not copy
  form.HandleNeeded();
  TDibTarget t(30, 20);
  child->PaintTo(t.DC(), 0, 0);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) ASSERT_EQ(t.At(x, y), Rgb(0x2040A0)) << x << "," << y;
}
