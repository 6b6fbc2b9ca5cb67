#include "themed/win/te_winapi.h"

#include "framework/win/system_library.h"

namespace te {

const char* const kThemeApiNames[kThemeApiCount] = {
    "OpenThemeData", "CloseThemeData", "DrawThemeBackground", "DrawThemeText", "GetThemeBackgroundContentRect",
    "GetThemePartSize", "GetThemeTextExtent", "GetThemeTextMetrics", "GetThemeBackgroundRegion",
    "HitTestThemeBackground", "DrawThemeEdge", "DrawThemeIcon", "IsThemePartDefined",
    "IsThemeBackgroundPartiallyTransparent", "GetThemeColor", "GetThemeMetric", "GetThemeString", "GetThemeBool",
    "GetThemeInt", "GetThemeEnumValue", "GetThemePosition", "GetThemeFont", "GetThemeRect", "GetThemeMargins",
    "GetThemeIntList", "GetThemePropertyOrigin", "SetWindowTheme", "GetThemeFilename", "GetThemeSysColor",
    "GetThemeSysColorBrush", "GetThemeSysBool", "GetThemeSysSize", "GetThemeSysFont", "GetThemeSysString",
    "GetThemeSysInt", "IsThemeActive", "IsAppThemed", "GetWindowTheme", "EnableThemeDialogTexture",
    "IsThemeDialogTextureEnabled", "GetThemeAppProperties", "SetThemeAppProperties", "GetCurrentThemeName",
    "GetThemeDocumentationProperty", "DrawThemeParentBackground", "EnableTheming"};

namespace {

static_assert(sizeof(TThemeApi) == kThemeApiCount * sizeof(void*), "one pointer per name");

struct TState {
  bool winNT = false, winVersion4 = false;
  HMODULE user32 = nullptr;  // loaded for the layered-window functions
  TSetLayeredWindowAttributes setLayered = nullptr;
  TUpdateLayeredWindow updateLayered = nullptr;
  HMODULE msimg32 = nullptr;
  TTransparentBlt transparentBlt = nullptr;
  bool transparentBltAvailable = false;
  decltype(&::MonitorFromRect) monitorFromRect = nullptr;
  decltype(&::MonitorFromPoint) monitorFromPoint = nullptr;
  decltype(&::MonitorFromWindow) monitorFromWindow = nullptr;
  decltype(&::GetMonitorInfoA) getMonitorInfoA = nullptr;
  decltype(&::GetScrollBarInfo) getScrollBarInfo = nullptr;
  HMODULE uxtheme = nullptr;
  TThemeApi theme{};
  int refCount = 0;
  CRITICAL_SECTION lock;
  bool lockCreated = false;
  bool bound = false;
  bool themesActive = false;
};

TState& State() {
  static TState s;
  return s;
}

template <class F>
F Proc(HMODULE m, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(m, name)));
}

void** ThemeSlots() { return reinterpret_cast<void**>(&State().theme); }

struct TLockGuard {
  explicit TLockGuard(CRITICAL_SECTION& cs) : cs_(cs) { ::EnterCriticalSection(&cs_); }
  ~TLockGuard() { ::LeaveCriticalSection(&cs_); }
  CRITICAL_SECTION& cs_;
};

}  // namespace

TThemeApi& ThemeApi() { return State().theme; }
TTransparentBlt TransparentBltProc() { return State().transparentBlt; }
TSetLayeredWindowAttributes SetLayeredWindowAttributesProc() { return State().setLayered; }
TUpdateLayeredWindow UpdateLayeredWindowProc() { return State().updateLayered; }

bool IsWinNT() { return State().winNT; }
bool IsWinVersion4() { return State().winVersion4; }
bool LayeredWindowsAvailable() { return State().setLayered != nullptr; }
bool TransparentBltAvailable() { return State().transparentBltAvailable; }
bool ThemeLibraryBound() { return State().bound; }
int ThemeLibraryRefCount() { return State().refCount; }
bool ThemesActive() { return State().themesActive; }
void SetThemesActive(bool v) { State().themesActive = v; }

bool UpdateThemesActive() {
  TState& s = State();
  bool active = false;
  if (s.uxtheme && s.theme.IsAppThemed && s.theme.IsAppThemed())
    active = s.theme.IsThemeActive && s.theme.IsThemeActive();
  s.themesActive = active;
  return active;
}

bool LoadThemeLibrary() {
  TState& s = State();
  TLockGuard guard(s.lock);
  ++s.refCount;
  if (!s.uxtheme) {
    s.uxtheme = fw::LoadSystemLibrary(L"uxtheme.dll");
    if (s.uxtheme) {
      for (int i = 0; i < kThemeApiCount; ++i)
        ThemeSlots()[i] = reinterpret_cast<void*>(::GetProcAddress(s.uxtheme, kThemeApiNames[i]));
      s.bound = true;
    }
  }
  const bool loaded = s.uxtheme != nullptr;
  UpdateThemesActive();
  return loaded;
}

void ReleaseThemeLibrary() {
  TState& s = State();
  TLockGuard guard(s.lock);
  if (s.refCount > 0) --s.refCount;
  if (s.uxtheme && s.refCount == 0) {
    ::FreeLibrary(s.uxtheme);
    s.uxtheme = nullptr;
    for (int i = 0; i < kThemeApiCount; ++i) ThemeSlots()[i] = nullptr;
  }
}

TThemeData::TThemeData(HWND wnd, const wchar_t* classList) {
  const TThemeApi& api = ThemeApi();
  if (ThemesActive() && api.OpenThemeData) h_ = api.OpenThemeData(wnd, classList);
}

TThemeData::~TThemeData() {
  // The library may have been released meanwhile; then the handle died with it.
  if (h_ && ThemeApi().CloseThemeData) ThemeApi().CloseThemeData(h_);
}

void TThemeData::DrawBackground(HDC dc, int part, int state, const fw::TRect& r) const {
  if (!h_ || !ThemeApi().DrawThemeBackground) return;
  const RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  ThemeApi().DrawThemeBackground(h_, dc, part, state, &rc, nullptr);
}

bool MultiMonitorAvailable() {
  const TState& s = State();
  const int monitors = ::GetSystemMetrics(SM_CMONITORS);
  return monitors != 0 && monitors != 1 && s.monitorFromRect && s.monitorFromPoint && s.monitorFromWindow &&
         s.getMonitorInfoA;
}

void GetScreenArea(bool workArea, fw::TRect& rect) {
  RECT r;
  if (workArea && ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0)) {
    rect = {r.left, r.top, r.right, r.bottom};
    return;
  }
  rect = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

namespace {
bool MonitorArea(HMONITOR monitor, bool workArea, fw::TRect& rect) {
  MONITORINFO info{};
  info.cbSize = sizeof info;  // 40
  if (!monitor || !State().getMonitorInfoA(monitor, &info)) return false;
  const RECT& r = workArea ? info.rcWork : info.rcMonitor;
  rect = {r.left, r.top, r.right, r.bottom};
  return true;
}
}  // namespace

void GetPointMonitorArea(const fw::TPoint& point, bool workArea, fw::TRect& rect) {
  if (MultiMonitorAvailable() &&
      MonitorArea(State().monitorFromPoint(POINT{point.X, point.Y}, MONITOR_DEFAULTTONEAREST), workArea, rect))
    return;
  GetScreenArea(workArea, rect);
}

void GetWindowMonitorArea(HWND wnd, bool workArea, fw::TRect& rect) {
  if (MultiMonitorAvailable() && MonitorArea(State().monitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST), workArea, rect))
    return;
  GetScreenArea(workArea, rect);
}

BOOL GetScrollBarInfoSafe(HWND wnd, LONG objectId, SCROLLBARINFO& info) {
  if (State().getScrollBarInfo) return State().getScrollBarInfo(wnd, objectId, &info);
  info.rgstate[0] = STATE_SYSTEM_INVISIBLE;
  return FALSE;
}

void InitWinApiUnit() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;  // 148
  ::GetVersionExA(&version);
  InitWinApiUnitFrom(version);
}

void InitWinApiUnitFrom(const OSVERSIONINFOA& version) {
  static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record of 148 bytes");
  TState& s = State();
  s.winNT = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
  s.winVersion4 = version.dwMajorVersion == 4;
  s.user32 = fw::LoadSystemLibrary(L"user32.dll");
  if (s.user32) {
    s.setLayered = Proc<TSetLayeredWindowAttributes>(s.user32, "SetLayeredWindowAttributes");
    s.updateLayered = Proc<TUpdateLayeredWindow>(s.user32, "UpdateLayeredWindow");
  }
  ::InitializeCriticalSection(&s.lock);
  s.lockCreated = true;
  LoadThemeLibrary();
  if (HMODULE user32 = ::GetModuleHandleA("user32.dll")) {
    s.monitorFromRect = Proc<decltype(&::MonitorFromRect)>(user32, "MonitorFromRect");
    s.monitorFromPoint = Proc<decltype(&::MonitorFromPoint)>(user32, "MonitorFromPoint");
    s.monitorFromWindow = Proc<decltype(&::MonitorFromWindow)>(user32, "MonitorFromWindow");
    s.getMonitorInfoA = Proc<decltype(&::GetMonitorInfoA)>(user32, "GetMonitorInfoA");
  }
  if (!s.winVersion4 && (s.winNT || LayeredWindowsAvailable() || s.bound)) {
    s.msimg32 = fw::LoadSystemLibrary(L"msimg32.dll");
    if (s.msimg32) {
      s.transparentBlt = Proc<TTransparentBlt>(s.msimg32, "TransparentBlt");
      s.transparentBltAvailable = s.transparentBlt != nullptr;
    }
  }
  if (HMODULE user32 = ::GetModuleHandleA("user32.dll"))
    s.getScrollBarInfo = Proc<decltype(&::GetScrollBarInfo)>(user32, "GetScrollBarInfo");
}

void FinalizeWinApiUnit() {
  TState& s = State();
  s.monitorFromRect = nullptr;
  s.monitorFromPoint = nullptr;
  s.monitorFromWindow = nullptr;
  s.getMonitorInfoA = nullptr;
  if (s.msimg32) ::FreeLibrary(s.msimg32);
  s.msimg32 = nullptr;
  s.transparentBlt = nullptr;
  s.transparentBltAvailable = false;
  s.getScrollBarInfo = nullptr;
  if (s.user32) ::FreeLibrary(s.user32);
  s.user32 = nullptr;
  s.setLayered = nullptr;
  s.updateLayered = nullptr;
  if (s.lockCreated) {
    while (s.refCount > 0) ReleaseThemeLibrary();
    ::DeleteCriticalSection(&s.lock);
    s.lockCreated = false;
  }
}

}  // namespace te
