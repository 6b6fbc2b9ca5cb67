// Faults that only real Windows shows, or that Wine forgives: checked by the
// rule itself rather than by waiting for Wine to complain.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/win/forms.h"
#include "framework/win/utility_window.h"
#include "tests/support/pixels.h"

using namespace fw;
using namespace fwtest;

namespace {

// Every GDI object the framework deletes is checked against what the watched
// DC has selected: Windows refuses to delete a selected object (the handle leaks).
HDC gWatchedDc = nullptr;
std::vector<HGDIOBJ> gDeletedWhileSelected;

void WatchDelete(HGDIOBJ h) {
  if (!gWatchedDc) return;
  for (UINT type : {OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP})
    if (::GetCurrentObject(gWatchedDc, type) == h) gDeletedWhileSelected.push_back(h);
}

struct TWatch {
  explicit TWatch(HDC dc) {
    gWatchedDc = dc;
    gDeletedWhileSelected.clear();
    GdiDeleteObserver = WatchDelete;
  }
  ~TWatch() {
    GdiDeleteObserver = nullptr;
    gWatchedDc = nullptr;
  }
};

}  // namespace

TEST(GdiObjects, AChangedFontPenOrBrushIsDeselectedBeforeItIsDeleted) {
  TBitmap b;
  b.SetPixelFormat(TPixelFormat::pf32bit);
  b.SetSize(40, 20);
  TCanvas& c = b.Canvas();
  TWatch watch(c.Handle());
  for (TColor color : {clRed, clBlue, clBtnShadow}) {
    c.Pen().SetColor(color);
    c.MoveTo(0, 0);
    c.LineTo(10, 10);
    c.Brush().SetColor(color);
    c.FillRect(Rect(0, 0, 5, 5));
    c.Font().SetHeight(c.Font().Height() - 1);
    c.TextOut(0, 0, "x");
  }
  c.Pen().SetWidth(2);
  c.Brush().SetStyle(TBrushStyle::bsClear);
  c.Font().SetStyle(fsBold);
  TPen other;
  other.SetColor(clLime);
  c.Pen().Assign(other);
  EXPECT_TRUE(gDeletedWhileSelected.empty()) << gDeletedWhileSelected.size() << " objects deleted while selected";
  // The next use selects the new objects.
  c.MoveTo(0, 19);
  c.LineTo(40, 19);
  EXPECT_EQ(Px(b, 5, 19), 0x00FF00u);
}

TEST(GdiObjects, TheCountOfLiveObjectsSeesEveryObject) {
  const int before = CountGdiObjects();
  {
    UniquePen pens[5];
    for (auto& p : pens) p.reset(::CreatePen(PS_SOLID, 1, 0));
    EXPECT_EQ(CountGdiObjects(), before + 5);
  }
  EXPECT_EQ(CountGdiObjects(), before);
}

TEST(GdiObjects, TenThousandColourChangesOfPenAndBrushLeaveNoObjectBehind) {
  TBitmap b;
  b.SetPixelFormat(TPixelFormat::pf32bit);
  b.SetSize(8, 8);
  TCanvas& c = b.Canvas();
  c.FillRect(Rect(0, 0, 1, 1));
  c.LineTo(1, 1);
  const int before = CountGdiObjects();
  for (int i = 0; i < 10000; ++i) {
    const TColor color = TColor(i & 1 ? 0x102030 : 0x405060);
    c.Pen().SetColor(color);
    c.LineTo(i % 8, 7);
    c.Brush().SetColor(color);
    c.FillRect(Rect(0, 0, 2, 2));
  }
  EXPECT_LE(CountGdiObjects(), before);
}

TEST(UtilityWindows, AHandlerErrorGoesToTheApplicationsHandlerNotThroughSendMessage) {
  std::vector<std::string> reported;
  Application->OnException = [&](TObject*, const std::exception& e) { reported.push_back(e.what()); };
  TUtilityWindow w = AllocateHWnd([](HWND h, TMessage& m) {
    if (m.Msg == WM_USER + 7) throw std::runtime_error("handler failed");
    TUtilityWindow::DefaultHandling(h, m);
  });
  wchar_t cls[32] = {0};
  ::GetClassNameW(w.Handle(), cls, 32);
  EXPECT_EQ(std::wstring(cls), L"TPUtilWindow");
  EXPECT_EQ(::GetParent(w.Handle()), nullptr) << "a top-level window, so that it hears broadcasts";
  EXPECT_FALSE(::IsWindowVisible(w.Handle()));
  EXPECT_TRUE(::GetWindowLongW(w.Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  ::SendMessageW(w.Handle(), WM_USER + 7, 0, 0);
  EXPECT_EQ(reported, std::vector<std::string>{"handler failed"});
  // Moving keeps the window and its handler; the owner's end destroys it.
  HWND h = w.Handle();
  TUtilityWindow moved = std::move(w);
  EXPECT_EQ(moved.Handle(), h);
  ::SendMessageW(h, WM_USER + 7, 0, 0);
  EXPECT_EQ(reported.size(), 2u);
  moved.Destroy();
  EXPECT_FALSE(::IsWindow(h));
  Application->OnException = nullptr;
}

TEST(UtilityWindows, AnErrorInTheApplicationWindowsHandlerIsCaughtThere) {
  // WM_CLOSE to the application's window closes the main form; its OnClose raises.
  std::vector<std::string> reported;
  Application->OnException = [&](TObject*, const std::exception& e) { reported.push_back(e.what()); };
  auto* form = Application->CreateForm<TForm>();
  form->OnClose = [](TObject*, TCloseAction&) { throw std::runtime_error("close failed"); };
  ::SendMessageW(Application->Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(reported, std::vector<std::string>{"close failed"});
  delete form;
  Application->OnException = nullptr;
}

namespace {

// A control whose own window clean-up is recorded.
class TCleanupControl : public TCustomControl {
 public:
  TCleanupControl(TComponent* owner, std::vector<std::string>* log) : TCustomControl(owner), log_(log) {}
  ~TCleanupControl() override { log_->push_back("~TCleanupControl"); }

 protected:
  void DestroyWnd() override {
    log_->push_back(std::string("DestroyWnd ") + (::IsWindow(HandleNoCreate()) ? "window alive" : "no window"));
    TCustomControl::DestroyWnd();
  }

 private:
  std::vector<std::string>* log_;
};

}  // namespace

TEST(Destruction, ADerivedControlsWindowCleanUpRunsWhenItIsFreed) {
  std::vector<std::string> log;
  auto form = std::make_unique<TForm>(nullptr);
  auto* alone = new TCleanupControl(form.get(), &log);
  alone->SetParent(form.get());
  alone->HandleNeeded();
  HWND h = alone->HandleNoCreate();
  delete alone;
  EXPECT_EQ(log, (std::vector<std::string>{"DestroyWnd window alive", "~TCleanupControl"}));
  EXPECT_FALSE(::IsWindow(h));

  // Freed by its owner, with the form.
  log.clear();
  auto* owned = new TCleanupControl(form.get(), &log);
  owned->SetParent(form.get());
  form->HandleNeeded();
  form.reset();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "DestroyWnd window alive");
  EXPECT_EQ(log.back(), "~TCleanupControl");
}

TEST(TestBench, TheFontsTheProgramNamesAreTheRealFaces) {
  // Tahoma for the window and the button, Marlett for Windows' frame glyphs:
  // without them Wine substitutes another face (a close box shows the letter "r").
  ScopedGetDC screen(nullptr);
  for (const wchar_t* face : {L"Tahoma", L"Marlett"}) {
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    wcscpy(lf.lfFaceName, face);
    bool found = false;
    ::EnumFontFamiliesExW(
        screen.get(), &lf,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM p) -> int {
          *reinterpret_cast<bool*>(p) = true;
          return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    EXPECT_TRUE(found) << "no font face named " << std::string(face, face + wcslen(face));
    UniqueFont font(::CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face));
    ScopedSelectObject select(screen.get(), font.get());
    wchar_t got[LF_FACESIZE] = {0};
    ::GetTextFaceW(screen.get(), LF_FACESIZE, got);
    EXPECT_EQ(std::wstring(got), std::wstring(face));
  }
}
