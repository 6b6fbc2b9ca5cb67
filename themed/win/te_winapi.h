// Run-time binding of the optional Windows functions the themed library uses:
// the visual-style interface of uxtheme.dll, TransparentBlt, the layered-window,
// multi-monitor and scroll-bar functions; the platform's version flags; and
// ThemesActive, which every themed control consults before it paints.
// Nothing here reports errors: a missing DLL or entry point leaves a null
// pointer and a false flag, and each caller takes its fallback.
#pragma once
#include <windows.h>
#include <uxtheme.h>

#include "framework/core/types.h"

namespace te {

// The 46 uxtheme entry points, bound in this order while the library is loaded.
struct TThemeApi {
  decltype(&::OpenThemeData) OpenThemeData;
  decltype(&::CloseThemeData) CloseThemeData;
  decltype(&::DrawThemeBackground) DrawThemeBackground;
  decltype(&::DrawThemeText) DrawThemeText;
  decltype(&::GetThemeBackgroundContentRect) GetThemeBackgroundContentRect;
  decltype(&::GetThemePartSize) GetThemePartSize;
  decltype(&::GetThemeTextExtent) GetThemeTextExtent;
  decltype(&::GetThemeTextMetrics) GetThemeTextMetrics;
  decltype(&::GetThemeBackgroundRegion) GetThemeBackgroundRegion;
  decltype(&::HitTestThemeBackground) HitTestThemeBackground;
  decltype(&::DrawThemeEdge) DrawThemeEdge;
  decltype(&::DrawThemeIcon) DrawThemeIcon;
  decltype(&::IsThemePartDefined) IsThemePartDefined;
  decltype(&::IsThemeBackgroundPartiallyTransparent) IsThemeBackgroundPartiallyTransparent;
  decltype(&::GetThemeColor) GetThemeColor;
  decltype(&::GetThemeMetric) GetThemeMetric;
  decltype(&::GetThemeString) GetThemeString;
  decltype(&::GetThemeBool) GetThemeBool;
  decltype(&::GetThemeInt) GetThemeInt;
  decltype(&::GetThemeEnumValue) GetThemeEnumValue;
  decltype(&::GetThemePosition) GetThemePosition;
  decltype(&::GetThemeFont) GetThemeFont;
  decltype(&::GetThemeRect) GetThemeRect;
  decltype(&::GetThemeMargins) GetThemeMargins;
  decltype(&::GetThemeIntList) GetThemeIntList;
  decltype(&::GetThemePropertyOrigin) GetThemePropertyOrigin;
  decltype(&::SetWindowTheme) SetWindowTheme;
  decltype(&::GetThemeFilename) GetThemeFilename;
  decltype(&::GetThemeSysColor) GetThemeSysColor;
  decltype(&::GetThemeSysColorBrush) GetThemeSysColorBrush;
  decltype(&::GetThemeSysBool) GetThemeSysBool;
  decltype(&::GetThemeSysSize) GetThemeSysSize;
  decltype(&::GetThemeSysFont) GetThemeSysFont;
  decltype(&::GetThemeSysString) GetThemeSysString;
  decltype(&::GetThemeSysInt) GetThemeSysInt;
  decltype(&::IsThemeActive) IsThemeActive;
  decltype(&::IsAppThemed) IsAppThemed;
  decltype(&::GetWindowTheme) GetWindowTheme;
  decltype(&::EnableThemeDialogTexture) EnableThemeDialogTexture;
  decltype(&::IsThemeDialogTextureEnabled) IsThemeDialogTextureEnabled;
  decltype(&::GetThemeAppProperties) GetThemeAppProperties;
  decltype(&::SetThemeAppProperties) SetThemeAppProperties;
  decltype(&::GetCurrentThemeName) GetCurrentThemeName;
  decltype(&::GetThemeDocumentationProperty) GetThemeDocumentationProperty;
  decltype(&::DrawThemeParentBackground) DrawThemeParentBackground;
  decltype(&::EnableTheming) EnableTheming;
};
inline constexpr int kThemeApiCount = 46;
extern const char* const kThemeApiNames[kThemeApiCount];

// The bound pointers (all null while uxtheme.dll is not loaded). Callers call
// them only while ThemesActive() holds.
TThemeApi& ThemeApi();

using TTransparentBlt = decltype(&::TransparentBlt);
using TSetLayeredWindowAttributes = decltype(&::SetLayeredWindowAttributes);
using TUpdateLayeredWindow = decltype(&::UpdateLayeredWindow);
TTransparentBlt TransparentBltProc();
TSetLayeredWindowAttributes SetLayeredWindowAttributesProc();
TUpdateLayeredWindow UpdateLayeredWindowProc();

bool IsWinNT();
bool IsWinVersion4();
bool LayeredWindowsAvailable();
bool TransparentBltAvailable();
bool ThemeLibraryBound();
int ThemeLibraryRefCount();

bool ThemesActive();        // the cached flag, free to call on every paint
void SetThemesActive(bool v);  // the flag is the unit's variable; UpdateThemesActive recomputes it
bool UpdateThemesActive();  // IsAppThemed, then only if it said yes IsThemeActive
bool LoadThemeLibrary();
void ReleaseThemeLibrary();

// An open visual-style theme handle, closed when it goes (on every path).
// It opens only while ThemesActive() and the library is bound; otherwise, or
// when Windows has no data for the class, it holds nothing and draws nothing.
class TThemeData {
 public:
  TThemeData(HWND wnd, const wchar_t* classList);
  ~TThemeData();
  TThemeData(TThemeData&& o) noexcept : h_(o.h_) { o.h_ = nullptr; }
  TThemeData& operator=(TThemeData&&) = delete;
  TThemeData(const TThemeData&) = delete;
  TThemeData& operator=(const TThemeData&) = delete;
  HTHEME get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  // DrawThemeBackground into dc; nothing when the handle is empty.
  void DrawBackground(HDC dc, int part, int state, const fw::TRect& r) const;

 private:
  HTHEME h_ = nullptr;
};

bool MultiMonitorAvailable();
void GetScreenArea(bool workArea, fw::TRect& rect);
void GetPointMonitorArea(const fw::TPoint& point, bool workArea, fw::TRect& rect);
void GetWindowMonitorArea(HWND wnd, bool workArea, fw::TRect& rect);
BOOL GetScrollBarInfoSafe(HWND wnd, LONG objectId, SCROLLBARINFO& info);

// The unit's start and exit steps; the library's start-up runs them once, in
// order with the other units (InitializeUnits in te_units.h).
void InitWinApiUnit();
void FinalizeWinApiUnit();
// The start steps after the version record was read (tests pass records of
// platforms we do not run on).
void InitWinApiUnitFrom(const OSVERSIONINFOA& version);

}  // namespace te
