// The controls unit's process-wide objects, its start-up and exit steps in
// their order, the background painters it registers, the deferred-click window
// and the themed message dialogs' settings.
//
// Of the start-up, the steps that name classes of the skinned windows and the
// other themed controls (the blending, shadow, gravitation, dragging, form and
// popup-menu option classes, menu items, speed-bar parts, tab sheets, the
// in-place scroll bar, control bar, MDI child and tool bar painters, the menu
// class table) have no class to act on in this program and are left out; the
// rest run in the stated order.
#include <memory>
#include <set>

#include "framework/win/extctrls.h"
#include "framework/win/forms.h"
#include "themed/win/te_const.h"
#include "themed/win/te_controls.h"
#include "themed/win/te_effect.h"
#include "themed/win/te_message_pump.h"
#include "themed/win/te_theme.h"
#include "themed/win/te_utils.h"
#include "themed/win/te_winapi.h"

namespace te {

using namespace fw;

namespace {

int gUnitCount = 0;
std::vector<std::string>* gTrace = nullptr;
void Step(const char* name) {
  if (gTrace) gTrace->push_back(name);
}

std::unique_ptr<std::array<std::wstring, 11>> gButtonKindCaptions;
std::unique_ptr<std::array<std::wstring, 11>> gDialogButtonNames;
fw::TPoint gSharedBufferLimits;
std::unique_ptr<TteBitmap> gSharedPaintBuffer;
TMenuMetrics gMenuMetrics;
std::unique_ptr<TFont> gMenuFont;
std::unique_ptr<TBitmap> gMenuCheckBitmap;
std::unique_ptr<TTeClickHandler> gClickHandler;
bool gPopupShowing = false;  // a themed popup menu is up (read by the themed menus)
std::unique_ptr<TteAnimationRec> gDefaultAnimation;
bool gNT = false;
std::unique_ptr<TteBitmap> gTrueTypeGlyph;
std::array<std::unique_ptr<TBitmap>, 11> gButtonKindGlyphs;
std::unique_ptr<TFont> gCaptionFont, gSmallCaptionFont, gStatusFont;
std::unique_ptr<TImageList> gFormButtonImages;
TFrameMetrics gFrameMetrics;
TTeMessage* gGlobalMessage = nullptr;
// The themed menu items alive now, whose deferred clicks may run.
std::set<TTeItemClickTarget*>& ClickTargets() {
  static std::set<TTeItemClickTarget*> targets;
  return targets;
}

// The platform's non-client metrics; false when it does not give them.
bool NonClientMetrics(NONCLIENTMETRICSW& m) {
  m = NONCLIENTMETRICSW{};
  m.cbSize = sizeof m;
  return ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0) != FALSE;
}

// A font made from a system font's description; the default font when there is none.
std::unique_ptr<TFont> FontFrom(const LOGFONTW* lf) {
  auto f = std::make_unique<TFont>();
  if (!lf) return f;
  f->SetName(lf->lfFaceName);
  f->SetHeight(lf->lfHeight);
  f->SetCharset(lf->lfCharSet);
  std::uint32_t style = 0;
  if (lf->lfWeight >= FW_BOLD) style |= fsBold;
  if (lf->lfItalic) style |= fsItalic;
  if (lf->lfUnderline) style |= fsUnderline;
  if (lf->lfStrikeOut) style |= fsStrikeOut;
  f->SetStyle(style);
  return f;
}

std::unique_ptr<TBitmap> LoadStockBitmap(const char* name) {
  auto b = std::make_unique<TBitmap>();
  if (HBITMAP h = ::LoadBitmapA(::GetModuleHandleW(nullptr), name)) b->AdoptHandle(h);
  return b;
}

// The system's menu check mark, white turned to magenta, drawn transparent.
std::unique_ptr<TBitmap> MakeMenuCheckBitmap() {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(TPixelFormat::pf32bit);
  b->SetSize(20, 20);
  RECT r{0, 0, 20, 20};
  HDC dc = b->Canvas().Handle();
  ::DrawFrameControl(dc, &r, DFC_MENU, DFCS_MENUCHECK);
  ::GdiFlush();
  for (int y = 0; y < 20; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(b->ScanLine(y));
    for (int x = 0; x < 20; ++x)
      if ((row[x] & 0xFFFFFF) == 0xFFFFFF) row[x] = 0xFF00FF;
  }
  b->SetTransparent(true);
  return b;
}

// ---- Background painters ----

bool PaintThemedParent(TCanvas& canvas, const TClassHookInfo& info) {
  info.Parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Handle()), 1);
  return true;
}

bool PaintPageParent(TCanvas& canvas, const TClassHookInfo& info) {
  TWinControl* notebook = info.Parent->Parent();
  FillRectColor(canvas, info.ControlRect, notebook ? notebook->Color() : info.Parent->Color());
  return true;
}

// On a form: no skinned frame component exists in this program, so every form
// shows its own colour beneath the control (also while designing).
bool PaintFormParent(TCanvas& canvas, const TClassHookInfo& info) {
  FillRectColor(canvas, info.ControlRect, info.Parent->Color());
  return true;
}

}  // namespace

TteBitmap* SharedPaintBuffer() { return gSharedPaintBuffer.get(); }
fw::TPoint SharedBufferLimits() { return gSharedBufferLimits; }
TMenuMetrics MenuMetrics() { return gMenuMetrics; }
TFont* MenuFont() { return gMenuFont.get(); }
TBitmap* MenuCheckBitmap() { return gMenuCheckBitmap.get(); }
TFont* CaptionFont() { return gCaptionFont.get(); }
TFont* SmallCaptionFont() { return gSmallCaptionFont.get(); }
TFont* StatusFont() { return gStatusFont.get(); }
TCustomImageList* FormButtonImages() { return gFormButtonImages.get(); }
TteBitmap* TrueTypeGlyph() { return gTrueTypeGlyph.get(); }
TteAnimationRec* DefaultAnimation() { return gDefaultAnimation.get(); }
bool IsNTPlatform() { return gNT; }
TFrameMetrics FrameMetrics() { return gFrameMetrics; }
TTeClickHandler* ClickHandler() { return gClickHandler.get(); }
bool PopupMenuShowing() { return gPopupShowing; }
TTeMessage* GlobalMessage() { return gGlobalMessage; }
void SetControlsUnitTrace(std::vector<std::string>* trace) { gTrace = trace; }

const std::wstring& DialogButtonName(int index) {
  static const std::wstring none;
  return gDialogButtonNames ? gDialogButtonNames->at(size_t(index)) : none;
}

const std::wstring& ButtonKindCaption(TBitBtnKind kind) {
  static const std::wstring none;
  return gButtonKindCaptions ? (*gButtonKindCaptions)[kind] : none;
}

TBitmap* GetButtonKindGlyph(TBitBtnKind kind) {
  static TBitmap empty;
  if (kind == bkCustom) return &empty;
  auto& slot = gButtonKindGlyphs[kind];
  // Loaded on first request; a resource that cannot be loaded leaves an empty bitmap there.
  if (!slot) slot = LoadStockBitmap(kButtonKindResources[kind]);
  return slot.get();
}

// ---- The deferred-click window --------------------------------------------------------------

TTeItemClickTarget::TTeItemClickTarget() { ClickTargets().insert(this); }
TTeItemClickTarget::~TTeItemClickTarget() { ClickTargets().erase(this); }

TTeClickHandler::TTeClickHandler() : TComponent(nullptr) {
  SetName("ClickHandle_567823434");
  SetTag(99);
}

HWND TTeClickHandler::Handle() {
  if (!window_) {
    TUtilityWindow::TParams p;
    p.X = 10000;
    p.Y = 10000;
    window_ = TUtilityWindow(p, [this](HWND h, TMessage& m) { WndProc(h, m); });
  }
  return window_.Handle();
}

void TTeClickHandler::WndProc(HWND hwnd, TMessage& m) {
  if (m.Msg != HM_ITEMCLICK) {
    TUtilityWindow::DefaultHandling(hwnd, m);
    return;
  }
  // Only a live themed menu item is clicked: lParam is never taken on trust.
  auto* target = NamedObjectOf<TTeItemClickTarget>(m.LParam);
  if (!ClickTargets().count(target)) return;
  PumpMessages();
  if (ClickTargets().count(target)) target->RunItemClick();
}

// ---- Message dialogs' settings ----------------------------------------------------------------

TTeMessage::TTeMessage(TComponent* owner)
    : TComponent(owner),
      animation_(std::make_unique<TteAnimationRec>(nullptr)),
      buttonFont_(std::make_unique<TFont>()),
      messageFont_(std::make_unique<TFont>()) {}

TTeMessage::~TTeMessage() {
  if (gGlobalMessage == this) gGlobalMessage = nullptr;
}

const TClassInfo& TTeMessage::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TTeMessage", &TComponent::StaticClassInfo(),
                 [](TComponent* o) -> TComponent* { return new TTeMessage(o); });
    i.Add(ObjectProp<TTeMessage, TteAnimationRec>("Animation", &TTeMessage::Animation));
    i.Add(SetProp<TTeMessage>("BorderIcons", &TTeMessage::BorderIcons, &TTeMessage::SetBorderIcons,
                              {"kbiClose", "kbiSystemMenu", "kbiMinimize", "kbiMaximize", "kbiHelp", "kbiRollup",
                               "kbiTray", "kbiTop", "kbiCustom"},
                              kbiClose | kbiSystemMenu));
    i.Add(ObjectProp<TTeMessage, TFont>("ButtonFont", &TTeMessage::ButtonFont));
    i.Add(BoolProp<TTeMessage>("Global", &TTeMessage::Global, &TTeMessage::SetGlobal, false));
    i.Add(ObjectProp<TTeMessage, TFont>("MessageFont", &TTeMessage::MessageFont));
    i.Add(
        EnumProp<TTeMessage, TPosition>("Position", &TTeMessage::Position, &TTeMessage::SetPosition,
                                        {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                                         "poScreenCenter", "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"},
                                        TPosition::poScreenCenter));
    i.Add(BoolProp<TTeMessage>("ShowButtonGlyph", &TTeMessage::ShowButtonGlyph, &TTeMessage::SetShowButtonGlyph, true));
    i.Add(BoolProp<TTeMessage>("ShowHints", &TTeMessage::ShowHints, &TTeMessage::SetShowHints, false));
    i.Add(BoolProp<TTeMessage>("ShowIconImage", &TTeMessage::ShowIconImage, &TTeMessage::SetShowIconImage, true));
    i.Add(BoolProp<TTeMessage>("StayOnTop", &TTeMessage::StayOnTop, &TTeMessage::SetStayOnTop, false));
    return i;
  }();
  return info;
}

void TTeMessage::SetGlobal(bool v) {
  if (v == global_) return;
  global_ = v;
  TTeMessage* previous = gGlobalMessage;
  gGlobalMessage = this;
  if (previous && previous != this) delete previous;
}

TTeButton* TTeMessage::CreateButton(TComponent* owner) {
  auto* b = new TTeButton(owner);
  b->SetTransparent(ThemesActive());
  return b;
}

// ---- Start-up and exit ---------------------------------------------------------------------

void InitControlsUnit() {
  if (gUnitCount++ > 0) return;  // once
  Step("1 captions and dialog button names");
  gButtonKindCaptions = std::make_unique<std::array<std::wstring, 11>>();
  for (int k = bkOK; k <= bkAll; ++k) {
    wchar_t text[64] = {0};
    ::LoadStringW(::GetModuleHandleW(nullptr), UINT(TE_STR_KIND_BASE + k), text, 64);
    (*gButtonKindCaptions)[size_t(k)] = text;
  }
  gDialogButtonNames = std::make_unique<std::array<std::wstring, 11>>();
  for (size_t i = 0; i < 11; ++i) (*gDialogButtonNames)[i] = kDialogButtonNames[i];
  Step("2 streaming classes");
  TClassRegistry::Register(TteAnimationRec::StaticClassInfo());
  Step("3 buffer limits");
  gSharedBufferLimits = {::GetSystemMetrics(SM_CXSCREEN) + 500, ::GetSystemMetrics(SM_CYSCREEN) + 500};
  Step("4 shared paint buffer");
  gSharedPaintBuffer = std::make_unique<TteBitmap>();
  Step("5 painters TTeControl, TPage");
  RegisterClassHook(TTeControl::StaticClassInfo(), PaintThemedParent);
  RegisterClassHook(TPage::StaticClassInfo(), PaintPageParent);
  Step("6 menu metrics, menu font, menu check bitmap");
  NONCLIENTMETRICSW metrics;
  const bool haveMetrics = NonClientMetrics(metrics);
  if (haveMetrics) gMenuMetrics = {metrics.iMenuWidth, metrics.iMenuHeight};
  gMenuFont = FontFrom(haveMetrics ? &metrics.lfMenuFont : nullptr);
  gMenuCheckBitmap = MakeMenuCheckBitmap();
  Step("8 click handler");
  gClickHandler = std::make_unique<TTeClickHandler>();
  gPopupShowing = false;
  Step("9 default animation");
  gDefaultAnimation = std::make_unique<TteAnimationRec>(nullptr);
  Step("10 platform version");
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;  // the 148-byte record
  static_assert(sizeof(OSVERSIONINFOA) == 148);
  gNT = ::GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
  Step("11 TrueType glyph, hook list");
  {
    auto picture = LoadStockBitmap(kTrueTypeResource);
    gTrueTypeGlyph = std::make_unique<TteBitmap>();
    if (!picture->Empty()) {
      gTrueTypeGlyph->Assign(*picture);
      gTrueTypeGlyph->SetTransparentColor(0xFFFF00FF);  // magenta
    }
  }
  FreeHookList();
  Step("13 button kind glyph slots");
  for (auto& slot : gButtonKindGlyphs) slot.reset();
  Step("15 caption fonts, form button images, frame metrics");
  gCaptionFont = FontFrom(haveMetrics ? &metrics.lfCaptionFont : nullptr);
  gSmallCaptionFont = FontFrom(haveMetrics ? &metrics.lfSmCaptionFont : nullptr);
  gFormButtonImages = std::make_unique<TImageList>(nullptr);
  gFormButtonImages->SetDrawingStyle(dsNormal);
  gFormButtonImages->SetMasked(true);
  for (const char* name : kFormButtonResources) {
    auto picture = LoadStockBitmap(name);
    if (picture->Empty()) continue;
    if (gFormButtonImages->Count() == 0) gFormButtonImages->SetSize(picture->Width(), picture->Height());
    gFormButtonImages->AddMasked(*picture, clFuchsia);
  }
  gFrameMetrics = {::GetSystemMetrics(SM_CXFRAME), ::GetSystemMetrics(SM_CYCAPTION), ::GetSystemMetrics(SM_CYSMCAPTION),
                   ::GetSystemMetrics(SM_CXSIZE), ::GetSystemMetrics(SM_CYSIZE)};
  Step("16 form painter");
  RegisterClassHook(TCustomForm::StaticClassInfo(), PaintFormParent);
  Step("17 status font");
  gStatusFont = FontFrom(haveMetrics ? &metrics.lfStatusFont : nullptr);
  Step("19 global message settings");
  // Start-up only creates the process-wide settings: its Global property keeps
  // its default, false, until a program sets it on one of its own.
  gGlobalMessage = new TTeMessage(Application);
}

void FinalizeControlsUnit() {
  if (gUnitCount == 0 || --gUnitCount > 0) return;
  Step("exit 1 button kind glyphs");
  for (auto& slot : gButtonKindGlyphs) slot.reset();
  Step("exit 2 shared buffer, form button images, fonts");
  gSharedPaintBuffer.reset();
  gFormButtonImages.reset();
  gSmallCaptionFont.reset();
  gCaptionFont.reset();
  gStatusFont.reset();
  Step("exit 3 hook list");
  FreeHookList();
  Step("exit 4 TrueType glyph");
  gTrueTypeGlyph.reset();
  Step("exit 5 default animation");
  gDefaultAnimation.reset();
  Step("exit 6 click handler");
  gClickHandler.reset();
  Step("exit 8 menu check bitmap, menu font");
  gMenuCheckBitmap.reset();
  gMenuFont.reset();
  Step("exit 9 global message settings");
  // Normally gone already with the application's components.
  if (gGlobalMessage && gGlobalMessage->Owner() == Application) delete gGlobalMessage;
  Step("exit 10 text tables");
  gButtonKindCaptions.reset();
  gDialogButtonNames.reset();
}

}  // namespace te
