// Work done while the window keeps answering, and the taskbar's progress bar.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/win/answering_wait.h"
#include "framework/win/taskbar_progress.h"

using namespace fw;

namespace {

constexpr UINT kPing = WM_APP + 7;
std::atomic<int> gPings{0}, gClicks{0};

LRESULT CALLBACK CountPings(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kPing) return ++gPings;
  if (msg == WM_LBUTTONDOWN) ++gClicks;
  return ::DefWindowProcW(h, msg, wp, lp);
}

HWND MakeWindow() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = CountPings;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"AnsweringWaitTest";
  ::RegisterClassW(&wc);
  return ::CreateWindowW(L"AnsweringWaitTest", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, wc.hInstance,
                         nullptr);
}

}  // namespace

TEST(AnsweringWait, TheWindowAnswersButTakesNoInputWhileTheWorkGoesAndTheWorksErrorComesBack) {
  HWND window = MakeWindow();
  ASSERT_TRUE(window);
  gPings = 0;
  gClicks = 0;
  int answered = 0;
  RunWhileAnswering(window, [&] {
    // A message sent from this thread is answered only while the window's own thread dispatches.
    for (int i = 0; i < 5; ++i) {
      DWORD_PTR result = 0;
      if (::SendMessageTimeoutW(window, kPing, 0, 0, SMTO_ABORTIFHUNG, 2000, &result)) ++answered;
      ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);  // a click that arrives while it works
    }
    ::Sleep(50);
  });
  EXPECT_EQ(answered, 5);
  EXPECT_EQ(gPings, 5);
  EXPECT_EQ(gClicks, 0) << "no input while the work goes";
  EXPECT_TRUE(::IsWindowEnabled(window)) << "the window keeps its state";
  ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  EXPECT_EQ(gClicks, 1) << "input again once it has ended";

  int ticks = 0;
  EXPECT_THROW(RunWhileAnswering(
                   window,
                   [] {
                     ::Sleep(120);
                     throw std::runtime_error("the database is gone");
                   },
                   [&] { ++ticks; }, 10),
               std::runtime_error);
  EXPECT_GT(ticks, 2) << "the progress is looked at while the work goes";
  ::DestroyWindow(window);
}

namespace {

// ITaskbarList3 as the shell documents it: HrInit before any other method;
// records the calls made after it.
class TRecordingTaskbar : public ITaskbarList3 {
 public:
  std::vector<std::string> Calls;
  bool Initialised = false;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    *out = (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ITaskbarList3)) ? this : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE HrInit() override {
    Initialised = true;
    return S_OK;
  }
  HRESULT Call(const std::string& what) {
    Calls.push_back(Initialised ? what : "before HrInit: " + what);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetProgressValue(HWND, ULONGLONG done, ULONGLONG total) override {
    return Call("value " + std::to_string(done) + "/" + std::to_string(total));
  }
  HRESULT STDMETHODCALLTYPE SetProgressState(HWND, TBPFLAG state) override {
    return Call(state == TBPF_NORMAL       ? "normal"
                : state == TBPF_ERROR      ? "error"
                : state == TBPF_NOPROGRESS ? "none"
                                           : "?");
  }
  // The rest of the list's methods: not used by a progress bar.
  HRESULT STDMETHODCALLTYPE AddTab(HWND) override { return Call("AddTab"); }
  HRESULT STDMETHODCALLTYPE DeleteTab(HWND) override { return Call("DeleteTab"); }
  HRESULT STDMETHODCALLTYPE ActivateTab(HWND) override { return Call("ActivateTab"); }
  HRESULT STDMETHODCALLTYPE SetActiveAlt(HWND) override { return Call("SetActiveAlt"); }
  HRESULT STDMETHODCALLTYPE MarkFullscreenWindow(HWND, BOOL) override { return Call("MarkFullscreenWindow"); }
  HRESULT STDMETHODCALLTYPE RegisterTab(HWND, HWND) override { return Call("RegisterTab"); }
  HRESULT STDMETHODCALLTYPE UnregisterTab(HWND) override { return Call("UnregisterTab"); }
  HRESULT STDMETHODCALLTYPE SetTabOrder(HWND, HWND) override { return Call("SetTabOrder"); }
  HRESULT STDMETHODCALLTYPE SetTabActive(HWND, HWND, DWORD) override { return Call("SetTabActive"); }
  HRESULT STDMETHODCALLTYPE ThumbBarAddButtons(HWND, UINT, LPTHUMBBUTTON) override { return Call("ThumbBar"); }
  HRESULT STDMETHODCALLTYPE ThumbBarUpdateButtons(HWND, UINT, LPTHUMBBUTTON) override { return Call("ThumbBar"); }
  HRESULT STDMETHODCALLTYPE ThumbBarSetImageList(HWND, HIMAGELIST) override { return Call("ThumbBar"); }
  HRESULT STDMETHODCALLTYPE SetOverlayIcon(HWND, HICON, LPCWSTR) override { return Call("SetOverlayIcon"); }
  HRESULT STDMETHODCALLTYPE SetThumbnailTooltip(HWND, LPCWSTR) override { return Call("SetThumbnailTooltip"); }
  HRESULT STDMETHODCALLTYPE SetThumbnailClip(HWND, RECT*) override { return Call("SetThumbnailClip"); }
};

}  // namespace

TEST(TaskbarProgress, FillsAsRowsAreDoneTurnsRedWhereTheRunStoppedAndGoesAfter) {
  TRecordingTaskbar taskbar;
  HWND button = reinterpret_cast<HWND>(1);
  {
    TTaskbarProgress progress(button, TComPtr<ITaskbarList3>::Share(&taskbar));
    progress.Set(0, 3);
    progress.Set(2, 3);
    progress.Stopped();
  }
  EXPECT_TRUE(taskbar.Initialised);
  const std::vector<std::string> expected = {"normal", "value 0/3", "value 2/3", "error", "none"};
  EXPECT_EQ(taskbar.Calls, expected);
}
