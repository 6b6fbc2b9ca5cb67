// The theme manager, the current theme, theme links, the theme-object queries,
// the record builders, ImageToBitmap, the font store and the unit's start and exit.
#include <algorithm>

#include "framework/win/stdctrls.h"
#include "themed/win/te_theme.h"
#include "themed/win/te_utils.h"
#include "themed/win/te_winapi.h"

namespace te {

using namespace fw;

namespace {

std::unique_ptr<TteThemeManager> gThemeManager;
// Owned by the manager: freed with it.
TteTheme* gCurrentTheme = nullptr;

struct TFontStoreEntry {
  TFont* Font;
  std::unique_ptr<TFont> Saved;
};
std::unique_ptr<std::vector<TFontStoreEntry>> gFontStore;

std::unique_ptr<TteBitmap> gImageBitmap;

TFontStoreEntry* FindFontEntry(TFont* font) {
  if (!gFontStore) return nullptr;
  for (auto& e : *gFontStore)
    if (e.Font == font) return &e;
  return nullptr;
}

using THasObject = bool (TteTheme::*)(std::uint8_t, const TObjectName&);

// A link's theme is asked for the name alone; the current theme for the name,
// then for "default".
bool ObjectDefined(THasObject has, std::uint8_t subKind, const TObjectName& objectName, TteCustomThemeLink* link) {
  if (link && link->GetTheme()) return (link->GetTheme()->*has)(subKind, objectName);
  if (!gCurrentTheme) return false;
  if ((gCurrentTheme->*has)(subKind, objectName)) return true;
  return (gCurrentTheme->*has)(subKind, "default");
}

}  // namespace

// ---- Links -----------------------------------------------------------------------------------

const TClassInfo& TteCustomThemeLink::StaticClassInfo() {
  static const TClassInfo info("TteCustomThemeLink", &TComponent::StaticClassInfo());
  return info;
}

// ---- The manager -------------------------------------------------------------------------------

TteThemeManager::TteThemeManager(TComponent* owner) : TComponent(owner) {
  utilityWindow_ = AllocateHWnd([this](HWND h, TMessage& m) { UtilityWndProc(h, m); });
}

TteThemeManager::~TteThemeManager() {
  clients_.clear();
  if (gCurrentTheme) {
    delete gCurrentTheme;
    gCurrentTheme = nullptr;
  }
  utilityWindow_.Destroy();
  themeClasses_.clear();
}

const TClassInfo& TteThemeManager::StaticClassInfo() {
  static const TClassInfo info("TteThemeManager", &TComponent::StaticClassInfo());
  return info;
}

void TteThemeManager::AddThemeClass(const TClassInfo& themeClass) { themeClasses_.push_back(&themeClass); }

void TteThemeManager::AddClient(TObject* receiver) {
  if (!receiver || std::find(clients_.begin(), clients_.end(), receiver) != clients_.end()) return;
  clients_.push_back(receiver);
  if (IsActiveTheme(gCurrentTheme)) SendThemeNotify(receiver, TM_THEMENOTIFY, tnThemeAttached, 0);
}

void TteThemeManager::RemoveClient(TObject* receiver) {
  auto it = std::find(clients_.begin(), clients_.end(), receiver);
  if (it != clients_.end()) clients_.erase(it);
}

bool TteThemeManager::IsActiveTheme(const TteTheme* theme) const {
  return gCurrentTheme != nullptr && theme == gCurrentTheme;
}

void TteThemeManager::Broadcast(UINT msg, WPARAM wParam, LPARAM lParam) {
  const size_t count = clients_.size();  // taken once: receivers must not register or leave meanwhile
  for (size_t i = 0; i < count && i < clients_.size(); ++i) {
    TObject* receiver = clients_[i];
    // A hidden control repaints when it shows: it is spared the system notices.
    auto* control = dynamic_cast<TControl*>(receiver);
    if (control && wParam == tnSystemChanged && !control->Visible()) continue;
    SendThemeNotify(receiver, msg, wParam, lParam);
  }
}

void TteThemeManager::UtilityWndProc(HWND hwnd, TMessage& m) {
  switch (m.Msg) {
    case WM_SYSCOLORCHANGE:
    case WM_DISPLAYCHANGE: Broadcast(TM_THEMENOTIFY, tnSystemChanged, 0); break;
    case WM_THEMECHANGED:
      // The controls that repaint already see the new state.
      UpdateThemesActive();
      Broadcast(TM_THEMENOTIFY, tnSystemChanged, 0);
      break;
    default: break;
  }
  TUtilityWindow::DefaultHandling(hwnd, m);
}

TteThemeManager* ThemeManager() { return gThemeManager.get(); }
TteTheme* CurrentTheme() { return gCurrentTheme; }

void SetCurrentTheme(std::unique_ptr<TteTheme> theme) {
  if (gCurrentTheme && gThemeManager) gThemeManager->Broadcast(TM_THEMENOTIFY, tnThemeDetached, 0);
  delete gCurrentTheme;
  gCurrentTheme = theme.release();
  if (gCurrentTheme && gThemeManager) gThemeManager->Broadcast(TM_THEMENOTIFY, tnThemeAttached, 0);
}

void SendThemeNotify(TObject* receiver, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (auto* control = dynamic_cast<TControl*>(receiver)) {
    control->Perform(msg, wParam, lParam);
  } else if (auto* dispatcher = dynamic_cast<TMessageDispatcher*>(receiver)) {
    TMessage m{msg, wParam, lParam, 0};
    dispatcher->Dispatch(m);
  }
}

void RegisterThemeClass(const TClassInfo& themeClass) {
  if (gThemeManager) gThemeManager->AddThemeClass(themeClass);
}
void RegisterThemeClient(TObject* receiver) {
  if (gThemeManager) gThemeManager->AddClient(receiver);
}
void UnregisterThemeClient(TObject* receiver) {
  if (gThemeManager) gThemeManager->RemoveClient(receiver);
}
bool IsCurrentTheme(const TteTheme* theme) { return gThemeManager && gThemeManager->IsActiveTheme(theme); }

void NotifyThemeDetach(TComponent* control) {
  if (control && control->InState(csDesigning) && IsCurrentTheme(gCurrentTheme))
    SendThemeNotify(control, TM_THEMENOTIFY, tnThemeDetached, 0);
}

void NotifyThemeAttach(TComponent* control) {
  if (control && control->InState(csDesigning) && IsCurrentTheme(gCurrentTheme))
    SendThemeNotify(control, TM_THEMENOTIFY, tnThemeAttached, 0);
}

TteTheme* ResolveTheme(TteCustomThemeLink* link) {
  if (link && link->GetTheme()) return link->GetTheme();
  return gCurrentTheme;
}

// ---- Queries ------------------------------------------------------------------------------------

bool IsWindowObjectDefined(std::uint8_t s, const TObjectName& n, TteCustomThemeLink* l) {
  return ObjectDefined(&TteTheme::HasWindowObject, s, n, l);
}
bool IsButtonObjectDefined(std::uint8_t s, const TObjectName& n, TteCustomThemeLink* l) {
  return ObjectDefined(&TteTheme::HasButtonObject, s, n, l);
}
bool IsCheckBoxObjectDefined(std::uint8_t s, const TObjectName& n, TteCustomThemeLink* l) {
  return ObjectDefined(&TteTheme::HasCheckBoxObject, s, n, l);
}
bool IsScrollBarObjectDefined(std::uint8_t s, const TObjectName& n, TteCustomThemeLink* l) {
  return ObjectDefined(&TteTheme::HasScrollBarObject, s, n, l);
}
bool IsStatusBarObjectDefined(std::uint8_t s, const TObjectName& n, TteCustomThemeLink* l) {
  return ObjectDefined(&TteTheme::HasStatusBarObject, s, n, l);
}
bool IsEditObjectDefined(std::uint8_t s, const TObjectName& n, TteCustomThemeLink* l) {
  return ObjectDefined(&TteTheme::HasEditObject, s, n, l);
}
bool IsMenuObjectDefined(std::uint8_t s, const TObjectName& n, TteCustomThemeLink* l) {
  return ObjectDefined(&TteTheme::HasMenuObject, s, n, l);
}
bool IsToolObjectDefined(std::uint8_t s, const TObjectName& n, TteCustomThemeLink* l) {
  return ObjectDefined(&TteTheme::HasToolBarObject, s, n, l);
}
bool IsTabObjectDefined(std::uint8_t s, const TObjectName& n, TteCustomThemeLink* l) {
  return ObjectDefined(&TteTheme::HasTabObject, s, n, l);
}

// ---- Record builders ------------------------------------------------------------------------------

TteObjectInfo MakeObjectInfo(const TRect& rect, std::uint8_t state) { return {rect, state}; }

TteObjectInfo2 MakeObjectInfo2(const TRect& rect, std::uint8_t part, std::uint8_t state) { return {rect, part, state}; }

TteGlyphInfo MakeGlyphInfo(const TRect& rect, TteBitmap* bitmap, std::uint8_t code, std::uint8_t kind) {
  return {rect, bitmap, code, kind};
}

TteGlyphInfo MakeMenuGlyphInfo(const TRect& rect, std::uint8_t kind) { return {rect, nullptr, 4, kind}; }

TteGlyphInfo MakeImageGlyphInfo(const TRect& rect, TCustomImageList* images, int index, bool enabled,
                                std::uint8_t code) {
  TteGlyphInfo g{rect, nullptr, code, kgkBitmap};
  g.Bitmap = ImageToBitmap(images, index, enabled);
  return g;
}

TteWindowInfo MakeWindowInfo(const TRect& rect, std::uint8_t flags, const TRect& rect2, std::uint8_t kind,
                             const std::wstring& caption, std::uint16_t borderIcons) {
  TteWindowInfo w;
  w.Rect = rect;
  w.Flags = flags;
  w.BorderIcons = borderIcons;
  w.Rect2 = rect2;
  w.Caption = caption;
  w.Kind = kind;
  return w;
}

TteWindowButtonInfo MakeWindowButtonInfo(const TRect& rect, std::uint8_t index, std::uint8_t state, TteBitmap* bitmap) {
  return {rect, index, state, bitmap};
}

TteBitmap* ImageToBitmap(TCustomImageList* images, int index, bool enabled) {
  gImageBitmap.reset();
  if (!images) return nullptr;
  auto bitmap = std::make_unique<TteBitmap>();
  bitmap->SetSize(images->Width(), images->Height());
  if (images->Masked() || images->DrawingStyle() == dsTransparent) {
    bitmap->Fill(TransparentKey);
    bitmap->Transparent = true;
  }
  {
    TCanvas onBitmap;
    TCanvasBinding bind(onBitmap, bitmap->DC());
    images->Draw(onBitmap, 0, 0, index, enabled);
  }
  gImageBitmap = std::move(bitmap);
  return gImageBitmap.get();
}

// ---- Font store ----------------------------------------------------------------------------------

void SaveControlFont(TFont* font) {
  if (!font) return;
  if (TFontStoreEntry* e = FindFontEntry(font)) {
    e->Saved->Assign(*font);
    return;
  }
  if (!gFontStore) gFontStore = std::make_unique<std::vector<TFontStoreEntry>>();
  auto saved = std::make_unique<TFont>();
  saved->Assign(*font);
  gFontStore->push_back({font, std::move(saved)});
}

void RestoreControlFont(TFont* font) {
  if (TFontStoreEntry* e = FindFontEntry(font)) font->Assign(*e->Saved);
}

void ForgetControlFont(TFont* font) {
  if (!gFontStore) return;
  auto& list = *gFontStore;
  list.erase(std::remove_if(list.begin(), list.end(), [font](const TFontStoreEntry& e) { return e.Font == font; }),
             list.end());
}

void ClearFontStore() { gFontStore.reset(); }

int FontStoreCount() { return gFontStore ? int(gFontStore->size()) : 0; }

// ---- The unit --------------------------------------------------------------------------------------

namespace {
// A group box parent shows its own colour beneath a transparent child.
bool PaintGroupBoxParent(TCanvas& canvas, const TClassHookInfo& info) {
  if (!dynamic_cast<TGroupBox*>(info.Parent)) return false;
  FillRectColor(canvas, info.ControlRect, info.Parent->Color());
  return true;
}
}  // namespace

void InitThemeUnit() {
  gThemeManager = std::make_unique<TteThemeManager>(nullptr);
  RegisterThemeClass(TteTheme::StaticClassInfo());
  RegisterClassHook(TGroupBox::StaticClassInfo(), PaintGroupBoxParent);
}

void FinalizeThemeUnit() {
  FreeClassHooks();
  gThemeManager.reset();  // frees the current theme too
  ClearFontStore();
  gImageBitmap.reset();
  // The name tables are constant data of the program: nothing to release.
}

}  // namespace te
