// The themed control bases under Wine: the class-hook registry and the parent
// background, borders pixel for pixel against a model of the bevel rings, the
// three painting buffers, the order of the mouse and focus handlers, and
// handle counts over many paints.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/core/streaming.h"
#include "framework/win/forms.h"
#include "tests/framework/recorder.h"
#include "tests/support/pixels.h"
#include "tests/themed/win/see_through.h"
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

// A themed control that fills its client with a colour and a mark in its corner,
// so that a buffer that loses or shifts pixels shows.
class TMarked : public TTeControl {
 public:
  using TTeControl::TTeControl;
  std::function<void(HDC)> OnPaintClient;
  void CallPaint() { Paint(); }
  void PaintClient() override {
    TTeControl::PaintClient();
    FillRectColor(Canvas(), fw::Rect(2, 2, 6, 5), fw::clRed);
    DrawRectOutline(Canvas(), fw::Rect(8, 3, 20, 12), fw::clNavy);
    if (OnPaintClient) OnPaintClient(Canvas().Handle());
  }
};

// Renders a control (and its children) into a fresh DIB, as the screen shows it.
std::unique_ptr<TDibTarget> Picture(fw::TWinControl& c, std::uint32_t background = 0x00FF00) {
  auto t = std::make_unique<TDibTarget>(c.Width(), c.Height());
  t->Fill(background);
  c.PaintTo(t->DC(), 0, 0);
  return t;
}

struct TTestForm {
  TTestForm() {
    form = std::make_unique<fw::TForm>(nullptr);
    form->SetBounds(50, 50, 300, 200);
    form->SetColor(0x336699);
  }
  std::unique_ptr<fw::TForm> form;
};

}  // namespace

// ---- Class-hook registry ----------------------------------------------------------------

namespace {
bool PaintA(fw::TCanvas&, const TClassHookInfo&) { return true; }
bool PaintB(fw::TCanvas&, const TClassHookInfo&) { return true; }
bool PaintC(fw::TCanvas&, const TClassHookInfo&) { return true; }

// The library's own registrations are put back after a test empties the registry.
class ClassHooksTest : public testing::Test {
 protected:
  void SetUp() override {
    if (ClassHooks()) saved_ = *ClassHooks();
    FreeClassHooks();
  }
  void TearDown() override {
    FreeClassHooks();
    for (const auto& h : saved_) RegisterClassHook(*h.Class, h.Painter);
  }
  std::vector<TClassHook> saved_;
};
}  // namespace

TEST_F(ClassHooksTest, ADescendantsPainterWinsInEitherOrderAndTheEarlierOfTwoForOneClass) {
  TTestForm f;
  TTeControl parent(nullptr);
  EXPECT_EQ(ClassHooks(), nullptr);
  EXPECT_EQ(FindClassHook(&parent), nullptr);

  RegisterClassHook(fw::TCustomControl::StaticClassInfo(), PaintA);
  RegisterClassHook(TTeControl::StaticClassInfo(), PaintB);
  EXPECT_EQ(FindClassHook(&parent), PaintB);
  EXPECT_EQ(FindClassHook(f.form.get()), nullptr) << "a form is no custom control";
  FreeClassHooks();

  RegisterClassHook(TTeControl::StaticClassInfo(), PaintB);
  RegisterClassHook(fw::TCustomControl::StaticClassInfo(), PaintA);
  EXPECT_EQ(FindClassHook(&parent), PaintB);
  RegisterClassHook(TTeControl::StaticClassInfo(), PaintC);
  EXPECT_EQ(FindClassHook(&parent), PaintB) << "of two painters for one class the earlier";
  EXPECT_EQ(ClassHooks()->size(), 3u);

  FreeClassHooks();
  EXPECT_EQ(ClassHooks(), nullptr);
  EXPECT_EQ(FindClassHook(&parent), nullptr);
}

// ---- Parent background ---------------------------------------------------------------

namespace {

// What a device context's state is made of, for before/after comparisons.
struct TDcState {
  explicit TDcState(HDC dc) {
    ::GetWindowOrgEx(dc, &windowOrg);
    ::GetViewportOrgEx(dc, &viewportOrg);
    ::GetClipBox(dc, &clip);
    pen = ::GetCurrentObject(dc, OBJ_PEN);
    brush = ::GetCurrentObject(dc, OBJ_BRUSH);
    font = ::GetCurrentObject(dc, OBJ_FONT);
    textColor = ::GetTextColor(dc);
    bkMode = ::GetBkMode(dc);
    level = ::SaveDC(dc);
    ::RestoreDC(dc, level);
  }
  bool operator==(const TDcState& o) const {
    return windowOrg.x == o.windowOrg.x && windowOrg.y == o.windowOrg.y && viewportOrg.x == o.viewportOrg.x &&
           viewportOrg.y == o.viewportOrg.y && ::EqualRect(&clip, &o.clip) && pen == o.pen && brush == o.brush &&
           font == o.font && textColor == o.textColor && bkMode == o.bkMode && level == o.level;
  }
  POINT windowOrg{}, viewportOrg{};
  RECT clip{};
  HGDIOBJ pen, brush, font;
  COLORREF textColor;
  int bkMode, level;
};

bool PaintAndRaise(fw::TCanvas& c, const TClassHookInfo& info) {
  FillRectColor(c, info.ControlRect, fw::clYellow);
  c.Pen().SetColor(fw::clRed);
  c.LineTo(3, 3);
  ::IntersectClipRect(c.Handle(), 0, 0, 1, 1);
  throw std::runtime_error("painter failed");
}

}  // namespace

TEST_F(ClassHooksTest, NothingIsPaintedForAControlOfNoSizeWithoutParentOrPaintedAsACopy) {
  TTestForm f;
  auto* parent = new TTeControl(f.form.get());
  parent->SetParent(f.form.get());
  parent->SetBounds(0, 0, 100, 60);
  int calls = 0;
  static int* gCalls;
  gCalls = &calls;
  RegisterClassHook(TTeControl::StaticClassInfo(), [](fw::TCanvas&, const TClassHookInfo&) { return ++*gCalls > 0; });
  TDibTarget t(20, 20);

  TTeControl orphan(nullptr);
  PaintParentBackground(&orphan, t.DC());
  auto* flat = new TTeControl(f.form.get());
  flat->SetParent(parent);
  flat->SetBounds(5, 5, 0, 10);
  PaintParentBackground(flat, t.DC());
  flat->SetBounds(5, 5, 10, 0);
  PaintParentBackground(flat, t.DC());
  flat->SetBounds(5, 5, 10, 10);
  flat->SetControlState(flat->ControlState() | fw::csPaintCopy);
  PaintParentBackground(flat, t.DC());
  EXPECT_EQ(calls, 0);
  flat->SetControlState(flat->ControlState() & ~std::uint32_t(fw::csPaintCopy));
  PaintParentBackground(flat, t.DC());
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(flat->ControlState() & fw::csPaintCopy) << "set only for the one call";
}

TEST_F(ClassHooksTest, TheDeviceContextIsRestoredAlsoWhenThePainterRaises) {
  TTestForm f;
  auto* parent = new TTeControl(f.form.get());
  parent->SetParent(f.form.get());
  parent->SetBounds(0, 0, 100, 60);
  auto* child = new TTeControl(f.form.get());
  child->SetParent(parent);
  child->SetBounds(30, 20, 10, 10);
  RegisterClassHook(TTeControl::StaticClassInfo(), PaintAndRaise);
  TDibTarget t(10, 10);
  t.Fill(0);
  ::SetWindowOrgEx(t.DC(), 1, 2, nullptr);
  ::SetTextColor(t.DC(), RGB(1, 2, 3));
  const TDcState before(t.DC());
  EXPECT_THROW(PaintParentBackground(child, t.DC()), std::runtime_error);
  EXPECT_TRUE(TDcState(t.DC()) == before);
  EXPECT_FALSE(child->ControlState() & fw::csPaintCopy);
  ::SetWindowOrgEx(t.DC(), 0, 0, nullptr);
  EXPECT_EQ(t.At(1, 2), 0xFFFF00u) << "the parent's coordinates mapped onto the control's surface";
}

TEST(ParentBackground, ATransparentChildShowsItsThemedParentsBevelsAndFillExactly) {
  TTestForm f;
  auto* parent = new TTeControl(f.form.get());
  parent->SetParent(f.form.get());
  parent->SetBounds(10, 10, 120, 80);
  parent->SetUseNativeFrame(false);
  parent->SetColor(0x20A0C0);
  parent->SetBorderWidth(3);
  parent->SetBevelWidth(2);
  parent->SetBevelOuter(kbvRaised);
  parent->SetBevelInner(kbvLowered);
  auto* child = new TSeeThrough(f.form.get());
  child->SetParent(parent);
  child->SetBounds(0, 0, 40, 30);  // over the top-left corner of the border

  f.form->HandleNeeded();
  const auto seen = Picture(*child);
  // The parent alone, through its own erase-with-lParam-1 path.
  TDibTarget alone(parent->Width(), parent->Height());
  parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(alone.DC()), 1);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(seen->At(x, y), alone.At(x, y)) << x << "," << y;
  EXPECT_EQ(seen->At(0, 0), Rgb(fw::clBtnHighlight)) << "the raised outer bevel";
  EXPECT_EQ(seen->At(2, 2), Rgb(fw::cl3DDkShadow)) << "the lowered inner bevel";
  EXPECT_EQ(seen->At(5, 5), Rgb(0x20A0C0)) << "the margin";
  EXPECT_EQ(seen->At(30, 20), seen->At(5, 5)) << "the fill";

  // Moved inside the parent: the picture follows the parent's coordinates.
  child->SetBounds(50, 40, 20, 20);
  const auto inner = Picture(*child);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(inner->At(x, y), alone.At(50 + x, 40 + y)) << x << "," << y;
}

TEST(ParentBackground, OverAPlainFormTheChildShowsTheFormsColour) {
  TTestForm f;
  auto* child = new TSeeThrough(f.form.get());
  child->SetParent(f.form.get());
  child->SetBounds(20, 30, 40, 25);
  f.form->HandleNeeded();
  const auto seen = Picture(*child);
  for (int y = 0; y < 25; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(seen->At(x, y), Rgb(0x336699)) << x << "," << y;
}

TEST(ParentBackground, AParentWithACanvasOfItsOwnIsCopiedFromIt) {
  TTestForm f;
  auto* parent = new fw::TCustomControl(f.form.get());  // no painter is registered for it
  parent->SetParent(f.form.get());
  parent->SetBounds(0, 0, 60, 40);
  auto* child = new TSeeThrough(f.form.get());
  child->SetParent(parent);
  child->SetBounds(10, 5, 8, 6);
  f.form->HandleNeeded();
  // The parent in the middle of its own paint: its canvas holds a picture with a distinct pixel per place.
  TDibTarget parentPicture(60, 40);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) ::SetPixelV(parentPicture.DC(), x, y, RGB(x * 4, y * 6, 200));
  fw::TCanvasBinding painting(parent->Canvas(), parentPicture.DC());
  const auto seen = Picture(*child);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(seen->At(x, y), parentPicture.At(10 + x, 5 + y)) << x << "," << y;
}

// ---- Borders ----------------------------------------------------------------------------

namespace {

// The border as the algorithm describes it, painted on a grid of colours:
// each bevel ring by ring, left and top first, bottom and right over them; then
// the margin's outlines; the rest is the fill.
struct TBorderCase {
  TTeBevelCut outer, inner;
  int bevelWidth, borderWidth;
  TTeBevelSides sides;
};

std::vector<std::uint32_t> ModelBorder(const TBorderCase& k, int w, int h, fw::TColor color) {
  std::vector<std::uint32_t> grid(size_t(w * h), Rgb(color));
  auto put = [&](int x, int y, std::uint32_t c) {
    if (x >= 0 && y >= 0 && x < w && y < h) grid[size_t(y * w + x)] = c;
  };
  TRect r = fw::Rect(0, 0, w, h);
  auto ring = [&](fw::TColor tl, fw::TColor br) {
    for (int i = 0; i < k.bevelWidth; ++i) {
      if (k.sides & kbsLeft)
        for (int y = r.Top; y < r.Bottom; ++y) put(r.Left, y, Rgb(tl));
      if (k.sides & kbsTop)
        for (int x = r.Left; x < r.Right; ++x) put(x, r.Top, Rgb(tl));
      if (k.sides & kbsBottom)
        for (int x = r.Left; x < r.Right; ++x) put(x, r.Bottom - 1, Rgb(br));
      if (k.sides & kbsRight)
        for (int y = r.Top; y < r.Bottom; ++y) put(r.Right - 1, y, Rgb(br));
      if (k.sides & kbsLeft) ++r.Left;
      if (k.sides & kbsTop) ++r.Top;
      if (k.sides & kbsRight) --r.Right;
      if (k.sides & kbsBottom) --r.Bottom;
    }
  };
  if (k.bevelWidth > 0) {
    if (k.outer != kbvNone) ring(OuterBevelColors[k.outer].TopLeft, OuterBevelColors[k.outer].BottomRight);
    if (k.inner != kbvNone) ring(InnerBevelColors[k.inner].TopLeft, InnerBevelColors[k.inner].BottomRight);
  }
  for (int i = 0; i < k.borderWidth; ++i) {
    for (int x = r.Left; x < r.Right; ++x) put(x, r.Top, Rgb(color)), put(x, r.Bottom - 1, Rgb(color));
    for (int y = r.Top; y < r.Bottom; ++y) put(r.Left, y, Rgb(color)), put(r.Right - 1, y, Rgb(color));
    r = fw::Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  }
  return grid;
}

}  // namespace

TEST(Borders, EveryCutAsInnerAndOuterBevelWidthsMarginsAndSidesPixelForPixel) {
  TTestForm f;
  auto* c = new TTeControl(f.form.get());
  c->SetParent(f.form.get());
  c->SetBounds(0, 0, 23, 17);
  c->SetUseNativeFrame(false);
  c->SetColor(0x4080C0);
  f.form->HandleNeeded();
  const TTeBevelSides sideSets[] = {kAllBevelSides, kbsTop, kbsLeft | kbsBottom, kbsRight | kbsBottom | kbsTop};
  int cases = 0;
  for (int cut = kbvLowered; cut <= kbvFlatBorder; ++cut)
    for (bool asInner : {false, true})
      for (int bevelWidth : {1, 2})
        for (int borderWidth : {0, 3})
          for (TTeBevelSides sides : sideSets) {
            const TBorderCase k{asInner ? kbvNone : TTeBevelCut(cut), asInner ? TTeBevelCut(cut) : kbvNone, bevelWidth,
                                borderWidth, sides};
            c->SetBevelOuter(k.outer);
            c->SetBevelInner(k.inner);
            c->SetBevelWidth(k.bevelWidth);
            c->SetBorderWidth(k.borderWidth);
            c->SetBevelSides(k.sides);
            TRect inner;
            c->GetInnerRect(inner);
            EXPECT_EQ(inner, BorderInnerRect(23, 17, borderWidth, bevelWidth, 1, sides));
            const auto got = Picture(*c);
            const auto want = ModelBorder(k, 23, 17, c->Color());
            for (int y = 0; y < 17; ++y)
              for (int x = 0; x < 23; ++x)
                ASSERT_EQ(got->At(x, y), want[size_t(y * 23 + x)])
                    << "cut " << cut << (asInner ? " inner" : " outer") << ", bevel " << bevelWidth << ", margin "
                    << borderWidth << ", sides " << int(sides) << ", at " << x << "," << y;
            ++cases;
          }
  EXPECT_EQ(cases, 5 * 2 * 2 * 2 * 4);
}

TEST(Borders, ALoweredOuterBevelOwnsItsCornersAsDescribed) {
  TTestForm f;
  auto* c = new TTeControl(f.form.get());
  c->SetParent(f.form.get());
  c->SetBounds(0, 0, 10, 10);
  c->SetUseNativeFrame(false);
  c->SetBevelInner(kbvNone);
  c->SetBevelWidth(1);
  f.form->HandleNeeded();
  const auto p = Picture(*c);
  const std::uint32_t shadow = Rgb(fw::clBtnShadow), light = Rgb(fw::clBtnHighlight);
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(p->At(0, i), shadow) << "left column " << i;
    EXPECT_EQ(p->At(i, 0), shadow) << "top row " << i;
  }
  EXPECT_EQ(p->At(0, 9), light) << "bottom-left";
  EXPECT_EQ(p->At(9, 0), light) << "top-right";
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(p->At(9, i), light);
    EXPECT_EQ(p->At(i, 9), light);
  }
}

TEST(Borders, BevelKindSetsBothCutsAndAChangedCutClearsIt) {
  TTeControl c(nullptr);
  c.SetBevelKind(kbkFlat);
  EXPECT_EQ(c.BevelInner(), kbvFlatBorder);
  EXPECT_EQ(c.BevelOuter(), kbvFlatBorder);
  c.SetBevelInner(kbvRaised);
  EXPECT_EQ(c.BevelKind(), kbkNone);
  EXPECT_EQ(c.BevelOuter(), kbvFlatBorder);
  c.SetBevelKind(kbkBorder);
  c.SetBevelKind(kbkNone);
  EXPECT_EQ(c.BevelInner(), kbvBorder) << "kbkNone leaves the cuts";
  TRect r;
  c.SetBorderWidth(2);
  c.SetBevelWidth(1);
  c.SetBevelInner(kbvLowered);
  c.SetBevelOuter(kbvLowered);
  c.GetInnerRect(r);
  EXPECT_EQ(r, fw::Rect(4, 4, 96, 26));
  c.SetBevelSides(kbsTop);
  c.GetInnerRect(r);
  EXPECT_EQ(r, fw::Rect(2, 4, 98, 28));
}

TEST(Borders, WithoutMarginAndBevelsTheClientGetsTheWholeControl) {
  TTestForm f;
  auto* c = new TMarked(f.form.get());
  c->SetParent(f.form.get());
  c->SetBounds(0, 0, 30, 20);
  c->SetBevelWidth(0);
  c->SetColor(0x00AA00);
  f.form->HandleNeeded();
  const auto p = Picture(*c);
  EXPECT_EQ(p->At(0, 0), 0x00AA00u);
  EXPECT_EQ(p->At(29, 19), 0x00AA00u);
  EXPECT_EQ(c->ClientRect(), fw::Rect(0, 0, 30, 20));
}

// The visual style's edit frame against DrawThemeBackground itself, and the
// classic bevels when the style is off: run by themed_prefix.sh both ways.
TEST(ControlsThemedPrefix, TheNativeFrameIsTheEditBoxOfTheVisualStyleElseTheClassicBevels) {
  char flag[4] = {};
  if (!::GetEnvironmentVariableA("NAVEKO_EXPECT_THEMED", flag, sizeof flag)) GTEST_SKIP() << "run by themed_prefix.sh";
  ASSERT_EQ(ThemesActive(), flag[0] == '1');
  TTestForm f;
  auto* c = new TTeControl(f.form.get());
  c->SetParent(f.form.get());
  c->SetBounds(0, 0, 60, 24);
  c->SetBevelWidth(1);
  c->SetColor(0x123456);
  f.form->HandleNeeded();
  const auto got = Picture(*c);
  TDibTarget want(60, 24);
  want.Fill(0x00FF00);
  if (flag[0] == '1') {
    const HTHEME theme = ThemeApi().OpenThemeData(nullptr, L"Edit");
    ASSERT_NE(theme, nullptr);
    const int saved = ::SaveDC(want.DC());
    ::ExcludeClipRect(want.DC(), 2, 2, 58, 22);
    const RECT full{0, 0, 60, 24};
    ThemeApi().DrawThemeBackground(theme, want.DC(), 1, 1, &full, nullptr);
    ::RestoreDC(want.DC(), saved);
    ThemeApi().CloseThemeData(theme);
    fw::UniqueBrush fill(::CreateSolidBrush(fw::ColorToRGB(0x123456)));
    const RECT inner{2, 2, 58, 22};
    ::FillRect(want.DC(), &inner, fill.get());
    EXPECT_TRUE(got->SameAs(want)) << "the frame differs from DrawThemeBackground of Edit, part 1, state 1";
  } else {
    const auto model = ModelBorder({kbvLowered, kbvLowered, 1, 0, kAllBevelSides}, 60, 24, 0x123456);
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 60; ++x) ASSERT_EQ(got->At(x, y), model[size_t(y * 60 + x)]) << x << "," << y;
  }
}

// ---- Painting buffers ------------------------------------------------------------------

namespace {

void SetUpMarked(TMarked& c, fw::TWinControl& parent) {
  c.SetParent(&parent);
  c.SetBounds(0, 0, 64, 28);
  c.SetUseNativeFrame(false);
  c.SetBorderWidth(1);
  c.SetBevelWidth(1);
  c.SetColor(0x7F7F20);
}

}  // namespace

TEST(Buffers, TheThreeModesGiveTheSamePixels) {
  ASSERT_GE(ScreenPixelFormat(), 6) << "the bench's screen has 24 or 32 bits";
  TTestForm f;
  auto* c = new TMarked(f.form.get());
  SetUpMarked(*c, *f.form);
  f.form->HandleNeeded();
  const TTePerformance modes[] = {kspNoBuffer, kspSharedBuffer, kspDoubleBuffer};
  std::vector<std::unique_ptr<TDibTarget>> pictures;
  for (TTePerformance mode : modes) {
    c->SetPerformance(mode);
    HDC seen = nullptr;
    bool alphaBuffer = false;
    c->OnPaintClient = [&](HDC dc) {
      seen = dc;
      alphaBuffer = FindBitmapByDC(dc) != nullptr;
    };
    pictures.push_back(Picture(*c));
    if (mode == kspNoBuffer) {
      EXPECT_EQ(seen, pictures.back()->DC()) << "drawn straight on the target";
    } else if (mode == kspSharedBuffer) {
      EXPECT_EQ(seen, SharedPaintBuffer()->DC());
    } else {
      EXPECT_TRUE(alphaBuffer) << "an alpha bitmap on a true-colour screen";
    }
  }
  EXPECT_TRUE(pictures[0]->SameAs(*pictures[1]));
  EXPECT_TRUE(pictures[0]->SameAs(*pictures[2]));
  EXPECT_EQ(pictures[0]->At(3, 3), 0xFF0000u);
  EXPECT_EQ(SharedPaintBuffer()->Width(), SharedBufferLimits().X);
  EXPECT_EQ(SharedBufferLimits().X, ::GetSystemMetrics(SM_CXSCREEN) + 500);
}

TEST(Buffers, TheSharedBufferStartsAsTheKeyColourWhereNothingIsPainted) {
  struct TLeavesAGap : TTeControl {
    using TTeControl::TTeControl;
    void PaintClient() override { FillRectColor(Canvas(), fw::Rect(0, 0, 10, 10), fw::clBlue); }
  };
  TTestForm f;
  auto* c = new TLeavesAGap(f.form.get());
  c->SetParent(f.form.get());
  c->SetBounds(0, 0, 20, 20);
  c->SetPerformance(kspSharedBuffer);
  f.form->HandleNeeded();
  const auto p = Picture(*c);
  EXPECT_EQ(p->At(5, 5), 0x0000FFu);
  EXPECT_EQ(p->At(15, 15), 0x7F007Fu) << "TransparentKey, copied opaquely";
}

TEST(Buffers, NothingIsPaintedAtAWidthOrHeightOfZero) {
  TTestForm f;
  auto* c = new TMarked(f.form.get());
  c->SetParent(f.form.get());
  c->SetBounds(0, 0, 0, 10);
  int painted = 0;
  c->OnPaintClient = [&](HDC) { ++painted; };
  f.form->HandleNeeded();
  TDibTarget t(5, 5);
  c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(t.DC()), 0);
  EXPECT_EQ(painted, 0);
}

TEST(Buffers, PaintToAndPrintClientGiveTheSameBytes) {
  TTestForm f;
  auto* c = new TMarked(f.form.get());
  SetUpMarked(*c, *f.form);
  c->SetPerformance(kspDoubleBuffer);
  f.form->HandleNeeded();
  const auto viaPaintTo = Picture(*c);
  TDibTarget viaPrint(c->Width(), c->Height());
  viaPrint.Fill(0x00FF00);
  ::SendMessageW(c->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(viaPrint.DC()), PRF_CLIENT);
  EXPECT_TRUE(viaPaintTo->SameAs(viaPrint));
}

TEST(Buffers, AnErrorInAPaintGivesTheCanvasItsTargetBackAndFreesTheBuffer) {
  TTestForm f;
  auto* c = new TMarked(f.form.get());
  SetUpMarked(*c, *f.form);
  c->SetPerformance(kspDoubleBuffer);
  f.form->HandleNeeded();
  TDibTarget t(c->Width(), c->Height());
  fw::TCanvasBinding outer(c->Canvas(), t.DC());
  c->CallPaint();  // the canvas makes its font, pen and brush once
  c->OnPaintClient = [](HDC) { throw std::runtime_error("paint failed"); };
  const int before = fwtest::CountGdiObjects();
  EXPECT_THROW(c->CallPaint(), std::runtime_error);
  EXPECT_EQ(c->Canvas().HandleNoCreate(), t.DC());
  EXPECT_EQ(fwtest::CountGdiObjects(), before);
}

TEST(Buffers, TenThousandPaintsInEachModeLeaveNoHandleBehind) {
  TTestForm f;
  auto* c = new TMarked(f.form.get());
  SetUpMarked(*c, *f.form);
  f.form->HandleNeeded();
  TDibTarget t(c->Width(), c->Height());
  for (TTePerformance mode : {kspNoBuffer, kspSharedBuffer, kspDoubleBuffer}) {
    c->SetPerformance(mode);
    c->PaintTo(t.DC(), 0, 0);  // the shared buffer is made once, at its first use
    const int gdi = fwtest::CountGdiObjects(), user = fwtest::CountUserObjects();
    for (int i = 0; i < 10000; ++i)
      ::SendMessageW(c->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(t.DC()), PRF_CLIENT);
    EXPECT_EQ(fwtest::CountGdiObjects(), gdi) << "GDI objects, mode " << int(mode);
    EXPECT_EQ(fwtest::CountUserObjects(), user) << "USER objects, mode " << int(mode);
    RecordProperty("gdi_growth_mode_" + std::to_string(int(mode)), fwtest::CountGdiObjects() - gdi);
    RecordProperty("user_growth_mode_" + std::to_string(int(mode)), fwtest::CountUserObjects() - user);
  }
}

// Run by depth16.sh on a 16-bit screen: the double buffer is a device bitmap
// of the screen's depth, and the control looks as GDI draws it there.
TEST(Depth16, TheDoubleBufferIsAPlatformBitmapAndThePixelsMatchGdi) {
  char flag[4] = {};
  if (!::GetEnvironmentVariableA("NAVEKO_EXPECT_DEPTH16", flag, sizeof flag)) GTEST_SKIP() << "run by depth16.sh";
  ASSERT_EQ(ScreenPixelFormat(), 5) << "a 16-bit screen";
  TTestForm f;
  auto* c = new TMarked(f.form.get());
  SetUpMarked(*c, *f.form);
  f.form->HandleNeeded();
  // Both pictures go through a bitmap of the screen's depth, as on the screen.
  fw::ScopedGetDC screen(nullptr);
  auto onScreenDepth = [&](TTePerformance mode, int& bufferBits, bool& alphaBuffer) {
    c->SetPerformance(mode);
    c->OnPaintClient = [&](HDC dc) {
      BITMAP bm{};
      ::GetObjectW(::GetCurrentObject(dc, OBJ_BITMAP), sizeof bm, &bm);
      bufferBits = bm.bmBitsPixel;
      alphaBuffer = FindBitmapByDC(dc) != nullptr;
    };
    fw::UniqueMemoryDc mem(::CreateCompatibleDC(screen.get()));
    fw::UniqueBitmap bmp(::CreateCompatibleBitmap(screen.get(), c->Width(), c->Height()));
    fw::ScopedSelectObject select(mem.get(), bmp.get());
    c->PaintTo(mem.get(), 0, 0);
    auto out = std::make_unique<TDibTarget>(c->Width(), c->Height());
    ::BitBlt(out->DC(), 0, 0, c->Width(), c->Height(), mem.get(), 0, 0, SRCCOPY);
    return out;
  };
  int bits = 0;
  bool alpha = true;
  const auto direct = onScreenDepth(kspNoBuffer, bits, alpha);
  const auto buffered = onScreenDepth(kspDoubleBuffer, bits, alpha);
  EXPECT_FALSE(alpha) << "no alpha bitmap below 24 bits";
  EXPECT_EQ(bits, 16);
  EXPECT_TRUE(direct->SameAs(*buffered));
}

// ---- Mouse and focus ---------------------------------------------------------------

namespace {

class TLogged : public fwtest::TRecorder<TTeControl> {
 public:
  TLogged(fw::TComponent* owner, fwtest::Log* log) : TRecorder(owner, log, "T") {
    OnMouseEnter = [this](fw::TObject*) { Add(std::string("OnMouseEnter hot=") + (Hot() ? "1" : "0")); };
    OnMouseLeave = [this](fw::TObject*) { Add(std::string("OnMouseLeave hot=") + (Hot() ? "1" : "0")); };
    OnEnter = [this](fw::TObject*) { Add(std::string("OnEnter focused=") + (Focused() ? "1" : "0")); };
    OnExit = [this](fw::TObject*) { Add(std::string("OnExit focused=") + (Focused() ? "1" : "0")); };
  }
  void Invalidate() override {
    Add("Invalidate");
    TRecorder::Invalidate();
  }
};

}  // namespace

TEST(Tracking, MouseAndFocusHandlersRunInTheirOrder) {
  fwtest::Log log;
  TTestForm f;
  auto* c = new TLogged(f.form.get(), &log);
  c->SetParent(f.form.get());
  c->SetBounds(10, 10, 50, 20);
  c->SetTabStop(true);
  auto* other = new TTeControl(f.form.get());
  other->SetParent(f.form.get());
  other->SetBounds(10, 40, 50, 20);
  other->SetTabStop(true);
  f.form->Show();
  fw::Application->ProcessMessages();
  other->SetFocus();
  log.clear();

  c->Perform(fw::CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(c));
  c->Perform(fw::CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(c));
  EXPECT_EQ(log, (fwtest::Log{"T:CM_MOUSEENTER", "T:OnMouseEnter hot=1", "T:CM_MOUSELEAVE", "T:OnMouseLeave hot=0"}))
      << "the platform's handling first; the base repaints on neither";

  log.clear();
  c->SetFocus();
  other->SetFocus();
  EXPECT_EQ(fwtest::Only(log, {"CM_ENTER", "CM_EXIT", "Invalidate", "OnEnter", "OnExit"}),
            (fwtest::Log{"T:CM_ENTER", "T:Invalidate", "T:OnEnter focused=1", "T:CM_EXIT", "T:Invalidate",
                         "T:OnExit focused=0"}))
      << "Focused set and repainted before OnEnter, cleared and repainted before OnExit";

  c->SetFocus();
  ASSERT_TRUE(c->Focused());
  log.clear();
  c->Hide();
  EXPECT_FALSE(c->Focused());
  EXPECT_TRUE(fwtest::Only(log, {"Invalidate"}).empty()) << "hiding clears Focused without a repaint";
}

TEST(Tracking, ThePaintSizeIsKnownBeforeTheWindowTakesIt) {
  TTestForm f;
  int seenWidth = -1, seenPaintWidth = -1;
  struct TSizeWatch : TTeControl {
    TSizeWatch(fw::TComponent* o, int* w, int* pw) : TTeControl(o), w_(w), pw_(pw) {}
    void WndProc(fw::TMessage& m) override {
      TTeControl::WndProc(m);
      if (m.Msg == WM_WINDOWPOSCHANGING && *w_ < 0) {
        *w_ = Width();
        *pw_ = PaintWidth();
      }
    }
    int *w_, *pw_;
  };
  auto* c = new TSizeWatch(f.form.get(), &seenWidth, &seenPaintWidth);
  c->SetParent(f.form.get());
  c->SetBounds(0, 0, 40, 20);
  f.form->HandleNeeded();
  ::SetWindowPos(c->Handle(), nullptr, 0, 0, 90, 20, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
  EXPECT_EQ(seenWidth, 40) << "the framework's width changes afterwards";
  EXPECT_EQ(seenPaintWidth, 90);
  EXPECT_EQ(c->Width(), 90);
  EXPECT_EQ(c->PaintWidth(), 90);
}

// ---- Embedded scroll bars --------------------------------------------------------

TEST(EmbeddedScrollBars, BothBarsComeWithTheWindowShrinkTheClientAndReportScrolls) {
  struct TScrolled : TTeControl {
    using TTeControl::TTeControl;
    void Enable() { SetScrollBarKind(ksbBoth); }
    std::vector<std::pair<int, int>> vscrolls;
    void WndProc(fw::TMessage& m) override {
      if (m.Msg == WM_VSCROLL) {
        vscrolls.emplace_back(int(m.WParam), int(m.LParam));
        if (m.WParam == SB_LINEDOWN) VertScrollBar()->SetPosition(int(m.LParam));
        return;
      }
      TTeControl::WndProc(m);
    }
  };
  TTestForm f;
  auto* c = new TScrolled(f.form.get());
  c->SetParent(f.form.get());
  c->SetBounds(0, 0, 120, 80);
  c->Enable();
  EXPECT_EQ(c->HorzScrollBar(), nullptr) << "made with the window";
  f.form->HandleNeeded();
  ASSERT_NE(c->HorzScrollBar(), nullptr);
  ASSERT_NE(c->VertScrollBar(), nullptr);
  const int size = ::GetSystemMetrics(SM_CYVTHUMB);
  EXPECT_EQ(c->ClientRect(), fw::Rect(0, 0, 120 - size, 80 - size));
  EXPECT_EQ(c->VertScrollBar()->BoundsRect(), fw::Rect(120 - size, 0, 120, 80 - size));
  EXPECT_EQ(c->HorzScrollBar()->BoundsRect(), fw::Rect(0, 80 - size, 120 - size, 80));

  // A press on the lower arrow: the control hears the line down and decides.
  const TRect arrow = c->VertScrollBar()->ArrowRect(true);
  const int x = 120 - size + arrow.Left + 2, y = arrow.Top + 2;
  ::SendMessageW(c->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  ::SendMessageW(c->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  ASSERT_EQ(c->vscrolls.size(), 2u);
  EXPECT_EQ(c->vscrolls[0], std::make_pair(int(SB_LINEDOWN), 1));
  EXPECT_EQ(c->vscrolls[1].first, int(SB_ENDSCROLL));
  EXPECT_EQ(c->VertScrollBar()->Position(), 1);
  // The square between the bars has the control's colour (the style is off in the bench).
  if (!ThemesActive()) {
    const auto p = Picture(*c);
    EXPECT_EQ(p->At(119, 79), Rgb(c->Color()));
  }
}

// ---- Streaming ---------------------------------------------------------------------------

TEST(Streaming, TheBasesPublishedPropertiesRoundTripAndDefaultsAreNotWritten) {
  fw::TClassRegistry::Register(TTeControl::StaticClassInfo());
  fw::TForm src(nullptr);
  src.SetName("F");
  auto* c = new TTeControl(&src);
  c->SetName("C");
  c->SetParent(&src);
  const std::string plain = fw::WriteComponentText(src);
  const std::string block = plain.substr(plain.find("object C: TTeControl"));
  for (const char* absent : {"Color", "Font", "Performance", "BiDiMode", "ShowHint", "Drag", "Constraints", "Enabled",
                             "TabOrder", "TabStop", "Align"})
    EXPECT_EQ(block.find(absent), std::string::npos) << absent << " written at its default or unpublished";

  c->SetPerformance(kspDoubleBuffer);
  c->SetBiDiMode(fw::bdRightToLeft);
  c->SetDragCursor(fw::crDefault);
  c->SetDragKind(fw::dkDock);
  c->SetDragMode(fw::dmAutomatic);
  c->SetShowHint(true);
  c->Constraints()->SetMinWidth(20);
  c->SetVisible(false);
  const std::string text = fw::WriteComponentText(src);
  for (const char* line : {"Performance = kspDoubleBuffer", "BiDiMode = bdRightToLeft", "ParentBiDiMode = False",
                           "DragCursor = crDefault", "DragKind = dkDock", "DragMode = dmAutomatic", "ShowHint = True",
                           "Constraints.MinWidth = 20", "Visible = False"})
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;

  fw::TForm dst(nullptr);
  fw::ReadComponentText(text, dst);
  auto* d = dynamic_cast<TTeControl*>(dst.FindComponent("C"));
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->Performance(), kspDoubleBuffer);
  EXPECT_EQ(d->BiDiMode(), fw::bdRightToLeft);
  EXPECT_FALSE(d->ParentBiDiMode());
  EXPECT_EQ(d->DragCursor(), fw::crDefault);
  EXPECT_EQ(d->DragKind(), fw::dkDock);
  EXPECT_EQ(d->DragMode(), fw::dmAutomatic);
  EXPECT_TRUE(d->ShowHint());
  EXPECT_EQ(d->Constraints()->MinWidth(), 20);
  EXPECT_FALSE(d->Visible());
  EXPECT_EQ(fw::WriteComponentText(dst), text);
}
