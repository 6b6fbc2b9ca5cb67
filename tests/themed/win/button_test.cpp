// The themed push button under Wine: its properties and streaming, kinds and
// glyphs, the click paths as recorded sequences, and its faces on pixels (the
// classic face, the visual style's against DrawThemeBackground, a theme's).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/core/exception.h"
#include "framework/core/streaming.h"
#include "framework/win/actnlist.h"
#include "framework/win/forms.h"
#include "framework/win/stdctrls.h"
#include "framework/win/sysutils.h"
#include "tests/framework/recorder.h"
#include "tests/support/pixels.h"
#include "themed/win/te_controls.h"
#include "themed/win/te_utils.h"
#include "themed/win/te_winapi.h"

using namespace te;
using fw::TRect;
using fwtest::Log;
using fwtest::Rgb;
using fwtest::TDibTarget;

namespace {

// A button that records its handlers, its state at each click and its repaints.
class TLoggedButton : public fwtest::TRecorder<TTeButton> {
 public:
  TLoggedButton(fw::TComponent* owner, Log* log, std::string tag) : TRecorder(owner, log, std::move(tag)) {
    OnClick = [this](fw::TObject*) {
      auto* form = ParentForm();
      Add("OnClick modal=" + std::to_string(form ? form->ModalResult() : -1));
    };
  }
  void Invalidate() override {
    ++repaints;
    TRecorder::Invalidate();
  }
  void Press(int x, int y) { ::SendMessageW(Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
  void Move(int x, int y) { ::SendMessageW(Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y)); }
  void Release(int x, int y) { ::SendMessageW(Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
  int repaints = 0;

 protected:
  void MouseDown(fw::TMouseButton b, fw::TShiftState s, int x, int y) override {
    TTeButton::MouseDown(b, s, x, y);
    Add(std::string("MouseDown pressed=") + (Pressed() ? "1" : "0"));
  }
};

// Shift, Ctrl or Alt held for the keys sent meanwhile, as the keyboard state says.
class THeldKeys {
 public:
  explicit THeldKeys(std::initializer_list<int> keys) {
    ::GetKeyboardState(saved_);
    BYTE state[256];
    std::copy(saved_, saved_ + 256, state);
    for (int k : keys) state[k] = 0x80;
    ::SetKeyboardState(state);
  }
  ~THeldKeys() { ::SetKeyboardState(saved_); }

 private:
  BYTE saved_[256];
};

// The classic look or the visual style, whatever the prefix says, for one test.
class TThemesActiveAs {
 public:
  explicit TThemesActiveAs(bool v) : saved_(ThemesActive()) { SetThemesActive(v); }
  ~TThemesActiveAs() { SetThemesActive(saved_); }

 private:
  bool saved_;
};

struct TButtonForm {
  TButtonForm() {
    form = std::make_unique<fw::TForm>(nullptr);
    form->SetName("Form");
    form->SetBounds(60, 60, 400, 200);
    button = new TLoggedButton(form.get(), &log, "B");
    button->SetName("B");
    button->SetParent(form.get());
    button->SetBounds(10, 10, 120, 40);
    button->SetCaption(L"&Go");
    other = new fwtest::TRecorder<fw::TCustomControl>(form.get(), &log, "E");
    other->SetName("E");
    other->SetParent(form.get());
    other->SetBounds(10, 100, 120, 30);
    other->SetTabStop(true);
    form->Show();
    fw::Application->ProcessMessages();
    log.clear();
  }
  ~TButtonForm() { ::ReleaseCapture(); }
  void Key(HWND to, UINT msg, WPARAM key, LPARAM data = 0) { ::SendMessageW(to, msg, key, data); }
  Log log;
  std::unique_ptr<fw::TForm> form;
  TLoggedButton* button;
  fwtest::TRecorder<fw::TCustomControl>* other;
};

Log Clicks(const Log& log) { return fwtest::Only(log, {"OnClick"}); }

}  // namespace

// ---- Properties --------------------------------------------------------------------------------

// The published defaults are covered by StreamingRules: a new button stores none of them.
TEST(Button, ConstructionDefaults) {
  TTeButton b(nullptr);
  EXPECT_EQ(b.ControlStyle(),
            std::uint32_t(fw::csCaptureMouse | fw::csSetCaption | fw::csDoubleClicks | fw::csActionClient))
      << "no csClickEvents: the button clicks by itself; no csOpaque";
  EXPECT_EQ(b.BoundsRect(), fw::Rect(0, 0, 75, 25));
  EXPECT_EQ(std::count(ThemeManager()->Clients().begin(), ThemeManager()->Clients().end(), &b), 1)
      << "registered with the theme manager";
}

TEST(Button, UnregisteredFirstWhenFreed) {
  auto* b = new TTeButton(nullptr);
  delete b;
  EXPECT_EQ(std::count(ThemeManager()->Clients().begin(), ThemeManager()->Clients().end(), b), 0);
}

TEST(Button, TheCaptionKeepsWhatTheAnsiCodePageHolds) {
  TButtonForm f;
  const std::wstring arabic = L"\x062A\x062D\x062F\x064A\x062B 26-3-2022";
  f.button->SetCaption(arabic);
  EXPECT_EQ(f.button->Caption(), arabic) << "code page 1256 holds Arabic";
  EXPECT_EQ(f.button->Text(), fw::WideToAnsi(arabic));
  wchar_t window[64] = {0};
  ::GetWindowTextW(f.button->Handle(), window, 64);
  EXPECT_EQ(std::wstring(window), arabic) << "the window shows the caption";
  f.button->repaints = 0;
  f.button->SetCaption(arabic);
  EXPECT_EQ(f.button->repaints, 0) << "the same caption: no repaint";
  f.button->SetCaption(L"\x0416\x043E");  // Cyrillic: not in code page 1256
  EXPECT_EQ(f.button->Caption(), fw::AnsiToWide(fw::WideToAnsi(L"\x0416\x043E")));
  EXPECT_NE(f.button->Caption(), L"\x0416\x043E") << "the converted text is what stays";
}

TEST(Button, NumGlyphsOutsideOneToFourIsCorrected) {
  TTeButton b(nullptr);
  b.SetNumGlyphs(0);
  EXPECT_EQ(b.NumGlyphs(), 1);
  b.SetNumGlyphs(-5);
  EXPECT_EQ(b.NumGlyphs(), 1);
  b.SetNumGlyphs(7);
  EXPECT_EQ(b.NumGlyphs(), 4);
  b.SetNumGlyphs(3);
  EXPECT_EQ(b.NumGlyphs(), 3);
}

TEST(FontOptions, ApplyAddsStylesMovesTheSizeAndReplacesNameAndColour) {
  TTeFontOptions o;
  int changes = 0;
  o.OnChange = [&](fw::TObject*) { ++changes; };
  fw::TFont font;
  font.SetName(L"Tahoma");
  font.SetHeight(-11);
  font.SetStyle(fw::fsItalic);
  font.SetColor(fw::clRed);
  fw::TFont copy;
  copy.Assign(font);
  o.Apply(&copy);
  EXPECT_TRUE(copy.SameAs(font)) << "all options off: the font as it is";
  o.SetBold(true);
  o.SetUnderline(true);
  o.SetSizeDelta(2);
  o.SetFontName(L"Courier New");
  o.SetBold(true);
  EXPECT_EQ(changes, 4) << "a setter changes only on a new value";
  copy.Assign(font);
  o.Apply(&copy);
  EXPECT_EQ(copy.Style(), std::uint32_t(fw::fsBold | fw::fsItalic | fw::fsUnderline)) << "no option removes a style";
  EXPECT_EQ(copy.Size(), font.Size() + 2);
  EXPECT_EQ(copy.Name(), L"Courier New");
  EXPECT_EQ(copy.Color(), fw::clRed) << "FontColor not set";
  o.SetFontColor(fw::clBlue);
  copy.Assign(font);
  o.Apply(&copy);
  EXPECT_EQ(copy.Color(), fw::clBlue);
  o.Apply(nullptr);
  TTeFontOptions other;
  changes = 0;
  o.Assign(other);
  EXPECT_EQ(changes, 1) << "Assign changes once";
  EXPECT_FALSE(o.Bold());
  EXPECT_THROW(o.Assign(font), fw::Exception);
}

TEST(Button, ChangedFontOptionsShowAtTheNextPaintNotBefore) {
  TButtonForm f;
  f.button->repaints = 0;
  f.button->FontOptions()->SetBold(true);
  EXPECT_EQ(f.button->repaints, 0);
}

TEST(Button, StreamingRules) {
  fw::TClassRegistry::Register(TTeButton::StaticClassInfo());
  fw::TForm src(nullptr);
  src.SetName("F");
  auto* b = new TTeButton(&src);
  b->SetName("B");
  b->SetParent(&src);
  const std::string plain = fw::WriteComponentText(src);
  const std::string block = plain.substr(plain.find("object B: TTeButton"));
  for (const char* absent : {"ThemeObject", "ActiveDefault", "Color", "Performance", "TabStop", "Glyph", "ImageIndex",
                             "NumGlyphs", "Kind", "Spacing", "FontOptions", "Alignment", "Layout", "ParentFont"})
    EXPECT_EQ(block.find(absent), std::string::npos) << absent;

  b->SetThemeObject("MyButton");
  b->SetSpacing(6);
  b->SetWordWrap(true);
  b->SetLayout(blGlyphTop);
  b->SetAlignment(fw::taRightJustify);
  b->FontOptions()->SetItalic(true);
  b->FontOptions()->SetFontColor(fw::clRed);
  b->SetCancel(true);
  b->SetModalResult(7);
  fw::TBitmap glyph;
  glyph.SetPixelFormat(fw::TPixelFormat::pf24bit);
  glyph.SetSize(48, 16);
  b->SetGlyph(glyph);
  const std::string text = fw::WriteComponentText(src);
  for (const char* line : {"ThemeObject = 'MyButton'", "Spacing = 6", "WordWrap = True", "Layout = blGlyphTop",
                           "Alignment = taRightJustify", "FontOptions.Italic = True", "FontOptions.FontColor = clRed",
                           "Cancel = True", "ModalResult = 7", "NumGlyphs = 3", "Glyph.Data"})
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  EXPECT_EQ(text.find("ActiveDefault"), std::string::npos);

  fw::TForm dst(nullptr);
  fw::ReadComponentText(text, dst);
  auto* c = dynamic_cast<TTeButton*>(dst.FindComponent("B"));
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->ThemeObject(), "MyButton");
  EXPECT_EQ(c->Glyph()->Width(), 48);
  EXPECT_EQ(c->NumGlyphs(), 3);
  EXPECT_TRUE(c->FontOptions()->Italic());
  EXPECT_EQ(fw::WriteComponentText(dst), text);
}

// ---- Kinds and glyphs -------------------------------------------------------------------------------

TEST(Kinds, AKindGivesCaptionModalResultDefaultAndItsStockGlyph) {
  struct Case {
    TBitBtnKind kind;
    const wchar_t* caption;
    int modal;
    bool isDefault;
  };
  const Case cases[] = {{bkOK, L"OK", 1, true},           {bkCancel, L"Cancel", 2, false},
                        {bkHelp, L"&Help", 0, false},     {bkYes, L"&Yes", 6, true},
                        {bkNo, L"&No", 7, false},         {bkClose, L"&Close", 0, false},
                        {bkAbort, L"Abort", 3, false},    {bkRetry, L"&Retry", 4, false},
                        {bkIgnore, L"&Ignore", 5, false}, {bkAll, L"&All", 8, false}};
  for (const Case& c : cases) {
    TTeButton b(nullptr);
    b.SetModalResult(99);
    b.SetCancel(true);
    b.SetKind(c.kind);
    EXPECT_EQ(b.Caption(), c.caption) << int(c.kind);
    EXPECT_EQ(b.ModalResult(), c.modal) << int(c.kind);
    EXPECT_EQ(b.Default(), c.isDefault) << int(c.kind);
    EXPECT_TRUE(b.Cancel()) << "no kind changes Cancel";
    EXPECT_EQ(b.Glyph()->Width(), 32) << int(c.kind);
    EXPECT_EQ(b.Glyph()->Height(), 16);
    EXPECT_EQ(b.NumGlyphs(), 2);
    EXPECT_EQ(b.Glyph()->Canvas().Pixel(0, 15), fw::TColor(RGB(0, 128, 128))) << "on teal";
  }
  TTeButton b(nullptr);
  b.SetKind(bkOK);
  b.SetKind(bkCustom);
  EXPECT_EQ(b.Caption(), L"OK") << "bkCustom keeps what the kind gave";
  EXPECT_EQ(b.ModalResult(), 1);
  EXPECT_TRUE(b.Default());
  EXPECT_EQ(b.Glyph()->Width(), 32);
}

TEST(Kinds, TwoButtonsOfAKindShareTheStockBitmapAndKeepTheirOwnCopies) {
  EXPECT_EQ(GetButtonKindGlyph(bkRetry), GetButtonKindGlyph(bkRetry));
  auto* first = new TTeButton(nullptr);
  TTeButton second(nullptr);
  first->SetKind(bkRetry);
  second.SetKind(bkRetry);
  delete first;
  EXPECT_EQ(second.Glyph()->Width(), 32);
  EXPECT_FALSE(GetButtonKindGlyph(bkRetry)->Empty());
}

TEST(Kinds, WhileLoadingAKindKeepsACaptionAlreadyRead) {
  fw::TClassRegistry::Register(TTeButton::StaticClassInfo());
  fw::TForm form(nullptr);
  fw::ReadComponentText("object F: TForm\n  object B: TTeButton\n    Caption = 'Fine'\n    Kind = bkOK\n  end\nend\n",
                        form);
  auto* b = dynamic_cast<TTeButton*>(form.FindComponent("B"));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Caption(), L"Fine");
  EXPECT_EQ(b->ModalResult(), 1);
}

TEST(Glyphs, AGlyphOfWholeSquaresSetsItsCells) {
  TTeButton b(nullptr);
  fw::TBitmap g;
  g.SetPixelFormat(fw::TPixelFormat::pf24bit);
  for (auto [width, want] : {std::pair{48, 3}, {64, 4}, {80, 1}, {40, 1}}) {
    g.SetSize(width, 16);
    b.SetGlyph(g);
    EXPECT_EQ(b.NumGlyphs(), want) << width << " x 16";
  }
  b.SetNumGlyphs(3);
  g.SetSize(40, 16);
  b.SetGlyph(g);
  EXPECT_EQ(b.NumGlyphs(), 3) << "40 x 16 is not whole squares: the number stays";
  EXPECT_EQ(b.GetGlyphSize(), (fw::TPoint{13, 16}));
  fw::TBitmap empty;
  b.SetGlyph(empty);
  EXPECT_EQ(b.GetGlyphSize(), (fw::TPoint{0, 0}));
}

namespace {

// A glyph of `cells` 8 x 8 squares of solid colours on a key colour border.
fw::TBitmap& CellGlyph(std::initializer_list<fw::TColor> cells, fw::TColor key) {
  static fw::TBitmap g;
  g.SetPixelFormat(fw::TPixelFormat::pf32bit);
  g.SetSize(int(cells.size()) * 8, 8);
  auto& c = g.Canvas();
  c.Brush().SetColor(key);
  c.FillRect(fw::Rect(0, 0, g.Width(), 8));
  int x = 0;
  for (fw::TColor colour : cells) {
    c.Brush().SetColor(colour);
    c.FillRect(fw::Rect(x + 2, 2, x + 6, 6));
    x += 8;
  }
  return g;
}

// The button painted off screen; its glyph is centred in a 40 x 20 button without caption.
std::unique_ptr<TDibTarget> PaintGlyphButton(TTeButton& b) {
  b.SetBounds(0, 0, 40, 20);
  auto t = std::make_unique<TDibTarget>(40, 20);
  b.PaintTo(t->DC(), 0, 0);
  return t;
}

}  // namespace

TEST(Glyphs, TheCellShownForDisabledAndHeldAndTheKeyColour) {
  TButtonForm f;
  TLoggedButton& b = *f.button;
  b.SetCaption(L"");
  b.SetGlyph(CellGlyph({fw::clRed, fw::clLime, fw::clBlue}, fw::clTeal));
  ASSERT_EQ(b.NumGlyphs(), 3);
  // The glyph's 8 x 8 cell is centred: its middle at (20, 10).
  EXPECT_EQ(PaintGlyphButton(b)->At(20, 10), 0xFF0000u) << "enabled: the first cell";
  auto normal = PaintGlyphButton(b);
  const std::uint32_t under = normal->At(17, 7);
  EXPECT_NE(under, Rgb(fw::clTeal)) << "the key colour (the bottom-left pixel) shows what lies beneath";
  b.SetEnabled(false);
  EXPECT_EQ(PaintGlyphButton(b)->At(20, 10), 0x00FF00u) << "disabled: the second cell";
  b.SetEnabled(true);
  b.Press(20, 10);
  EXPECT_TRUE(b.Pressed());
  EXPECT_EQ(PaintGlyphButton(b)->At(21, 11), 0x0000FFu) << "held: the third cell, moved by (1, 1)";
  b.Release(100, 100);
}

TEST(Glyphs, AOneCellGlyphDisabledIsLightGreyAndBlackAndWhiteExceptWhileHot) {
  TButtonForm f;
  TTeButton& b = *f.button;
  b.SetCaption(L"");
  b.SetGlyph(CellGlyph({fw::clRed}, fw::clTeal));
  b.SetEnabled(false);
  const std::uint32_t grey = PaintGlyphButton(b)->At(20, 10);
  EXPECT_EQ(grey, 0xB9B9B9u) << "red: 160 + round(0.5 x 50) = 185";
  b.SetEnabled(true);
  b.SetBlackAndWhiteGlyph(true);
  EXPECT_EQ(PaintGlyphButton(b)->At(20, 10), 0x808080u) << "red: lightness one half, 128";
  b.Perform(fw::CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(&b));
  EXPECT_EQ(PaintGlyphButton(b)->At(20, 10), 0xFF0000u) << "in colour while the mouse is over it";
  b.Perform(fw::CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(&b));
}

TEST(Glyphs, AnImageListGlyphLosesExactlyItsFuchsiaPixels) {
  TButtonForm f;
  TTeButton& b = *f.button;
  b.SetCaption(L"");
  fw::TImageList images(nullptr);
  images.SetSize(8, 8);
  images.SetMasked(false);
  fw::TBitmap picture;
  picture.SetPixelFormat(fw::TPixelFormat::pf24bit);
  picture.SetSize(8, 8);
  picture.Canvas().Brush().SetColor(fw::clFuchsia);
  picture.Canvas().FillRect(fw::Rect(0, 0, 8, 8));
  picture.Canvas().Brush().SetColor(0xFE00FF);  // one step from fuchsia: kept
  picture.Canvas().FillRect(fw::Rect(2, 2, 6, 6));
  images.Add(picture, nullptr);
  b.SetImages(&images);
  b.SetImageIndex(0);
  auto p = PaintGlyphButton(b);
  EXPECT_EQ(p->At(20, 10), Rgb(0xFE00FF));
  EXPECT_NE(p->At(16, 6), Rgb(fw::clFuchsia)) << "the fuchsia pixels leave the face";
  b.SetImageIndex(5);
  EXPECT_EQ(b.GetGlyphSize(), (fw::TPoint{0, 0})) << "an index outside the list: no glyph";
  b.SetImages(nullptr);
}

// ---- Clicks -----------------------------------------------------------------------------------------

TEST(ButtonClicks, ReleasedInsideClicksOutsideAndOnTheRightOrBottomEdgeDoesNot) {
  TButtonForm f;
  TLoggedButton& b = *f.button;
  b.Press(5, 5);
  b.Release(5, 5);
  EXPECT_EQ(Clicks(f.log).size(), 1u);
  for (auto [x, y] : {std::pair{200, 5}, {120, 5}, {5, 40}}) {
    f.log.clear();
    b.Press(5, 5);
    b.Release(x, y);
    EXPECT_TRUE(Clicks(f.log).empty()) << x << "," << y;
    EXPECT_FALSE(b.Pressed());
    EXPECT_FALSE(b.Tracking());
  }
  f.log.clear();
  b.Press(5, 5);
  b.Release(119, 39);
  EXPECT_EQ(Clicks(f.log).size(), 1u) << "the last pixel inside";
}

TEST(ButtonClicks, DraggingOffShowsItRaisedAndBackShowsItHeld) {
  TButtonForm f;
  TLoggedButton& b = *f.button;
  b.Press(5, 5);
  EXPECT_TRUE(b.Pressed());
  b.Move(150, 5);
  EXPECT_FALSE(b.Pressed());
  b.Move(60, 20);
  EXPECT_TRUE(b.Pressed());
  b.Move(120, 20);  // x = ClientWidth is off the button
  EXPECT_FALSE(b.Pressed());
  b.Move(119, 20);
  b.Release(119, 20);
  EXPECT_EQ(Clicks(f.log).size(), 1u);
}

TEST(ButtonClicks, ThePlatformsHandlingComesFirstForTheMouse) {
  TButtonForm f;
  TLoggedButton& b = *f.button;
  b.Press(5, 6);
  b.Release(5, 6);
  EXPECT_EQ(fwtest::Only(f.log, {"OnMouse", "MouseDown", "OnClick"}),
            (Log{"B:OnMouseDown 5,6", "B:MouseDown pressed=1", "B:OnMouseUp 5,6", "B:OnClick modal=0"}))
      << "the platform's handling first: OnMouseDown before the button takes the press, OnMouseUp before its click";
}

TEST(ButtonClicks, ADisabledButtonIsNeitherPressedNorClicked) {
  TButtonForm f;
  TLoggedButton& b = *f.button;
  b.SetEnabled(false);
  b.Press(5, 5);
  EXPECT_FALSE(b.Pressed());
  b.Release(5, 5);
  EXPECT_TRUE(Clicks(f.log).empty());
  EXPECT_FALSE(::IsWindowEnabled(b.Handle())) << "the window follows Enabled";
}

TEST(ButtonClicks, SpaceClicksOnReleaseAlsoWhenAltWasHeldAtThePress) {
  TButtonForm f;
  TLoggedButton& b = *f.button;
  b.SetFocus();
  f.log.clear();
  f.Key(b.Handle(), WM_KEYDOWN, VK_SPACE);
  EXPECT_TRUE(b.Pressed());
  f.Key(b.Handle(), WM_KEYUP, VK_SPACE);
  EXPECT_FALSE(b.Pressed());
  EXPECT_EQ(fwtest::Only(f.log, {"OnKey", "OnClick"}), (Log{"B:OnKeyDown 32", "B:OnClick modal=0", "B:OnKeyUp 0"}))
      << "OnKeyUp sees the key taken";
  f.log.clear();
  f.Key(b.Handle(), WM_SYSKEYDOWN, VK_SPACE, 1 << 29);  // Alt held
  EXPECT_FALSE(b.Pressed()) << "no held look with Alt";
  f.Key(b.Handle(), WM_KEYUP, VK_SPACE);
  EXPECT_EQ(Clicks(f.log).size(), 1u);
}

TEST(ButtonClicks, EnterAndEscapeWithoutModifiers) {
  TButtonForm f;
  TLoggedButton& b = *f.button;
  // Enter on the focused button.
  b.SetFocus();
  f.log.clear();
  f.Key(b.Handle(), WM_KEYDOWN, VK_RETURN);
  EXPECT_EQ(Clicks(f.log).size(), 1u) << "Enter clicks the focused button";
  for (int modifier : {VK_SHIFT, VK_CONTROL}) {
    f.log.clear();
    THeldKeys held({modifier});
    f.Key(b.Handle(), WM_KEYDOWN, VK_RETURN);
    EXPECT_TRUE(Clicks(f.log).empty()) << "with key " << modifier;
  }
  f.log.clear();
  f.Key(b.Handle(), WM_SYSKEYDOWN, VK_RETURN, 1 << 29);
  EXPECT_TRUE(Clicks(f.log).empty()) << "with Alt";

  // Enter clicks a Default button while the focus is on a control that is not a button.
  b.SetDefault(true);
  f.other->SetFocus();
  EXPECT_TRUE(b.ActiveDefault());
  f.log.clear();
  f.Key(f.other->Handle(), WM_KEYDOWN, VK_RETURN);
  EXPECT_EQ(Clicks(f.log).size(), 1u);
  // Escape clicks a Cancel button only.
  f.log.clear();
  f.Key(f.other->Handle(), WM_KEYDOWN, VK_ESCAPE);
  EXPECT_TRUE(Clicks(f.log).empty());
  b.SetCancel(true);
  f.Key(f.other->Handle(), WM_KEYDOWN, VK_ESCAPE);
  EXPECT_EQ(Clicks(f.log).size(), 1u);
  f.log.clear();
  {
    THeldKeys held({VK_SHIFT});
    f.Key(f.other->Handle(), WM_KEYDOWN, VK_ESCAPE);
  }
  EXPECT_TRUE(Clicks(f.log).empty()) << "Escape with Shift";
  // A button that cannot take the focus clicks on nothing.
  b.SetEnabled(false);
  f.Key(f.other->Handle(), WM_KEYDOWN, VK_RETURN);
  f.Key(f.other->Handle(), WM_KEYDOWN, VK_ESCAPE);
  EXPECT_TRUE(Clicks(f.log).empty());
}

TEST(ButtonClicks, ActiveDefaultFollowsTheFocusAndTheDefaultFlag) {
  TButtonForm f;
  TLoggedButton& b = *f.button;
  auto* second = new TTeButton(f.form.get());
  second->SetParent(f.form.get());
  second->SetBounds(200, 10, 80, 30);
  f.other->SetFocus();
  EXPECT_FALSE(b.ActiveDefault()) << "not Default";
  b.SetDefault(true);
  EXPECT_TRUE(b.ActiveDefault()) << "the form re-evaluates at once";
  second->SetFocus();
  EXPECT_FALSE(b.ActiveDefault()) << "focus on another themed button";
  b.SetFocus();
  EXPECT_FALSE(b.ActiveDefault()) << "focus on itself";
  f.other->SetFocus();
  EXPECT_TRUE(b.ActiveDefault());
  b.SetDefault(false);
  EXPECT_FALSE(b.ActiveDefault());
}

TEST(ButtonClicks, TheAcceleratorFocusesAndClicks) {
  TButtonForm f;
  TLoggedButton& b = *f.button;
  f.other->SetFocus();
  f.log.clear();
  f.Key(f.other->Handle(), WM_SYSCHAR, 'g', 1 << 29);
  EXPECT_EQ(Clicks(f.log).size(), 1u);
  EXPECT_EQ(::GetFocus(), b.Handle());
  f.log.clear();
  f.Key(b.Handle(), WM_SYSCHAR, 'x', 1 << 29);
  EXPECT_TRUE(Clicks(f.log).empty());
}

TEST(ButtonClicks, TheModalResultGoesToTheFormBeforeOnClickAndCloseClosesIt) {
  TButtonForm f;
  TLoggedButton& b = *f.button;
  f.form->SetModalResult(5);
  b.Click();
  EXPECT_EQ(Clicks(f.log), Log{"B:OnClick modal=0"}) << "0 included";
  b.SetModalResult(4);
  f.log.clear();
  b.Click();
  EXPECT_EQ(Clicks(f.log), Log{"B:OnClick modal=4"});
  int closes = 0;
  f.form->OnClose = [&](fw::TObject*, fw::TCloseAction& a) {
    ++closes;
    a = fw::TCloseAction::caNone;
  };
  f.form->SetModalResult(9);
  b.SetKind(bkClose);
  f.log.clear();
  b.Click();
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(Clicks(f.log), Log{"B:OnClick modal=9"}) << "a close button does not set the modal result";
}

TEST(ButtonClicks, AnActionGivesItsCaptionAndItsExecution) {
  TButtonForm f;
  fw::TAction action(nullptr);
  action.SetCaption("Run it");
  int runs = 0;
  action.OnExecute = [&](fw::TObject*) { ++runs; };
  f.button->OnClick = nullptr;
  f.button->SetAction(&action);
  EXPECT_EQ(f.button->Caption(), L"Run it");
  f.button->Click();
  EXPECT_EQ(runs, 1);
  f.button->SetAction(nullptr);
}

TEST(ButtonNotices, ThemeNoticesAndTheLinksChangeNoticeRepaint) {
  TButtonForm f;
  TLoggedButton& b = *f.button;
  for (WPARAM code : {0, 3, 4, 5}) {
    b.repaints = 0;
    b.Perform(TM_THEMENOTIFY, code, 0);
    EXPECT_EQ(b.repaints, 1) << code;
  }
  b.repaints = 0;
  b.Perform(TM_THEMENOTIFY, 1, 0);
  b.Perform(TM_THEMENOTIFY, 2, 0);
  b.Perform(TM_LINKNOTIFY, 0, 1234);
  EXPECT_EQ(b.repaints, 0) << "other codes and other links are ignored";
}

// ---- Faces on pixels ------------------------------------------------------------------------------

namespace {
std::unique_ptr<TDibTarget> Shot(TTeButton& b) {
  auto t = std::make_unique<TDibTarget>(b.Width(), b.Height());
  t->Fill(0x00FF00);
  b.PaintTo(t->DC(), 0, 0);
  return t;
}
}  // namespace

TEST(ClassicFace, RaisedSunkenFocusedAndTheEmbossedDisabledCaption) {
  TThemesActiveAs classic(false);
  TButtonForm f;
  TLoggedButton& b = *f.button;
  b.SetCaption(L"Update");
  b.SetParentFont(false);
  b.Font()->SetName(L"Tahoma");
  b.Font()->SetHeight(-19);
  b.Font()->SetStyle(fw::fsBold);
  b.Font()->SetColor(fw::clRed);
  f.other->SetFocus();
  const std::uint32_t face = Rgb(fw::clBtnFace), light = Rgb(fw::clBtnHighlight), shadow = Rgb(fw::clBtnShadow);
  auto raised = Shot(b);
  EXPECT_EQ(raised->At(0, 0), light);
  EXPECT_EQ(raised->At(119, 39), 0u) << "black at the bottom-right";
  EXPECT_EQ(raised->At(1, 1), face) << "the inner frame's top-left is the face colour";
  EXPECT_EQ(raised->At(118, 38), shadow);
  EXPECT_EQ(raised->At(6, 20), face);
  auto count = [](const TDibTarget& t, std::uint32_t c) {
    int n = 0;
    for (int y = 0; y < t.Height(); ++y)
      for (int x = 0; x < t.Width(); ++x) n += t.At(x, y) == c;
    return n;
  };
  EXPECT_GT(count(*raised, 0xFF0000u), 20) << "the caption in the font's red";

  b.Press(5, 5);
  auto sunken = Shot(b);
  EXPECT_EQ(sunken->At(0, 0), 0u) << "focused (the press took the focus): the black outline";
  EXPECT_EQ(sunken->At(1, 1), shadow) << "sunken";
  EXPECT_EQ(sunken->At(118, 38), shadow);
  b.Release(200, 200);

  auto focused = Shot(b);
  EXPECT_EQ(focused->At(0, 0), 0u);
  EXPECT_EQ(focused->At(1, 1), light) << "raised inside the outline";
  int dotted = 0;  // the focus rectangle 4 pixels inside
  for (int x = 5; x < 115; ++x) dotted += focused->At(x, 4) != face;
  EXPECT_GT(dotted, 20);

  f.other->SetFocus();
  b.SetEnabled(false);
  auto disabled = Shot(b);
  EXPECT_EQ(count(*disabled, 0xFF0000u), 0) << "not the font's colour";
  EXPECT_GT(count(*disabled, light), 20) << "the highlight, one pixel right and down";
  EXPECT_GT(count(*disabled, shadow), 20);
  EXPECT_EQ(disabled->At(0, 0), light) << "the classic face looks the same when disabled";
}

// With the visual style on (themed_prefix.sh), the face is DrawThemeBackground
// of "Button", part 1, in the state the table gives; with it off, the classic face.
TEST(ButtonThemedPrefix, TheFaceIsTheVisualStylesPushButtonInEachState) {
  char flag[4] = {};
  if (!::GetEnvironmentVariableA("NAVEKO_EXPECT_THEMED", flag, sizeof flag)) GTEST_SKIP() << "run by themed_prefix.sh";
  ASSERT_EQ(ThemesActive(), flag[0] == '1');
  TButtonForm f;
  TLoggedButton& b = *f.button;
  b.SetCaption(L"");
  f.other->SetFocus();
  auto expected = [&](int state) {
    auto t = std::make_unique<TDibTarget>(b.Width(), b.Height());
    t->Fill(0x00FF00);
    fw::UniqueBrush fill(::CreateSolidBrush(fw::ColorToRGB(b.Color())));
    const RECT all{0, 0, b.Width(), b.Height()};
    ::FillRect(t->DC(), &all, fill.get());
    if (flag[0] == '1')
      TThemeData(nullptr, L"Button").DrawBackground(t->DC(), 1, state, fw::Rect(0, 0, b.Width(), b.Height()));
    return t;
  };
  if (flag[0] != '1') {
    EXPECT_EQ(Shot(b)->At(0, 0), Rgb(fw::clBtnHighlight)) << "the classic face";
    return;
  }
  EXPECT_TRUE(Shot(b)->SameAs(*expected(1))) << "normal";
  b.Perform(fw::CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(&b));
  EXPECT_TRUE(Shot(b)->SameAs(*expected(2))) << "hot";
  b.Press(5, 5);
  EXPECT_TRUE(Shot(b)->SameAs(*expected(3))) << "held";
  b.Release(200, 200);
  b.Perform(fw::CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(&b));
  EXPECT_TRUE(b.Focused());
  EXPECT_TRUE(Shot(b)->SameAs(*expected(5))) << "focused: defaulted";
  f.other->SetFocus();
  b.SetEnabled(false);
  EXPECT_TRUE(Shot(b)->SameAs(*expected(4))) << "disabled";
}

namespace {

// A theme that defines the button and records what it is asked to draw.
class TRecordingTheme : public TteTheme {
 public:
  explicit TRecordingTheme(std::vector<std::string>* calls) : calls_(calls) {}
  bool HasButtonObject(std::uint8_t, const TObjectName&) override { return true; }
  void DrawButton(std::uint8_t sub, fw::TCanvas& c, const TteObjectInfo& info, const TObjectName& name) override {
    calls_->push_back("DrawButton " + std::to_string(sub) + " state=" + std::to_string(info.State) + " " + name);
    FillRectColor(c, info.Rect, 0x336699);
  }
  void DrawButtonText(std::uint8_t, fw::TCanvas& c, const TteObjectInfo& info, const TteTextInfo& text,
                      const TObjectName& name) override {
    calls_->push_back("DrawButtonText state=" + std::to_string(info.State) + " " + fw::WideToAnsi(text.Text) + " " +
                      name);
    TteTheme::DrawButtonText(0, c, info, text, name);
  }
  void DrawButtonGlyph(std::uint8_t, fw::TCanvas& c, const TteObjectInfo& info, const TteGlyphInfo& glyph,
                       const TObjectName& name) override {
    calls_->push_back("DrawButtonGlyph code=" + std::to_string(glyph.Code) + " state=" + std::to_string(info.State) +
                      " " + name);
    TteTheme::DrawButtonGlyph(0, c, info, glyph, name);
  }

 private:
  std::vector<std::string>* calls_;
};

}  // namespace

TEST(ThemedButton, AThemeThatDefinesTheButtonDrawsFaceCaptionAndGlyph) {
  TButtonForm f;
  TLoggedButton& b = *f.button;
  b.SetCaption(L"Go");
  b.SetThemeObject("MyButton");
  b.SetBounds(10, 10, 120, 40);
  b.SetGlyph(CellGlyph({fw::clRed}, fw::clTeal));
  f.other->SetFocus();
  std::vector<std::string> calls;
  SetCurrentTheme(std::make_unique<TRecordingTheme>(&calls));
  calls.clear();
  auto normal = Shot(b);
  b.SetEnabled(false);
  auto disabled = Shot(b);
  SetCurrentTheme(nullptr);
  EXPECT_EQ(calls,
            (std::vector<std::string>{"DrawButton 0 state=0 MyButton", "DrawButtonText state=0 Go MyButton",
                                      "DrawButtonGlyph code=4 state=0 MyButton", "DrawButton 0 state=3 MyButton",
                                      "DrawButtonText state=3 Go MyButton", "DrawButtonGlyph code=4 state=3 MyButton"}))
      << "face, caption, glyph: the glyph over the caption; the control's own object name";
  EXPECT_EQ(normal->At(2, 2), Rgb(0x336699)) << "the theme's face covers the button";
  int red = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) red += normal->At(x, y) == 0xFF0000u;
  EXPECT_EQ(red, 16) << "the 4 x 4 glyph keyed over the face";
}

TEST(ThemedButton, MeasuringTheBlockLeavesThePaintFontAlone) {
  TButtonForm f;
  TLoggedButton& b = *f.button;
  b.Font()->SetSize(30);
  Shot(b);  // the paint font is the control's font now
  std::vector<std::string> calls;
  SetCurrentTheme(std::make_unique<TRecordingTheme>(&calls));
  TRect block;
  b.GetContentRect(block);
  const int size = b.PaintFont()->Size();
  SetCurrentTheme(nullptr);
  EXPECT_EQ(size, 30) << "the theme's caption font measures the block without becoming the paint font";
}

TEST(Button, ARemovedImageListOrThemeLinkIsDroppedWhenThePlatformTellsTheButton) {
  struct TLinkOf : TteCustomThemeLink {
    using TteCustomThemeLink::TteCustomThemeLink;
    TteTheme* GetTheme() override { return nullptr; }
  };
  fw::TForm form(nullptr);
  auto* images = new fw::TImageList(&form);
  auto* link = new TLinkOf(&form);
  auto* b = new TTeButton(&form);
  b->SetImages(images);
  b->SetImageIndex(0);
  b->SetThemeLink(link);
  delete images;  // its owner's removal notice reaches the button
  delete link;
  EXPECT_EQ(b->Images(), nullptr);
  EXPECT_EQ(b->ThemeLink(), nullptr);
  EXPECT_EQ(b->GetGlyphSize(), (fw::TPoint{0, 0})) << "the next paint goes on without them";
}
