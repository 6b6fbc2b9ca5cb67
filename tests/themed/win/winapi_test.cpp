// The visual-style binding in the Wine prefix: what it binds, the reference
// count, the ThemesActive evaluation, the version rules and the monitor fallbacks.
#include <gtest/gtest.h>

#include "themed/win/te_winapi.h"

using namespace te;

namespace {
int gThemeActiveCalls = 0;
BOOL WINAPI NotThemed() { return FALSE; }
BOOL WINAPI Themed() { return TRUE; }
BOOL WINAPI CountingThemeActive() {
  ++gThemeActiveCalls;
  return TRUE;
}
}  // namespace

TEST(WinApi, BindsWhatThePlatformHas) {
  EXPECT_TRUE(IsWinNT());
  EXPECT_FALSE(IsWinVersion4());
  EXPECT_TRUE(LayeredWindowsAvailable());
  EXPECT_TRUE(TransparentBltAvailable()) << "NT loads msimg32";
  EXPECT_TRUE(ThemeLibraryBound());
  EXPECT_EQ(ThemeLibraryRefCount(), 1);
  void* const* slots = reinterpret_cast<void* const*>(&ThemeApi());
  for (int i = 0; i < kThemeApiCount; ++i) EXPECT_NE(slots[i], nullptr) << kThemeApiNames[i];
  // The cached flag is what the two questions answer now.
  const bool expected = ThemeApi().IsAppThemed() && ThemeApi().IsThemeActive();
  EXPECT_EQ(ThemesActive(), expected);
}

TEST(WinApi, IsThemeActiveIsAskedOnlyWhenTheApplicationIsThemed) {
  TThemeApi saved = ThemeApi();
  gThemeActiveCalls = 0;
  ThemeApi().IsAppThemed = NotThemed;
  ThemeApi().IsThemeActive = CountingThemeActive;
  EXPECT_FALSE(UpdateThemesActive());
  EXPECT_EQ(gThemeActiveCalls, 0);
  ThemeApi().IsAppThemed = Themed;
  EXPECT_TRUE(UpdateThemesActive());
  EXPECT_TRUE(ThemesActive());
  EXPECT_EQ(gThemeActiveCalls, 1);
  ThemeApi() = saved;
  UpdateThemesActive();
}

TEST(WinApi, ReleasingTheLastReferenceClearsEveryPointerButNotTheBoundFlag) {
  ReleaseThemeLibrary();
  EXPECT_EQ(ThemeLibraryRefCount(), 0);
  void* const* slots = reinterpret_cast<void* const*>(&ThemeApi());
  for (int i = 0; i < kThemeApiCount; ++i) EXPECT_EQ(slots[i], nullptr) << kThemeApiNames[i];
  EXPECT_TRUE(ThemeLibraryBound());
  ReleaseThemeLibrary();  // at 0 with nothing loaded: no change
  EXPECT_EQ(ThemeLibraryRefCount(), 0);
  EXPECT_FALSE(UpdateThemesActive()) << "no library, no themes";
  EXPECT_TRUE(LoadThemeLibrary());
  EXPECT_EQ(ThemeLibraryRefCount(), 1);
  EXPECT_NE(ThemeApi().OpenThemeData, nullptr);
}

TEST(WinApi, VersionFourNeverLoadsMsimg32) {
  FinalizeWinApiUnit();
  OSVERSIONINFOA v{};
  v.dwOSVersionInfoSize = sizeof v;
  v.dwPlatformId = VER_PLATFORM_WIN32_NT;
  v.dwMajorVersion = 4;  // NT 4
  InitWinApiUnitFrom(v);
  EXPECT_TRUE(IsWinVersion4());
  EXPECT_FALSE(TransparentBltAvailable());
  EXPECT_EQ(TransparentBltProc(), nullptr);
  FinalizeWinApiUnit();
  InitWinApiUnit();
  EXPECT_TRUE(TransparentBltAvailable());
  EXPECT_EQ(ThemeLibraryRefCount(), 1);
}

TEST(WinApi, OneMonitorFallsBackToThePrimaryScreen) {
  EXPECT_FALSE(MultiMonitorAvailable()) << "Xvfb has one screen";
  fw::TRect whole, work, r;
  GetScreenArea(false, whole);
  EXPECT_EQ(whole, fw::Rect(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)));
  RECT spi;
  ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWORKAREA, 0, &spi, 0));
  GetScreenArea(true, work);
  EXPECT_EQ(work, fw::Rect(spi.left, spi.top, spi.right, spi.bottom));
  GetPointMonitorArea(fw::TPoint{5000, 5000}, true, r);
  EXPECT_EQ(r, work);
  GetWindowMonitorArea(nullptr, false, r);
  EXPECT_EQ(r, whole);
}

TEST(WinApi, ScrollBarInfoThroughTheBoundFunction) {
  HWND w = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VSCROLL, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  SCROLLBARINFO info{};
  info.cbSize = sizeof info;
  EXPECT_TRUE(GetScrollBarInfoSafe(w, OBJID_VSCROLL, info));
  ::DestroyWindow(w);
}


// Run by themed_prefix.sh with the prefix's visual style switched on (Wine's
// "light" style, NAVEKO_EXPECT_THEMED=1) and off again (0); skipped otherwise.
TEST(WinApiThemedPrefix, ThemesActiveFollowsTheDesktop) {
  char flag[4] = {};
  if (!::GetEnvironmentVariableA("NAVEKO_EXPECT_THEMED", flag, sizeof flag)) GTEST_SKIP() << "run by themed_prefix.sh";
  if (flag[0] == '0') {
    EXPECT_FALSE(ThemeApi().IsThemeActive());
    EXPECT_FALSE(ThemesActive());
    return;
  }
  EXPECT_TRUE(ThemeApi().IsAppThemed());
  EXPECT_TRUE(ThemesActive());
  HTHEME theme = ThemeApi().OpenThemeData(nullptr, L"Button");
  EXPECT_NE(theme, nullptr);
  if (theme) ThemeApi().CloseThemeData(theme);
}
