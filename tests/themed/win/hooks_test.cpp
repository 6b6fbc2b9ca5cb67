// The library's start-up objects and window hooks under Wine: the order of the
// units' start and exit steps, the objects the controls unit makes, the
// background painters it registers, the hook chain on a real window, and the
// deferred-click window.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/win/extctrls.h"
#include "framework/win/forms.h"
#include "tests/support/pixels.h"
#include "tests/themed/win/see_through.h"
#include "themed/win/te_const.h"
#include "themed/win/te_controls.h"
#include "themed/win/te_units.h"
#include "themed/win/te_winapi.h"

using namespace te;
using fwtest::Rgb;
using fwtest::TDibTarget;

// ---- Start-up and exit ----------------------------------------------------------------------

TEST(LibraryStartUp, UnitsStartInOrderAndEndInReverseTheControlsUnitStepByStep) {
  std::vector<std::string> trace;
  SetUnitTrace(&trace);
  FinalizeUnits();
  InitializeUnits();
  SetUnitTrace(nullptr);
  EXPECT_EQ(HookList(), nullptr) << "none until a hook attaches";
  ASSERT_NE(ClickHandler(), nullptr);
  EXPECT_FALSE(ClickHandler()->HandleAllocated()) << "its window is made only when something is posted to it";
  const std::vector<std::string> want = {"exit te_controls",
                                         "exit 1 button kind glyphs",
                                         "exit 2 shared buffer, form button images, fonts",
                                         "exit 3 hook list",
                                         "exit 4 TrueType glyph",
                                         "exit 5 default animation",
                                         "exit 6 click handler",
                                         "exit 8 menu check bitmap, menu font",
                                         "exit 9 global message settings",
                                         "exit 10 text tables",
                                         "exit te_effect",
                                         "exit te_theme",
                                         "exit te_utils",
                                         "exit te_bitmap",
                                         "exit te_winapi",
                                         "start te_winapi",
                                         "start te_bitmap",
                                         "start te_utils",
                                         "start te_theme",
                                         "start te_effect",
                                         "start te_controls",
                                         "1 captions and dialog button names",
                                         "2 streaming classes",
                                         "3 buffer limits",
                                         "4 shared paint buffer",
                                         "5 painters TTeControl, TPage",
                                         "6 menu metrics, menu font, menu check bitmap",
                                         "8 click handler",
                                         "9 default animation",
                                         "10 platform version",
                                         "11 TrueType glyph, hook list",
                                         "13 button kind glyph slots",
                                         "15 caption fonts, form button images, frame metrics",
                                         "16 form painter",
                                         "17 status font",
                                         "19 global message settings"};
  EXPECT_EQ(trace, want);
}

TEST(LibraryStartUp, TheControlsUnitsObjects) {
  EXPECT_EQ(ButtonKindCaption(bkOK), L"OK") << "from the program's string table";
  EXPECT_EQ(ButtonKindCaption(bkAll), L"&All");
  EXPECT_TRUE(ButtonKindCaption(bkCustom).empty());
  EXPECT_EQ(DialogButtonName(0), L"Yes");
  EXPECT_EQ(DialogButtonName(10), L"Help");
  ASSERT_NE(SharedPaintBuffer(), nullptr);
  ASSERT_NE(MenuCheckBitmap(), nullptr);
  EXPECT_EQ(MenuCheckBitmap()->Width(), 20);
  EXPECT_TRUE(MenuCheckBitmap()->Transparent());
  EXPECT_NE(MenuFont(), nullptr);
  EXPECT_NE(CaptionFont(), nullptr);
  EXPECT_NE(StatusFont(), nullptr);
  ASSERT_NE(FormButtonImages(), nullptr);
  EXPECT_EQ(FormButtonImages()->Count(), 6) << "TE_FORM_CLOSE ... TE_FORM_TRAY";
  ASSERT_NE(TrueTypeGlyph(), nullptr);
  EXPECT_EQ(TrueTypeGlyph()->Width(), 16);
  EXPECT_TRUE(TrueTypeGlyph()->Transparent) << "magenta is its transparent colour";
  EXPECT_EQ(*TrueTypeGlyph()->PixelPtr(15, 15), TransparentKey);
  EXPECT_TRUE(IsNTPlatform());
  EXPECT_EQ(FrameMetrics().CaptionHeight, ::GetSystemMetrics(SM_CYCAPTION));
  ASSERT_NE(ClickHandler(), nullptr);
  EXPECT_EQ(ClickHandler()->Name(), "ClickHandle_567823434");
  EXPECT_EQ(ClickHandler()->Tag(), 99);
  EXPECT_FALSE(PopupMenuShowing());
  ASSERT_NE(GlobalMessage(), nullptr);
  EXPECT_EQ(GlobalMessage()->Owner(), fw::Application);
  EXPECT_FALSE(GlobalMessage()->Global()) << "start-up only creates it";
  EXPECT_EQ(GlobalMessage()->BorderIcons(), std::uint32_t(kbiClose | kbiSystemMenu));
  EXPECT_TRUE(GlobalMessage()->ShowButtonGlyph());
  EXPECT_EQ(GlobalMessage()->Position(), fw::TPosition::poScreenCenter);
  ASSERT_NE(DefaultAnimation(), nullptr);
}

TEST(LibraryStartUp, TheRegisteredPaintersInOrder) {
  ASSERT_NE(ClassHooks(), nullptr);
  std::vector<std::string> classes;
  for (const auto& h : *ClassHooks()) classes.push_back(h.Class->Name());
  EXPECT_EQ(classes, (std::vector<std::string>{"TGroupBox", "TTeControl", "TPage", "TCustomForm"}));
}

TEST(LibraryStartUp, AnotherGlobalMessageReplacesAndFreesThePrevious) {
  TTeMessage* first = GlobalMessage();
  ASSERT_NE(first, nullptr);
  auto* second = new TTeMessage(fw::Application);
  second->SetGlobal(true);
  EXPECT_EQ(GlobalMessage(), second);
  EXPECT_EQ(std::count(fw::Application->Components().begin(), fw::Application->Components().end(), first), 0)
      << "the previous one is freed";
  TTeButton* b = second->CreateButton(nullptr);
  EXPECT_EQ(b->Transparent(), ThemesActive());
  delete b;
}

using tetest::TSeeThrough;

TEST(Painters, OnAPlainFormTheFormsColourOverExactlyTheControl) {
  fw::TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  form.SetColor(0x5A7A9A);
  auto* c = new TSeeThrough(&form);
  c->SetParent(&form);
  c->SetBounds(13, 17, 25, 11);
  form.HandleNeeded();
  TDibTarget t(25, 11);
  t.Fill(0);
  c->PaintTo(t.DC(), 0, 0);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 25; ++x) ASSERT_EQ(t.At(x, y), Rgb(0x5A7A9A)) << x << "," << y;
}

TEST(Painters, OnANotebookPageTheNotebooksColour) {
  fw::TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  auto* book = new fw::TNotebook(&form);
  book->SetParent(&form);
  book->SetBounds(0, 0, 200, 150);
  book->SetColor(0x108040);
  fw::TPage* page = book->AddPage(L"One");
  page->SetColor(0x000000);  // its own colour is not what shows
  auto* c = new TSeeThrough(&form);
  c->SetParent(page);
  c->SetBounds(5, 5, 10, 10);
  form.HandleNeeded();
  TDibTarget t(10, 10);
  c->PaintTo(t.DC(), 0, 0);
  EXPECT_EQ(t.At(0, 0), Rgb(0x108040));
  EXPECT_EQ(t.At(9, 9), Rgb(0x108040));
}

// ---- The hook chain ---------------------------------------------------------------------------

namespace {

// A hook that records what it sees, and consumes the messages it is told to.
class TRecordingHook : public TTeHook {
 public:
  TRecordingHook(std::vector<std::string>* log, std::string tag) : TTeHook(nullptr), log_(log), tag_(std::move(tag)) {}
  UINT consume = 0;
  bool raise = false;
  bool unhooked = false;
  void AfterMessage(fw::TMessage& m, bool&) override {
    if (m.Msg == WM_USER + 1 || m.Msg == WM_DESTROY) log_->push_back(tag_ + " after " + Name(m.Msg));
  }
  void Unhooked() override { unhooked = true; }

 protected:
  void HookMessage(fw::TMessage& m) override {
    if (m.Msg != WM_USER + 1 && m.Msg != WM_DESTROY) return;
    log_->push_back(tag_ + " before " + Name(m.Msg));
    if (raise) throw std::runtime_error(tag_ + " failed");
    if (m.Msg == consume) {
      m.Result = 42;
      MarkHandled();
    }
  }

 private:
  static std::string Name(UINT msg) { return msg == WM_DESTROY ? "WM_DESTROY" : "WM_USER+1"; }
  std::vector<std::string>* log_;
  std::string tag_;
};

// A control that records what reaches its own window procedure.
class TTarget : public fw::TCustomControl {
 public:
  TTarget(fw::TComponent* owner, std::vector<std::string>* log) : TCustomControl(owner), log_(log) {}

 protected:
  void WndProc(fw::TMessage& m) override {
    if (m.Msg == WM_USER + 1) log_->push_back("window WM_USER+1");
    if (m.Msg == WM_DESTROY) log_->push_back("window WM_DESTROY");
    TCustomControl::WndProc(m);
  }

 private:
  std::vector<std::string>* log_;
};

struct THookedWindow {
  THookedWindow() {
    form = std::make_unique<fw::TForm>(nullptr);
    target = new TTarget(form.get(), &log);
    target->SetParent(form.get());
    target->SetBounds(0, 0, 50, 50);
    form->HandleNeeded();
    first = std::make_unique<TRecordingHook>(&log, "first");
    second = std::make_unique<TRecordingHook>(&log, "second");
    first->SetControl(target);
    second->SetControl(target);
  }
  ~THookedWindow() {
    second.reset();
    first.reset();
    fw::Application->ProcessMessages();
  }
  std::vector<std::string> log;
  std::unique_ptr<fw::TForm> form;
  TTarget* target;
  std::unique_ptr<TRecordingHook> first, second;
};

}  // namespace

TEST(HookChain, HooksHearTheMessageLastAttachedFirstThenTheWindowThenAfterwards) {
  THookedWindow w;
  ASSERT_NE(HookList(), nullptr) << "made by the first attaching hook";
  ASSERT_NE(HookList()->Find(w.target), nullptr);
  EXPECT_TRUE(HookList()->Find(w.target)->Installed());
  ::SendMessageW(w.target->Handle(), WM_USER + 1, 0, 0);
  EXPECT_EQ(w.log, (std::vector<std::string>{"second before WM_USER+1", "first before WM_USER+1", "window WM_USER+1",
                                             "second after WM_USER+1", "first after WM_USER+1"}));
}

TEST(HookChain, AHandledMessageIsKeptFromEarlierHooksAndFromTheWindow) {
  THookedWindow w;
  w.second->consume = WM_USER + 1;
  EXPECT_EQ(::SendMessageW(w.target->Handle(), WM_USER + 1, 0, 0), 42);
  EXPECT_EQ(w.log, std::vector<std::string>{"second before WM_USER+1"});
  w.log.clear();
  w.second->consume = 0;
  w.first->consume = WM_USER + 1;
  ::SendMessageW(w.target->Handle(), WM_USER + 1, 0, 0);
  EXPECT_EQ(w.log, (std::vector<std::string>{"second before WM_USER+1", "first before WM_USER+1"}));
}

TEST(HookChain, AnErrorOfAHookGoesToTheApplicationAndTheNextHookStillRuns) {
  THookedWindow w;
  std::vector<std::string> reported;
  fw::Application->OnException = [&](fw::TObject*, const std::exception& e) { reported.push_back(e.what()); };
  w.second->raise = true;
  ::SendMessageW(w.target->Handle(), WM_USER + 1, 0, 0);
  fw::Application->OnException = nullptr;
  EXPECT_EQ(reported, std::vector<std::string>{"second failed"});
  EXPECT_EQ(w.log, (std::vector<std::string>{"second before WM_USER+1", "first before WM_USER+1", "window WM_USER+1",
                                             "second after WM_USER+1", "first after WM_USER+1"}));
}

TEST(HookChain, DestroyAlwaysReachesTheWindowAndTheNextWindowIsHookedAgain) {
  THookedWindow w;
  w.second->consume = WM_DESTROY;
  HWND old = w.target->Handle();
  ::DestroyWindow(old);  // as when Windows or a recreation takes the window away
  EXPECT_EQ(w.log, (std::vector<std::string>{"second before WM_DESTROY", "window WM_DESTROY", "second after WM_DESTROY",
                                             "first after WM_DESTROY"}))
      << "marked handled, and still the window's own procedure runs";
  EXPECT_TRUE(w.second->unhooked) << "the last attached hook hears that the procedure is given back";
  EXPECT_FALSE(HookList()->Find(w.target)->Installed());
  // The posted HM_REINSTALL makes and hooks the next window.
  fw::Application->ProcessMessages();
  ASSERT_TRUE(w.target->HandleAllocated());
  EXPECT_NE(w.target->HandleNoCreate(), old);
  EXPECT_TRUE(HookList()->Find(w.target)->Installed());
  w.log.clear();
  w.second->consume = 0;
  ::SendMessageW(w.target->Handle(), WM_USER + 1, 0, 0);
  EXPECT_EQ(w.log.front(), "second before WM_USER+1");
}

TEST(HookChain, AHookMovedToAnotherControlReleasesTheEmptyOne) {
  THookedWindow w;
  auto* other = new TTarget(w.form.get(), &w.log);
  other->SetParent(w.form.get());
  TControlHook* old = HookList()->Find(w.target);
  w.first->SetControl(other);
  w.second->SetControl(other);
  EXPECT_TRUE(old->Hooks().empty());
  EXPECT_TRUE(HookList()->Contains(old)) << "freed once the message loop gets to it";
  fw::Application->ProcessMessages();
  EXPECT_FALSE(HookList()->Contains(old)) << "HM_RELEASE";
  w.log.clear();
  ::SendMessageW(other->Handle(), WM_USER + 1, 0, 0);
  EXPECT_EQ(w.log.front(), "second before WM_USER+1");
  w.log.clear();
  ::SendMessageW(w.target->Handle(), WM_USER + 1, 0, 0);
  EXPECT_EQ(w.log, std::vector<std::string>{"window WM_USER+1"}) << "the old window is no longer hooked";
  w.first->SetActive(false);
  w.log.clear();
  ::SendMessageW(other->Handle(), WM_USER + 1, 0, 0);
  EXPECT_EQ(std::count(w.log.begin(), w.log.end(), "first before WM_USER+1"), 0) << "inactive";
}

// ---- Deferred clicks -----------------------------------------------------------------------------

namespace {
class TItem : public TTeItemClickTarget {
 public:
  int clicks = 0;
  void RunItemClick() override { ++clicks; }
};
}  // namespace

TEST(ClickHandler, RunsTheClickOfALiveItemOnlyAfterThePendingMessages) {
  TItem item;
  HWND h = ClickHandler()->Handle();
  ASSERT_TRUE(::IsWindow(h));
  ::PostMessageW(h, HM_ITEMCLICK, 0, reinterpret_cast<LPARAM>(&item));
  ::PostMessageW(h, HM_ITEMCLICK, 0, 0x1234);  // not an item: ignored, never dereferenced
  EXPECT_EQ(item.clicks, 0) << "deferred";
  fw::Application->ProcessMessages();
  EXPECT_EQ(item.clicks, 1);
  auto* gone = new TItem;
  ::PostMessageW(h, HM_ITEMCLICK, 0, reinterpret_cast<LPARAM>(gone));
  delete gone;
  fw::Application->ProcessMessages();  // the item went before its turn: nothing runs
}
