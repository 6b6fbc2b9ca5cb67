#include <gtest/gtest.h>

#include "framework/core/exception.h"
#include "framework/core/streaming.h"
#include "framework/win/extctrls.h"
#include "framework/win/forms.h"
#include "framework/win/grids.h"
#include "framework/win/stdctrls.h"

using namespace fw;

namespace {

// A form class of the test's own, read from a layout text like the program's main window.
class TTestForm : public TForm {
 public:
  explicit TTestForm(TComponent* owner) : TForm(owner) {}
  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo info("TTestForm", &TForm::StaticClassInfo(),
                                 [](TComponent* o) -> TComponent* { return new TTestForm(o); });
    return info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  std::any FindMethod(const std::string& name) override {
    if (name == "Clicked") return std::function<void(TObject*)>([this](TObject*) { ++clicks; });
    if (name == "Shown")
      return std::function<void(TObject*)>([this](TObject*) { visibleInOnShow = ::IsWindowVisible(Handle()); ++shows; });
    if (name == "Closing")
      return std::function<void(TObject*, TCloseAction&)>([this](TObject*, TCloseAction& a) {
        ++closes;
        a = closeAction;
      });
    return {};
  }
  int clicks = 0, shows = 0, closes = 0;
  bool visibleInOnShow = true;
  TCloseAction closeAction = TCloseAction::caHide;
};

const char* kLayout =
    "object TestForm: TTestForm\n"
    "  Left = 10\n  Top = 20\n  Width = 320\n  Height = 240\n"
    "  Caption = 'Test'\n  Font.Charset = ARABIC_CHARSET\n  Font.Color = clWindowText\n"
    "  Font.Height = -11\n  Font.Name = 'Tahoma'\n  Font.Style = []\n"
    "  PixelsPerInch = 96\n  OnShow = Shown\n  OnClose = Closing\n"
    "  object Pic: TImage\n    Left = 0\n    Top = 0\n    Width = 200\n    Height = 100\n    Align = alTop\n  end\n"
    "  object Grid: TStringGrid\n    Left = 40\n    Top = 80\n    Width = 249\n    Height = 129\n"
    "    Visible = False\n    TabOrder = 0\n    ColCount = 30\n    RowCount = 1500\n  end\n"
    "  object Btn: TButton\n    Left = 8\n    Top = 124\n    Width = 273\n    Height = 49\n"
    "    Font.Charset = ARABIC_CHARSET\n    Font.Color = clRed\n    Font.Height = -19\n"
    "    Font.Name = 'Tahoma'\n    Font.Style = [fsBold]\n    ParentFont = False\n    TabOrder = 1\n"
    "    OnClick = Clicked\n    ModalResult = 0\n    Caption = '&Go'\n  end\n"
    "end\n";

}  // namespace

TEST(Forms, LayoutReadsIntoTheFormAndWritesBackTheSame) {
  TTestForm form(nullptr);
  ReadComponentText(kLayout, form);
  auto* btn = dynamic_cast<TButton*>(form.FindComponent("Btn"));
  auto* grid = dynamic_cast<TStringGrid*>(form.FindComponent("Grid"));
  ASSERT_TRUE(btn && grid);
  EXPECT_EQ(btn->Parent(), &form);
  EXPECT_EQ(btn->Font()->Height(), -19);
  EXPECT_EQ(btn->Font()->Style(), std::uint32_t(fsBold));
  EXPECT_EQ(btn->Font()->Charset(), 178);
  EXPECT_EQ(grid->ColCount(), 30);
  EXPECT_EQ(grid->RowCount(), 1500);
  EXPECT_EQ(grid->TabOrder(), 0);
  EXPECT_EQ(btn->TabOrder(), 1);
  const std::string text = WriteComponentText(form);
  EXPECT_EQ(text.find("ModalResult"), std::string::npos) << "a value equal to its default is not written";
  EXPECT_EQ(text.find("TabStop"), std::string::npos);
  TTestForm again(nullptr);
  ReadComponentText(text, again);
  EXPECT_EQ(WriteComponentText(again), text);
}

TEST(Forms, FontIsStoredOnlyWhenNotInherited) {
  TForm form(nullptr);
  form.SetName("F");
  auto* b = new TButton(&form);
  b->SetName("B");
  b->SetParent(&form);
  std::string text = WriteComponentText(form);
  EXPECT_EQ(text.find("    Font."), std::string::npos) << text;
  b->Font()->SetHeight(-19);
  text = WriteComponentText(form);
  EXPECT_NE(text.find("    Font.Height = -19"), std::string::npos) << text;
  EXPECT_NE(text.find("    ParentFont = False"), std::string::npos) << text;
}

TEST(Forms, OnShowRunsBeforeTheWindowIsVisible) {
  TTestForm form(nullptr);
  ReadComponentText(kLayout, form);
  form.Show();
  EXPECT_EQ(form.shows, 1);
  EXPECT_FALSE(form.visibleInOnShow);
  EXPECT_TRUE(::IsWindowVisible(form.Handle()));
}

TEST(Forms, ShowingFocusesTheFirstTabStopThatCanTakeTheFocus) {
  TTestForm form(nullptr);
  ReadComponentText(kLayout, form);
  form.Show();
  Application->ProcessMessages();
  EXPECT_EQ(form.ActiveControl(), form.FindComponent("Btn")) << "the hidden grid is passed over";
}

TEST(Forms, CloseRunsOnCloseAndHonoursItsAction) {
  TTestForm form(nullptr);
  ReadComponentText(kLayout, form);
  form.Show();
  form.closeAction = TCloseAction::caNone;
  ::SendMessageW(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(form.closes, 1);
  EXPECT_TRUE(::IsWindowVisible(form.Handle()));
  form.closeAction = TCloseAction::caHide;
  ::SendMessageW(form.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(form.closes, 2);
  EXPECT_FALSE(::IsWindowVisible(form.Handle()));
}

TEST(Forms, ButtonClickGivesItsModalResultToTheForm) {
  TTestForm form(nullptr);
  ReadComponentText(kLayout, form);
  auto* btn = dynamic_cast<TButton*>(form.FindComponent("Btn"));
  form.SetModalResult(7);
  btn->Click();
  EXPECT_EQ(form.ModalResult(), 0);
  EXPECT_EQ(form.clicks, 1);
}

TEST(Forms, LayoutMadeAt96DpiIsScaledToTheScreensResolution) {
  const int saved = Screen->PixelsPerInch();
  Screen->SetPixelsPerInch(120);
  TTestForm form(nullptr);
  const TRect client96 = [] {
    TTestForm f(nullptr);
    Screen->SetPixelsPerInch(96);
    ReadComponentText(kLayout, f);
    Screen->SetPixelsPerInch(120);
    return f.ClientRect();
  }();
  ReadComponentText(kLayout, form);
  Screen->SetPixelsPerInch(saved);
  auto* btn = dynamic_cast<TButton*>(form.FindComponent("Btn"));
  EXPECT_EQ(btn->BoundsRect(), Rect(10, 155, 351, 216));  // (8,124)-(281,173) times 1.25, rounded
  EXPECT_EQ(btn->Font()->Height(), -24);
  EXPECT_EQ(form.Font()->Height(), -14);
  EXPECT_EQ(form.PixelsPerInch(), 120);
  EXPECT_EQ(form.ClientWidth(), fw::MulDiv(client96.Width(), 120, 96));
  EXPECT_EQ(form.ClientHeight(), fw::MulDiv(client96.Height(), 120, 96));
  auto* pic = dynamic_cast<TImage*>(form.FindComponent("Pic"));
  EXPECT_EQ(pic->Width(), form.ClientWidth()) << "the top-aligned picture still spans the client";
  EXPECT_EQ(pic->Height(), 125);
}

TEST(Forms, MessageBoxTakesTheApplicationTitleAsCaption) {
  // The box is modal: a timer posted to this thread dismisses it once it shows.
  static std::wstring caption, text;
  caption.clear();
  text.clear();
  UINT_PTR t = ::SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = ::FindWindowW(L"#32770", nullptr);
    if (!box) return;
    wchar_t buf[256];
    ::GetWindowTextW(box, buf, 256);
    caption = buf;
    HWND stat = ::GetDlgItem(box, 0xFFFF);
    ::GetWindowTextW(stat, buf, 256);
    text = buf;
    ::KillTimer(nullptr, id);
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  Application->MessageBox(L"\x0645\x0631\x062D\x0628\x0627");
  ::KillTimer(nullptr, t);
  EXPECT_EQ(caption, L"framework tests");
  EXPECT_EQ(text, L"\x0645\x0631\x062D\x0628\x0627");
}

TEST(Forms, TheActiveWindowAndItsFocusReturnAfterAMessageBox) {
  TTestForm form(nullptr);
  ReadComponentText(kLayout, form);
  form.Show();
  ::SetActiveWindow(form.Handle());
  Application->ProcessMessages();
  HWND button = dynamic_cast<TWinControl*>(form.FindComponent("Btn"))->Handle();
  ASSERT_EQ(::GetFocus(), button);
  UINT_PTR t = ::SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) {
    if (HWND box = ::FindWindowW(L"#32770", nullptr)) {
      ::KillTimer(nullptr, id);
      ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
  });
  Application->MessageBox(L"done");
  ::KillTimer(nullptr, t);
  Application->ProcessMessages();
  EXPECT_EQ(::GetActiveWindow(), form.Handle());
  EXPECT_EQ(::GetFocus(), button) << "keys reach the form again, Alt+F4 included";
}
