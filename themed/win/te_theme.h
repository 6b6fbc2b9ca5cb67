// te_theme: what decides how a themed control draws.
//
// - The theme object TteTheme with its colour, system-colour, font and option
//   tables, their defaults and stream formats, and its general operations
//   (te_theme_object.cpp); its drawing operations for window frames and every
//   object kind, each with the base class's plain look (te_theme_drawing.cpp).
// - The theme manager with its client list and its hidden window that turns
//   Windows' system-wide notices into TM_THEMENOTIFY; the current theme, theme
//   links, the nine theme-object queries, the record builders and the font
//   store (te_theme_manager.cpp).
// - The class-hook registry and the parent background (te_theme_classhooks.cpp).
//
// The records a control passes to a theme, and the rules that need no Windows,
// are in themed/core/te_theme_rules.h and te_theme_streams.h.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "framework/core/persistent.h"
#include "framework/win/controls.h"
#include "framework/win/graphics.h"
#include "framework/win/imglist.h"
#include "framework/win/messages.h"
#include "framework/win/utility_window.h"
#include "themed/core/te_theme_rules.h"
#include "themed/win/te_bitmap.h"

namespace te {

using fw::TRect;
using TObjectName = std::string;

// ---- Notifications --------------------------------------------------------------------

// The library's notice to themed controls; lParam is 0 and nobody reads the result.
constexpr UINT TM_THEMENOTIFY = 0x0800;
// The theme of one link changed: lParam is the link; wParam is not read.
constexpr UINT TM_LINKNOTIFY = 0x0801;
enum TteThemeNotify : WPARAM {
  tnThemeChanged = 0,   // the theme in force changed its contents: re-read and repaint
  tnThemeAttached = 3,  // a theme came into force for the receiver
  tnThemeDetached = 4,  // the theme gave up the receiver
  tnSystemChanged = 5,  // system colours, display mode or visual style changed: repaint
};
class TteCustomThemeLink;
inline TteThemeNotify ThemeNotifyOf(const fw::TMessage& m) { return TteThemeNotify(m.WParam); }
inline const TteCustomThemeLink* ChangedLinkOf(const fw::TMessage& m) {
  return reinterpret_cast<const TteCustomThemeLink*>(m.LParam);
}

// ---- The theme object and its tables ------------------------------------------------------

class TteTheme;

// The 22 theme colours (names in kThemeColorNames).
class TteThemeColors : public fw::TPersistent {
 public:
  static constexpr int kCount = 22;
  explicit TteThemeColors(TteTheme* theme);
  static const fw::TClassInfo& StaticClassInfo();
  const fw::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  void Assign(const fw::TPersistent& source) override;
  virtual void LoadFromStream(std::istream& in);
  virtual void SaveToStream(std::ostream& out) const;
  fw::TColor GetColor(int index) const { return colors_.at(size_t(index)); }
  void SetColor(int index, fw::TColor value) { colors_.at(size_t(index)) = value; }
  void AdjustHue(int delta);
  void AdjustBrightness(int delta);
  TteTheme* Theme() const { return theme_; }

 private:
  std::array<fw::TColor, kCount> colors_{};
  TteTheme* theme_;
};

// The 26 system colours, frozen to their RGB values when the theme is made.
class TteThemeSysColors : public fw::TPersistent {
 public:
  static constexpr int kCount = 26;
  explicit TteThemeSysColors(TteTheme* theme);
  static const fw::TClassInfo& StaticClassInfo();
  const fw::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  void Assign(const fw::TPersistent& source) override;
  virtual void LoadFromStream(std::istream& in);
  virtual void SaveToStream(std::ostream& out) const;
  fw::TColor GetColor(int index) const { return colors_.at(size_t(index)); }
  void SetColor(int index, fw::TColor value) { colors_.at(size_t(index)) = value; }
  void AdjustHue(int delta);
  void AdjustBrightness(int delta);
  TteTheme* Theme() const { return theme_; }

 private:
  std::array<fw::TColor, kCount> colors_{};
  TteTheme* theme_;
};

// The theme's 66 fonts (names in kThemeFontNames), all "Tahoma" when made, and
// one scratch font for GetObjectFont.
class TteThemeFonts : public fw::TPersistent {
 public:
  static constexpr int kCount = 66;
  explicit TteThemeFonts(TteTheme* theme);
  ~TteThemeFonts() override;
  static const fw::TClassInfo& StaticClassInfo();
  const fw::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  void Assign(const fw::TPersistent& source) override;
  virtual void LoadFromStream(std::istream& in);
  virtual void SaveToStream(std::ostream& out) const;
  // The stored font itself.
  fw::TFont& GetFont(int index) const { return *fonts_.at(size_t(index)); }
  // The stored font for the name "default" (exactly) or without a theme;
  // otherwise the scratch font, given the stored font's values and then the
  // theme's AdjustObjectFont. Valid until the next call.
  fw::TFont& GetObjectFont(int index, const TObjectName& objectName);
  // Font colours shift also by 0: every one is then resolved to RGB.
  void AdjustHue(int delta);
  void AdjustBrightness(int delta);
  TteTheme* Theme() const { return theme_; }

 private:
  std::array<std::unique_ptr<fw::TFont>, kCount> fonts_;
  std::unique_ptr<fw::TFont> objectFont_;
  TteTheme* theme_;
};

// Two flags: 0, the edit box's side buttons share one object; 1, the combo
// box's buttons do. Nothing in this program reads them.
class TteThemeOptions : public fw::TPersistent {
 public:
  static constexpr int kCount = 2;
  explicit TteThemeOptions(TteTheme* theme);
  static const fw::TClassInfo& StaticClassInfo();
  const fw::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  void Assign(const fw::TPersistent& source) override;
  virtual void LoadFromStream(std::istream& in);
  virtual void SaveToStream(std::ostream& out) const;
  bool Flag(int index) const { return flags_.at(size_t(index)); }
  void SetFlag(int index, bool v) { flags_.at(size_t(index)) = v; }
  TteTheme* Theme() const { return theme_; }

 private:
  std::array<bool, kCount> flags_{};
  TteTheme* theme_;
};

// Placeholders a theme implementation fills; the base keeps only the back-reference.
class TteThemeMetrics : public fw::TPersistent {
 public:
  explicit TteThemeMetrics(TteTheme* theme) : theme_(theme) {}
  TteTheme* Theme() const { return theme_; }

 private:
  TteTheme* theme_;
};

class TteThemeDrawing : public fw::TPersistent {
 public:
  explicit TteThemeDrawing(TteTheme* theme) : theme_(theme) {}
  TteTheme* Theme() const { return theme_; }

 private:
  TteTheme* theme_;
};

// What GetThemeInfo fills: three 8-bit values and two strings.
struct TteThemeInfo {
  std::uint8_t Value1 = 0, Value2 = 0, Value3 = 0;
  std::string Text1, Text2;
};

// The object that draws themed controls while it is in force. The base class
// answers false to every "has object" question, so on its own it themes
// nothing; its drawing operations still draw a plain, self-contained look.
// Every object operation takes the caller's SubKind first and the control's
// ThemeObject name last (before an out-parameter); descendants override them.
class TteTheme : public fw::TPersistent {
 public:
  TteTheme();
  ~TteTheme() override;
  static const fw::TClassInfo& StaticClassInfo();
  const fw::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  // From a TteTheme: the name and the four tables (not the shifts, metrics or drawing).
  void Assign(const fw::TPersistent& source) override;

  TteThemeColors& Colors() const { return *colors_; }
  TteThemeSysColors& SysColors() const { return *sysColors_; }
  TteThemeFonts& Fonts() const { return *fonts_; }
  TteThemeOptions& Options() const { return *options_; }
  TteThemeMetrics& Metrics() const { return *metrics_; }
  TteThemeDrawing& Drawing() const { return *drawing_; }
  int HueShift() const { return hueShift_; }
  void SetHueShift(int v) { hueShift_ = v; }
  int BrightnessShift() const { return brightnessShift_; }
  void SetBrightnessShift(int v) { brightnessShift_ = v; }
  const std::string& Name() const { return name_; }
  void SetName(const std::string& v) { name_ = v; }
  // A string of descendants' own; the base class never sets, copies or reads it.
  std::string Note;

  // General operations, 1-14 (5 is the constructor).
  virtual void SetDefaultColors();
  virtual void AdjustSysColors();
  virtual void SetDefaultFonts();
  virtual void AdjustObjectFont(fw::TFont& font, int index, const TObjectName& objectName);
  virtual void GetKindName(std::string& name);
  virtual void GetThemeInfo(TteThemeInfo& info);
  virtual std::intptr_t ReservedQuery1();
  virtual std::intptr_t ReservedQuery2();
  virtual std::intptr_t ReservedQuery3();
  virtual std::intptr_t ReservedQuery4();
  virtual std::intptr_t ReservedQuery5();
  virtual void SetDefaults();
  // Draws the text by its alignment (by moving the rectangle, never by DrawText
  // alignment flags), its options and its orientation, in the canvas's font.
  virtual void DrawTextInfo(fw::TCanvas& canvas, const TteTextInfo& info);

  // Window frames, 15-25 (skinned windows).
  virtual bool HasWindowObject(std::uint8_t subKind, const TObjectName& objectName);
  virtual HRGN GetWindowRegion(std::uint8_t subKind, const TRect& rect, const TObjectName& objectName);
  virtual std::uint8_t WindowHitTest(std::uint8_t subKind, const TteWindowInfo& info, int x, int y,
                                     const TObjectName& objectName);
  virtual void GetWindowClientRect(std::uint8_t subKind, const TteWindowInfo& info, const TObjectName& objectName,
                                   TRect& result);
  virtual void GetWindowCaptionRect(std::uint8_t subKind, const TteWindowInfo& info, const TObjectName& objectName,
                                    TRect& result);
  virtual void GetWindowButtonRect(std::uint8_t subKind, const TteWindowInfo& info, const TObjectName& objectName,
                                   TRect& result, int index);
  virtual void DrawWindowFrame(std::uint8_t subKind, fw::TCanvas& canvas, const TteWindowInfo& info,
                               const TObjectName& objectName);
  virtual void DrawWindowClient(std::uint8_t subKind, fw::TCanvas& canvas, const TRect& rect,
                                const TObjectName& objectName);
  virtual void DrawWindowCaption(std::uint8_t subKind, fw::TCanvas& canvas, const TRect& rect,
                                 const TteWindowInfo& info, const TObjectName& objectName);
  virtual void DrawWindowButton(std::uint8_t subKind, fw::TCanvas& canvas, const TteWindowButtonInfo& button,
                                const TObjectName& objectName);
  virtual void DrawWindowSizeGrip(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo& info,
                                  const TObjectName& objectName);

  // Kind A, 26-28.
  virtual bool HasKindAObject(std::uint8_t subKind, const TObjectName& objectName);
  virtual void GetKindAContentRect(std::uint8_t subKind, fw::TCanvas& canvas, const TRect& rect,
                                   const TObjectName& objectName, TRect& result);
  virtual void DrawKindA(std::uint8_t subKind, fw::TCanvas& canvas, const TRect& rect, const TObjectName& objectName);
  // Kind B, 29-31.
  virtual bool HasKindBObject(std::uint8_t subKind, const TObjectName& objectName);
  virtual bool IsKindBTransparent(std::uint8_t subKind, const TObjectName& objectName);
  virtual void DrawKindBText(std::uint8_t subKind, fw::TCanvas& canvas, const TteTextInfo& text,
                             const TObjectName& objectName);
  // Kind C, 32-37.
  virtual bool HasKindCObject(std::uint8_t subKind, const TObjectName& objectName);
  virtual bool IsKindCTransparent(std::uint8_t subKind, const TObjectName& objectName);
  virtual void GetKindCContentRect(std::uint8_t subKind, const TRect& rect, const TObjectName& objectName,
                                   TRect& result);
  virtual void DrawKindC(std::uint8_t subKind, fw::TCanvas& canvas, const TRect& rect, const TObjectName& objectName);
  virtual void DrawKindCPart(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo2& info,
                             const TObjectName& objectName);
  virtual void DrawKindCText(std::uint8_t subKind, fw::TCanvas& canvas, const TRect& rect, const TteTextInfo& text,
                             const TObjectName& objectName);
  // Buttons, 38-42: push buttons (SubKind 0) and speed buttons (4, 5).
  virtual bool HasButtonObject(std::uint8_t subKind, const TObjectName& objectName);
  virtual bool IsButtonTransparent(std::uint8_t subKind, const TObjectName& objectName);
  virtual void DrawButton(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo& info,
                          const TObjectName& objectName);
  virtual void DrawButtonText(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo& info,
                              const TteTextInfo& text, const TObjectName& objectName);
  virtual void DrawButtonGlyph(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo& info,
                               const TteGlyphInfo& glyph, const TObjectName& objectName);
  // Check boxes, 43-47.
  virtual bool HasCheckBoxObject(std::uint8_t subKind, const TObjectName& objectName);
  virtual bool IsCheckBoxTransparent(std::uint8_t subKind, const TObjectName& objectName);
  virtual void DrawCheckBox(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo& info,
                            const TObjectName& objectName);
  virtual void DrawCheckBoxText(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo& info,
                                const TteTextInfo& text, const TObjectName& objectName);
  virtual void GetCheckBoxSize(std::uint8_t subKind, const TObjectName& objectName, fw::TPoint& size);
  // Kind D, 48-50.
  virtual bool HasKindDObject(std::uint8_t subKind, const TObjectName& objectName);
  virtual bool IsKindDTransparent(std::uint8_t subKind, const TObjectName& objectName);
  virtual void DrawKindD(std::uint8_t subKind, fw::TCanvas& canvas, const TRect& rect, const TObjectName& objectName);
  // Scroll bars, 51-55 (also the tab control's scroll arrows).
  virtual bool HasScrollBarObject(std::uint8_t subKind, const TObjectName& objectName);
  virtual bool IsScrollBarTransparent(std::uint8_t subKind, const TObjectName& objectName);
  virtual void DrawScrollBar(std::uint8_t subKind, fw::TCanvas& canvas, const TRect& rect,
                             const TObjectName& objectName);
  virtual void DrawScrollBarButton(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo2& info,
                                   const TObjectName& objectName);
  virtual void DrawScrollBarThumb(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo2& info,
                                  const TObjectName& objectName);
  // Kind E, 56-59.
  virtual bool HasKindEObject(std::uint8_t subKind, const TObjectName& objectName);
  virtual bool IsKindETransparent(std::uint8_t subKind, const TObjectName& objectName);
  virtual void GetKindEContentRect(std::uint8_t subKind, const TteObjectInfo2& info, const TObjectName& objectName,
                                   TRect& result);
  virtual void DrawKindE(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo2& info,
                         const TObjectName& objectName);
  // Kind F, 60-64.
  virtual bool HasKindFObject(std::uint8_t subKind, const TObjectName& objectName);
  virtual bool IsKindFTransparent(std::uint8_t subKind, const TObjectName& objectName);
  virtual void DrawKindF(std::uint8_t subKind, fw::TCanvas& canvas, const TRect& rect, const TObjectName& objectName);
  virtual void DrawKindFPart(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo2& info,
                             const TObjectName& objectName);
  virtual void DrawKindFItem(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo2& info,
                             const TObjectName& objectName);
  // Kind G, 65-70.
  virtual bool HasKindGObject(std::uint8_t subKind, const TObjectName& objectName);
  virtual bool IsKindGTransparent(std::uint8_t subKind, const TObjectName& objectName);
  virtual void DrawKindG(std::uint8_t subKind, fw::TCanvas& canvas, const TRect& rect, const TObjectName& objectName);
  virtual void DrawKindGItem(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo2& info,
                             const TObjectName& objectName);
  virtual void DrawKindGText(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo2& info,
                             const TteTextInfo& text, const TObjectName& objectName);
  virtual void DrawKindGGlyph(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo2& info,
                              const TteGlyphInfo& glyph, const TObjectName& objectName);
  // Status bars, 71-77.
  virtual bool HasStatusBarObject(std::uint8_t subKind, const TObjectName& objectName);
  virtual bool IsStatusBarTransparent(std::uint8_t subKind, const TObjectName& objectName);
  virtual void GetStatusBarContentRect(std::uint8_t subKind, const TRect& rect, const TObjectName& objectName,
                                       TRect& result);
  virtual void DrawStatusBar(std::uint8_t subKind, fw::TCanvas& canvas, const TRect& rect,
                             const TObjectName& objectName);
  virtual void DrawStatusPanel(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo& info,
                               const TObjectName& objectName);
  virtual void DrawStatusPanelText(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo& info,
                                   const TteTextInfo& text, const TObjectName& objectName);
  virtual void DrawStatusPanelGlyph(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo& info,
                                    const TteGlyphInfo& glyph, const TObjectName& objectName);
  // Edit boxes, 78-82.
  virtual bool HasEditObject(std::uint8_t subKind, const TObjectName& objectName);
  virtual bool IsEditTransparent(std::uint8_t subKind, const TObjectName& objectName);
  virtual void GetEditContentRect(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo& info,
                                  const TObjectName& objectName, TRect& result);
  virtual void DrawEdit(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo& info,
                        const TObjectName& objectName);
  virtual void DrawEditButton(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo2& info,
                              const TObjectName& objectName);
  // Kind H, 83-87 (its record starts with the object's rectangle).
  virtual bool HasKindHObject(std::uint8_t subKind, const TObjectName& objectName);
  virtual bool IsKindHTransparent(std::uint8_t subKind, const TObjectName& objectName);
  virtual void GetKindHContentRect(std::uint8_t subKind, const TteObjectInfo& info, const TObjectName& objectName,
                                   TRect& result);
  virtual void DrawKindH(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo& info,
                         const TObjectName& objectName);
  virtual void DrawKindHText(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo& info,
                             const TteTextInfo& text, const TObjectName& objectName);
  // Kind I, 88-91.
  virtual bool HasKindIObject(std::uint8_t subKind, const TObjectName& objectName);
  virtual bool IsKindITransparent(std::uint8_t subKind, const TObjectName& objectName);
  virtual void GetKindIContentRect(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo& info,
                                   const TObjectName& objectName, TRect& result);
  virtual void DrawKindI(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo& info,
                         const TObjectName& objectName);
  // Kind J, 92-95.
  virtual bool HasKindJObject(std::uint8_t subKind, const TObjectName& objectName);
  virtual bool IsKindJTransparent(std::uint8_t subKind, const TObjectName& objectName);
  virtual void GetKindJContentRect(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo& info,
                                   const TObjectName& objectName, TRect& result);
  virtual void DrawKindJ(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo& info,
                         const TObjectName& objectName);
  // Menus, 96-102: menu bars and their items (SubKind 0), popup menus and theirs (1).
  virtual bool HasMenuObject(std::uint8_t subKind, const TObjectName& objectName);
  virtual bool IsMenuTransparent(std::uint8_t subKind, const TObjectName& objectName);
  virtual void GetMenuContentRect(std::uint8_t subKind, const TRect& rect, const TObjectName& objectName,
                                  TRect& result);
  virtual void DrawMenu(std::uint8_t subKind, fw::TCanvas& canvas, const TRect& rect, const TObjectName& objectName);
  virtual void DrawMenuItem(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo2& info,
                            const TObjectName& objectName);
  virtual void DrawMenuItemText(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo2& info,
                                const TteTextInfo& text, const TObjectName& objectName);
  virtual void DrawMenuItemGlyph(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo2& info,
                                 const TteGlyphInfo& glyph, const TObjectName& objectName);
  // Tool dock and tool bars, 103-111.
  virtual bool IsToolDockTransparent(std::uint8_t subKind, const TObjectName& objectName);
  virtual void GetToolDockContentRect(std::uint8_t subKind, const TRect& rect, const TObjectName& objectName,
                                      TRect& result);
  virtual void DrawToolDock(std::uint8_t subKind, fw::TCanvas& canvas, const TRect& rect,
                            const TObjectName& objectName);
  virtual bool HasToolBarObject(std::uint8_t subKind, const TObjectName& objectName);
  virtual void GetToolBarContentRect(std::uint8_t subKind, const TRect& rect, const TObjectName& objectName,
                                     TRect& result);
  virtual void DrawToolBar(std::uint8_t subKind, fw::TCanvas& canvas, const TRect& rect, const TObjectName& objectName);
  virtual void DrawToolBarPart(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo2& info,
                               const TObjectName& objectName);
  virtual void DrawToolItemText(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo2& info,
                                const TteTextInfo& text, const TObjectName& objectName);
  virtual void DrawToolItemGlyph(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo2& info,
                                 const TteGlyphInfo& glyph, const TObjectName& objectName);
  // Kind K, 112-114.
  virtual bool HasKindKObject(std::uint8_t subKind, const TObjectName& objectName);
  virtual void GetKindKContentRect(std::uint8_t subKind, fw::TCanvas& canvas, const TRect& rect,
                                   const TObjectName& objectName, TRect& result);
  virtual void DrawKindK(std::uint8_t subKind, fw::TCanvas& canvas, const TRect& rect, const TObjectName& objectName);
  // Kind L, 115-122.
  virtual bool HasKindLObject(std::uint8_t subKind, const TObjectName& objectName);
  virtual bool IsKindLTransparent(std::uint8_t subKind, const TObjectName& objectName);
  virtual void GetKindLContentRect(std::uint8_t subKind, fw::TCanvas& canvas, const TRect& rect,
                                   const TObjectName& objectName, TRect& result);
  virtual void DrawKindL(std::uint8_t subKind, fw::TCanvas& canvas, const TRect& rect, const TObjectName& objectName);
  virtual void DrawKindLPart1(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo& info,
                              const TObjectName& objectName);
  virtual void DrawKindLPart2(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo2& info,
                              const TObjectName& objectName);
  virtual void DrawKindLPart3(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo2& info,
                              const TObjectName& objectName);
  virtual void DrawKindLText(std::uint8_t subKind, fw::TCanvas& canvas, const TteTextInfo& text,
                             const TObjectName& objectName);
  // Tab controls and tab sheets, 123-130.
  virtual bool HasTabObject(std::uint8_t subKind, const TObjectName& objectName);
  virtual bool IsTabTransparent(std::uint8_t subKind, const TObjectName& objectName);
  virtual void GetTabContentRect(std::uint8_t subKind, const TRect& rect, const TObjectName& objectName, TRect& result);
  virtual void DrawTabPage(std::uint8_t subKind, fw::TCanvas& canvas, const TRect& rect, const TObjectName& objectName);
  virtual void DrawTabPart(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo2& info,
                           const TObjectName& objectName);
  virtual void DrawTab(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo2& info,
                       const TObjectName& objectName);
  virtual void DrawTabText(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo2& info,
                           const TteTextInfo& text, const TObjectName& objectName);
  virtual void DrawTabGlyph(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo2& info,
                            const TteGlyphInfo& glyph, const TObjectName& objectName);
  // Lists, 131-138.
  virtual bool HasListObject(std::uint8_t subKind, const TObjectName& objectName);
  virtual bool IsListTransparent(std::uint8_t subKind, const TObjectName& objectName);
  virtual void GetListContentRect(std::uint8_t subKind, const TRect& rect, const TObjectName& objectName,
                                  TRect& result);
  virtual void DrawList(std::uint8_t subKind, fw::TCanvas& canvas, const TRect& rect, const TObjectName& objectName);
  virtual void DrawListPart(std::uint8_t subKind, fw::TCanvas& canvas, const TRect& rect,
                            const TObjectName& objectName);
  virtual void DrawListItem(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo& info,
                            const TObjectName& objectName);
  virtual void DrawListItemText(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo& info,
                                const TteTextInfo& text, const TObjectName& objectName);
  virtual void DrawListItemGlyph(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo& info,
                                 const TteGlyphInfo& glyph, const TObjectName& objectName);
  // Trees, 139-145.
  virtual bool HasTreeObject(std::uint8_t subKind, const TObjectName& objectName);
  virtual bool IsTreeTransparent(std::uint8_t subKind, const TObjectName& objectName);
  virtual void GetTreeContentRect(std::uint8_t subKind, const TRect& rect, const TObjectName& objectName,
                                  TRect& result);
  virtual void DrawTree(std::uint8_t subKind, fw::TCanvas& canvas, const TRect& rect, const TObjectName& objectName);
  virtual void DrawTreeItem(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo& info,
                            const TObjectName& objectName);
  virtual void DrawTreeItemText(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo& info,
                                const TteTextInfo& text, const TObjectName& objectName);
  virtual void DrawTreeItemGlyph(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo& info,
                                 const TteGlyphInfo& glyph, const TObjectName& objectName);
  // Kind M, 146-152.
  virtual bool HasKindMObject(std::uint8_t subKind, const TObjectName& objectName);
  virtual bool IsKindMTransparent(std::uint8_t subKind, const TObjectName& objectName);
  virtual void GetKindMContentRect(std::uint8_t subKind, const TRect& rect, const TObjectName& objectName,
                                   TRect& result);
  virtual void DrawKindM(std::uint8_t subKind, fw::TCanvas& canvas, const TRect& rect, const TObjectName& objectName);
  virtual void DrawKindMCell(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo2& info,
                             const TObjectName& objectName);
  virtual void DrawKindMCellText(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo2& info,
                                 const TteTextInfo& text, const TObjectName& objectName);
  virtual void DrawKindMCellGlyph(std::uint8_t subKind, fw::TCanvas& canvas, const TteObjectInfo2& info,
                                  const TteGlyphInfo& glyph, const TObjectName& objectName);

 private:
  std::unique_ptr<TteThemeColors> colors_;
  std::unique_ptr<TteThemeFonts> fonts_;
  int hueShift_ = 0, brightnessShift_ = 0;
  std::string name_;
  std::unique_ptr<TteThemeSysColors> sysColors_;
  std::unique_ptr<TteThemeDrawing> drawing_;
  std::unique_ptr<TteThemeMetrics> metrics_;
  std::unique_ptr<TteThemeOptions> options_;
};

// A colour's RGB value with amount added to (or, negative, taken from) red,
// green and blue, each kept within 0..255; a system colour is resolved first.
fw::TColor ShiftColor(fw::TColor color, int amount);

// ---- Theme links and the theme manager ------------------------------------------------

// Stands for a theme that controls linked to it follow instead of the current
// theme. Abstract: a concrete link returns its theme (or nil) from GetTheme.
class TteCustomThemeLink : public fw::TComponent {
 public:
  using fw::TComponent::TComponent;
  static const fw::TClassInfo& StaticClassInfo();
  const fw::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  virtual TteTheme* GetTheme() = 0;
};

// Keeps the registered receivers of TM_THEMENOTIFY and a hidden top-level
// window that hears WM_SYSCOLORCHANGE, WM_DISPLAYCHANGE and WM_THEMECHANGED.
class TteThemeManager : public fw::TComponent {
 public:
  explicit TteThemeManager(fw::TComponent* owner);
  ~TteThemeManager() override;
  static const fw::TClassInfo& StaticClassInfo();
  const fw::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  void AddThemeClass(const fw::TClassInfo& themeClass);
  // Appends a receiver once; while a theme is in force it is told at once (tnThemeAttached).
  void AddClient(fw::TObject* receiver);
  void RemoveClient(fw::TObject* receiver);
  bool IsActiveTheme(const TteTheme* theme) const;
  // Sends to every receiver registered when it starts (counted once): a control by
  // Perform (for tnSystemChanged only a visible one), any other receiver by dispatch.
  void Broadcast(UINT msg, WPARAM wParam, LPARAM lParam);

  const std::vector<const fw::TClassInfo*>& ThemeClasses() const { return themeClasses_; }
  const std::vector<fw::TObject*>& Clients() const { return clients_; }
  HWND UtilityWindow() const { return utilityWindow_.Handle(); }

 private:
  void UtilityWndProc(HWND hwnd, fw::TMessage& m);
  std::vector<const fw::TClassInfo*> themeClasses_;
  fw::TUtilityWindow utilityWindow_;
  std::vector<fw::TObject*> clients_;
};

// The manager, from the unit's start to its exit (else nullptr).
TteThemeManager* ThemeManager();
// The theme in force for every control without a linked theme; nil in this program.
TteTheme* CurrentTheme();
// Puts a theme in force (the manager owns it): the receivers hear tnThemeDetached
// before the old one goes and tnThemeAttached once the new one is in force.
void SetCurrentTheme(std::unique_ptr<TteTheme> theme);

void RegisterThemeClass(const fw::TClassInfo& themeClass);
void RegisterThemeClient(fw::TObject* receiver);
void UnregisterThemeClient(fw::TObject* receiver);
bool IsCurrentTheme(const TteTheme* theme);
// At design time only, while a theme is in force: tells the one control.
void NotifyThemeDetach(fw::TComponent* control);
void NotifyThemeAttach(fw::TComponent* control);
// The link's theme when it has one, else the current theme.
TteTheme* ResolveTheme(TteCustomThemeLink* link);

// Sends TM_THEMENOTIFY (or another message) to one receiver: by Perform to a
// control, by dispatch to any other.
void SendThemeNotify(fw::TObject* receiver, UINT msg, WPARAM wParam, LPARAM lParam);

// The theme-object queries: does the theme in force define an object of this
// name for the control? A link's theme is asked for the name alone; the current
// theme for the name, then for "default" (compared exactly).
bool IsWindowObjectDefined(std::uint8_t subKind, const TObjectName& objectName, TteCustomThemeLink* link);
bool IsButtonObjectDefined(std::uint8_t subKind, const TObjectName& objectName, TteCustomThemeLink* link);
bool IsCheckBoxObjectDefined(std::uint8_t subKind, const TObjectName& objectName, TteCustomThemeLink* link);
bool IsScrollBarObjectDefined(std::uint8_t subKind, const TObjectName& objectName, TteCustomThemeLink* link);
bool IsStatusBarObjectDefined(std::uint8_t subKind, const TObjectName& objectName, TteCustomThemeLink* link);
bool IsEditObjectDefined(std::uint8_t subKind, const TObjectName& objectName, TteCustomThemeLink* link);
bool IsMenuObjectDefined(std::uint8_t subKind, const TObjectName& objectName, TteCustomThemeLink* link);
bool IsToolObjectDefined(std::uint8_t subKind, const TObjectName& objectName, TteCustomThemeLink* link);
bool IsTabObjectDefined(std::uint8_t subKind, const TObjectName& objectName, TteCustomThemeLink* link);

// Record builders: the rectangle first, then the other values (one of each;
// the library's per-kind copies are alike).
TteObjectInfo MakeObjectInfo(const TRect& rect, std::uint8_t state);
TteObjectInfo2 MakeObjectInfo2(const TRect& rect, std::uint8_t part, std::uint8_t state);
TteGlyphInfo MakeGlyphInfo(const TRect& rect, TteBitmap* bitmap, std::uint8_t code, std::uint8_t kind = 0);
// A menu item's check mark (kind 0) or submenu arrow (2): no bitmap, code 4.
TteGlyphInfo MakeMenuGlyphInfo(const TRect& rect, std::uint8_t kind);
// An image of an image list as the glyph's bitmap (through ImageToBitmap), kind 3.
TteGlyphInfo MakeImageGlyphInfo(const TRect& rect, fw::TCustomImageList* images, int index, bool enabled,
                                std::uint8_t code);
TteWindowInfo MakeWindowInfo(const TRect& rect, std::uint8_t flags, const TRect& rect2, std::uint8_t kind,
                             const std::wstring& caption, std::uint16_t borderIcons);
TteWindowButtonInfo MakeWindowButtonInfo(const TRect& rect, std::uint8_t index, std::uint8_t state, TteBitmap* bitmap);
// One image of the list in a bitmap of the list's image size (keyed by
// TransparentKey when the list is masked or transparent). The unit owns the
// bitmap; the next call replaces it.
TteBitmap* ImageToBitmap(fw::TCustomImageList* images, int index, bool enabled);

// The font store: a control's own font kept while a theme's replaces it.
void SaveControlFont(fw::TFont* font);
void RestoreControlFont(fw::TFont* font);
void ForgetControlFont(fw::TFont* font);
void ClearFontStore();
// How many fonts the store holds (0 when it was never used or was cleared).
int FontStoreCount();

// ---- Class-hook registry and parent background ---------------------------------

// What a background painter is told: the control's bounds in its parent's
// client coordinates (twice), the control and its parent.
struct TClassHookInfo {
  TRect ControlRect;
  TRect ControlRect2;
  fw::TControl* Control = nullptr;
  fw::TWinControl* Parent = nullptr;
};

// Paints the parent's background for info.Control onto the canvas, whose
// coordinates are the parent's client coordinates. Nobody reads the result.
using TClassHookPainter = bool (*)(fw::TCanvas& canvas, const TClassHookInfo& info);

struct TClassHook {
  const fw::TClassInfo* Class;
  TClassHookPainter Painter;
};

// The registry in registration order; nullptr until the first registration
// and again after FreeClassHooks.
const std::vector<TClassHook>* ClassHooks();
// Appends a pair; duplicates are allowed.
void RegisterClassHook(const fw::TClassInfo& cls, TClassHookPainter painter);
// The painter for a parent: the most derived registered class the parent is
// an instance of wins, the earliest registered among equals; nullptr for none.
TClassHookPainter FindClassHook(const fw::TWinControl* parent);
void FreeClassHooks();

// Paints into dc what the control's parent shows under the control, dc's
// (0, 0) being the control's top-left corner: through the parent's registered
// painter, or else by letting the parent paint itself. Nothing for a control
// without a parent, of no width or height, or already being painted as a copy.
// dc's state (origins, clipping, selections) is as before afterwards, also when
// the painter or the parent raises.
void PaintParentBackground(fw::TControl* control, HDC dc);
void PaintParentBackgroundCanvas(fw::TControl* control, fw::TCanvas& canvas);

// ---- The unit's start and exit -----------------------------------------------------

void InitThemeUnit();
void FinalizeThemeUnit();

}  // namespace te
