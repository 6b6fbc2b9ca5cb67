// te_const: the library's fixed values: messages, resource names, texts.
#pragma once
#include <windows.h>

#include "themed/win/te_resources.h"

namespace te {

// Posted to the hook list's window: lParam, a TControlHook to subclass its
// control's window again, or to free when it still has no hooks.
constexpr UINT HM_REINSTALL = 0xB0DE;
constexpr UINT HM_RELEASE = 0xB0DF;
// Posted to the deferred-click window by a themed menu item: lParam, the item.
constexpr UINT HM_ITEMCLICK = 0x08BA;
// What lParam names; a pointer that the receiver checks before it uses it.
template <class T>
T* NamedObjectOf(LPARAM lParam) {
  return reinterpret_cast<T*>(lParam);
}

// The stock glyph bitmaps of the push-button kinds, by kind (none for bkCustom).
inline constexpr const char* kButtonKindResources[11] = {
    nullptr,        "TE_BTN_OK",    "TE_BTN_CANCEL", "TE_BTN_HELP",   "TE_BTN_YES", "TE_BTN_NO",
    "TE_BTN_CLOSE", "TE_BTN_ABORT", "TE_BTN_RETRY",  "TE_BTN_IGNORE", "TE_BTN_ALL"};
// The frame buttons' pictures of skinned windows, in their image list's order.
inline constexpr const char* kFormButtonResources[6] = {"TE_FORM_CLOSE",   "TE_FORM_MINIMIZE", "TE_FORM_MAXIMIZE",
                                                        "TE_FORM_RESTORE", "TE_FORM_ROLLUP",   "TE_FORM_TRAY"};
inline constexpr const char* kTrueTypeResource = "TE_LIST_TRUETYPE";

// The names of the dialog buttons, in their order.
inline constexpr const wchar_t* kDialogButtonNames[11] = {
    L"Yes", L"No", L"OK", L"Cancel", L"Abort", L"Retry", L"Ignore", L"All", L"NoToAll", L"YesToAll", L"Help"};

}  // namespace te
