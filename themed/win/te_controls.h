// te_controls: the themed controls.
//
// The push button TTeButton (te_controls_button.cpp), with its glyphs and its
// dialog-button kinds (te_controls_glyphs.cpp), and the font adjustments
// themed controls apply before drawing text.
//
// The two bases (te_controls_base.cpp): TTeControl, a windowed control with a
// painting buffer of choice, a border of a plain margin and two bevels (or the
// visual style's edit frame), mouse-over and focus tracking and a size known
// before Windows resizes it; TTeGraphicControl, a control without a window
// that shares the buffering. The embedded scroll bar of the windowed base
// (te_controls_scrollbar.cpp). The process-wide painting buffer and the unit's
// start and exit (te_controls_unit.cpp).
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/win/controls.h"
#include "framework/win/form_types.h"
#include "framework/win/graphics.h"
#include "framework/win/utility_window.h"
#include "themed/core/te_button_rules.h"
#include "themed/core/te_theme_rules.h"
#include "themed/win/te_bitmap.h"
#include "themed/win/te_theme.h"

namespace fw {
class TCustomForm;
class TCustomImageList;
}  // namespace fw

namespace te {

using fw::TRect;

class TThemeData;
class TteAnimationRec;

// ---- Painting buffer, border and bevels -----------------------------------------

enum TTePerformance : std::uint8_t { kspNoBuffer, kspSharedBuffer, kspDoubleBuffer };
// The names TTePerformance streams as.
const std::vector<std::string>& PerformanceNames();
enum TTeBevelCut : std::uint8_t { kbvNone, kbvLowered, kbvRaised, kbvSpace, kbvBorder, kbvFlatBorder };
enum TTeBevelKind : std::uint8_t { kbkNone, kbkSingle, kbkTile, kbkSoft, kbkBorder, kbkFlat };
using TTeBevelSides = std::uint8_t;  // kbsLeft | kbsTop | kbsRight | kbsBottom (te_theme_rules.h)

struct TTeBevelColors {
  fw::TColor TopLeft, BottomRight;
};
// By TTeBevelCut; kbvNone has no colours and is never drawn.
extern const std::array<TTeBevelColors, 6> OuterBevelColors;
extern const std::array<TTeBevelColors, 6> InnerBevelColors;
// The cut (inner and outer alike) that a bevel kind sets; kbkNone sets nothing.
extern const std::array<TTeBevelCut, 6> BevelKindCuts;

// Draws `count` one-pixel rings of the sides in `sides`, left and top in
// topLeft, then bottom and right in bottomRight (so these own the bottom-left
// and top-right corners); r shrinks by each ring drawn.
void DrawBevel(fw::TCanvas& canvas, TRect& r, TTeBevelSides sides, fw::TColor topLeft, fw::TColor bottomRight,
               int count);

// The themed controls' shared painting buffer: created empty at start-up,
// sized to SharedBufferLimits() the first time a control paints with
// kspSharedBuffer, freed at exit. Null outside the library's lifetime.
TteBitmap* SharedPaintBuffer();
// The screen's width + 500 and height + 500, measured at start-up.
fw::TPoint SharedBufferLimits();

// ---- Themed control bases and the embedded scroll bar -------------------------------

enum TScrollBarKind : std::uint8_t { sbHorizontal, sbVertical };
// Which scroll bars a windowed themed control embeds.
enum TTeScrollBars : std::uint8_t { ksbNone, ksbHorizontal, ksbVertical, ksbBoth };
class TTeScrollBar;

// The windowed base of the themed controls.
//
// Painting (Paint, from the framework's one paint path: WM_PAINT,
// WM_PRINTCLIENT and PaintTo alike): the canvas is pointed at the buffer that
// Performance chooses, PaintFont takes a copy of Font, PaintBorder draws
// outside GetInnerRect, PaintClient inside it, and the buffer goes to the
// window at once. The canvas gets its device context back and the buffer is
// freed on every path. WM_ERASEBKGND never erases; with lParam 1 it paints
// border and client into the given device context, which is how a transparent
// child paints this control beneath itself.
class TTeControl : public fw::TCustomControl {
 public:
  explicit TTeControl(fw::TComponent* owner);
  ~TTeControl() override;
  static const fw::TClassInfo& StaticClassInfo();
  const fw::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  TTePerformance Performance() const { return performance_; }
  void SetPerformance(TTePerformance v);
  // The themed control's own focus flag: set by CM_ENTER, cleared by CM_EXIT
  // or when the control is hidden.
  bool Focused() const { return focused_; }
  bool Hot() const { return hot_; }
  fw::TFont* PaintFont() const { return paintFont_.get(); }
  int PaintWidth() const { return paintWidth_; }
  int PaintHeight() const { return paintHeight_; }
  TTeScrollBar* HorzScrollBar() const { return horzScrollBar_; }
  TTeScrollBar* VertScrollBar() const { return vertScrollBar_; }
  TTeScrollBars ScrollBarKind() const { return scrollBarKind_; }

  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int v);
  TTeBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TTeBevelCut v);
  TTeBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TTeBevelCut v);
  TTeBevelSides BevelSides() const { return bevelSides_; }
  void SetBevelSides(TTeBevelSides v);
  TTeBevelKind BevelKind() const { return bevelKind_; }
  void SetBevelKind(TTeBevelKind v);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int v);
  bool UseNativeFrame() const { return useNativeFrame_; }
  void SetUseNativeFrame(bool v);

  fw::TEvent<void(fw::TObject*)> OnMouseEnter;
  fw::TEvent<void(fw::TObject*)> OnMouseLeave;

  void SetBounds(int left, int top, int width, int height) override;
  // GetInnerRect less the embedded scroll bars.
  TRect ClientRect() const override;

  // The operations this base adds, in their slot order.
  virtual void PaintBorder();
  virtual void PaintClient();
  virtual void GetInnerRect(TRect& r) const;
  virtual TTeScrollBar* CreateScrollBar();
  virtual int GetScrollBarSize();
  virtual void BorderChanged();

 protected:
  void Loaded() override;
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void Paint() override;
  void WndProc(fw::TMessage& m) override;
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual void FocusEnter();
  virtual void FocusExit();
  // Turns the embedded scroll bars on or off (none of this program's controls does).
  void SetScrollBarKind(TTeScrollBars v);
  void RecreateScrollBars();
  void LayoutScrollBars();

 private:
  void PaintBorderAndClient();
  void PaintEditFrame(const TThemeData& frame, const TRect& inner, const TRect& full);
  void PaintClassicBorder(TRect r);
  void ScrollBarScrolled(TTeScrollBar* bar, int code, int& position);
  TTePerformance performance_ = kspNoBuffer;
  bool focused_ = false, hot_ = false;
  TTeScrollBar* horzScrollBar_ = nullptr;
  TTeScrollBar* vertScrollBar_ = nullptr;
  TTeScrollBars scrollBarKind_ = ksbNone;
  std::unique_ptr<fw::TFont> paintFont_;
  int borderWidth_ = 0;
  TTeBevelCut bevelInner_ = kbvLowered, bevelOuter_ = kbvLowered;
  TTeBevelSides bevelSides_ = kAllBevelSides;
  TTeBevelKind bevelKind_ = kbkNone;
  int bevelWidth_ = 0;
  bool useNativeFrame_ = true;
  int paintWidth_ = 0, paintHeight_ = 0;
};

// The base of the themed controls without a window (the scroll bar, speed
// buttons): the same buffering, no border. Its parent paints it.
class TTeGraphicControl : public fw::TGraphicControl {
 public:
  explicit TTeGraphicControl(fw::TComponent* owner);
  ~TTeGraphicControl() override;
  static const fw::TClassInfo& StaticClassInfo();
  const fw::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  bool Hot() const { return hot_; }
  fw::TFont* PaintFont() const { return paintFont_.get(); }
  TTePerformance Performance() const { return performance_; }
  void SetPerformance(TTePerformance v);
  fw::TEvent<void(fw::TObject*)> OnMouseEnter;
  fw::TEvent<void(fw::TObject*)> OnMouseLeave;

  // The operation this base adds: fills ClientRect with Color.
  virtual void PaintClient();

 protected:
  void Loaded() override;
  void Paint() override;
  void WndProc(fw::TMessage& m) override;
  virtual void MouseEnter();
  virtual void MouseLeave();

 private:
  bool hot_ = false;
  std::unique_ptr<fw::TFont> paintFont_;
  TTePerformance performance_ = kspNoBuffer;
};

// The scroll bar that a TTeControl embeds when its ScrollBarKind asks for one:
// arrows, track and thumb, classic or in the visual style. A press on an arrow
// scrolls a line, on the track a page, and dragging the thumb tracks it; each
// step reports the scroll code (SB_LINEUP ... SB_ENDSCROLL) and the proposed
// position through OnScroll, whose answer becomes Position.
class TTeScrollBar : public TTeGraphicControl {
 public:
  explicit TTeScrollBar(fw::TComponent* owner);
  static const fw::TClassInfo& StaticClassInfo();
  const fw::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  TScrollBarKind Kind() const { return kind_; }
  void SetKind(TScrollBarKind v);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int v);
  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetRange(int min, int max);
  int Position() const { return position_; }
  void SetPosition(int v);
  int PageSize() const { return pageSize_; }
  void SetPageSize(int v);
  int SmallChange() const { return smallChange_; }
  void SetSmallChange(int v) { smallChange_ = v; }
  int LargeChange() const { return largeChange_; }
  void SetLargeChange(int v) { largeChange_ = v; }
  fw::TEvent<void(fw::TObject*, int scrollCode, int& position)> OnScroll;

  void PaintClient() override;
  // Reports one step and takes the answer as the new position.
  void Scroll(int code, int position);

  // The parts, in client coordinates: the two arrows, the thumb, the track between the arrows.
  TRect ArrowRect(bool second) const;
  TRect ThumbRect() const;
  TRect TrackRect() const;

 protected:
  void MouseDown(fw::TMouseButton b, fw::TShiftState s, int x, int y) override;
  void MouseMove(fw::TShiftState s, int x, int y) override;
  void MouseUp(fw::TMouseButton b, fw::TShiftState s, int x, int y) override;

 private:
  int PositionAt(int x, int y) const;
  TScrollBarKind kind_ = sbHorizontal;
  int borderWidth_ = 0;
  int min_ = 0, max_ = 100, position_ = 0, pageSize_ = 0, smallChange_ = 1, largeChange_ = 1;
  bool tracking_ = false;
  int trackOffset_ = 0, trackPosition_ = 0;
};

// ---- Font adjustments --------------------------------------------------------------------

// Adjustments a control applies to a fresh copy of its font before it draws
// text; they add styles, never remove one, so they do not accumulate.
class TTeFontOptions : public fw::TPersistent {
 public:
  static constexpr fw::TColor kNotSet = 0x1FFFFFFF;
  TTeFontOptions() = default;
  static const fw::TClassInfo& StaticClassInfo();
  const fw::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  void Assign(const fw::TPersistent& source) override;

  bool Bold() const { return bold_; }
  void SetBold(bool v);
  bool Italic() const { return italic_; }
  void SetItalic(bool v);
  int SizeDelta() const { return sizeDelta_; }
  void SetSizeDelta(int v);
  bool Underline() const { return underline_; }
  void SetUnderline(bool v);
  bool StrikeOut() const { return strikeOut_; }
  void SetStrikeOut(bool v);
  std::wstring FontName() const { return fontName_; }
  void SetFontName(const std::wstring& v);
  fw::TColor FontColor() const { return fontColor_; }
  void SetFontColor(fw::TColor v);
  // Styles added in the order bold, italic, underline, strike-out; the size
  // moved by SizeDelta points; the name and colour replaced when set. Nothing
  // for a null font.
  void Apply(fw::TFont* font) const;
  fw::TNotifyEvent OnChange;

 private:
  void Changed() {
    if (OnChange) OnChange(this);
  }
  bool bold_ = false, italic_ = false;
  int sizeDelta_ = 0;
  bool underline_ = false, strikeOut_ = false;
  std::wstring fontName_;
  fw::TColor fontColor_ = kNotSet;
};

// ---- The push button --------------------------------------------------------------------

enum TBitBtnKind : std::uint8_t {
  bkCustom,
  bkOK,
  bkCancel,
  bkHelp,
  bkYes,
  bkNo,
  bkClose,
  bkAbort,
  bkRetry,
  bkIgnore,
  bkAll
};
using TModalResult = std::int32_t;

// The library's push button. It draws its face, caption and glyph each by the
// first way that applies: the theme in force when it defines the button's
// ThemeObject; for the face, the Windows visual style while ThemesActive;
// otherwise its classic look. It clicks on release of the left button inside
// itself, on release of Space, on Enter (focused, or Default while the focus
// is on a control that is no button) and Escape (Cancel) without Shift, Ctrl
// or Alt, and on its caption's accelerator. It is registered with the theme
// manager from the end of its construction to the start of its destruction.
class TTeButton : public TTeControl {
 public:
  explicit TTeButton(fw::TComponent* owner);
  ~TTeButton() override;
  static const fw::TClassInfo& StaticClassInfo();
  const fw::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  bool ActiveDefault() const { return activeDefault_; }
  fw::TAlignment Alignment() const { return alignment_; }
  void SetAlignment(fw::TAlignment v);
  bool BlackAndWhiteGlyph() const { return blackAndWhiteGlyph_; }
  void SetBlackAndWhiteGlyph(bool v);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool v) { cancel_ = v; }
  const std::wstring& Caption() const { return caption_; }
  // Kept as the system ANSI code page can hold it: the text round-trips through it.
  void SetCaption(const std::wstring& v);
  bool Default() const { return default_; }
  void SetDefault(bool v);
  TTeFontOptions* FontOptions() const { return fontOptions_.get(); }
  void SetFontOptions(const TTeFontOptions& v) { fontOptions_->Assign(v); }
  fw::TBitmap* Glyph() const { return glyph_.get(); }
  void SetGlyph(const fw::TBitmap& v) { glyph_->Assign(v); }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  fw::TCustomImageList* Images() const { return images_; }
  void SetImages(fw::TCustomImageList* v);
  TBitBtnKind Kind() const { return kind_; }
  void SetKind(TBitBtnKind v);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout v);
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult v) { modalResult_ = v; }
  int NumGlyphs() const { return numGlyphs_; }
  // Values outside 1 to 4 are corrected to the nearest of them.
  void SetNumGlyphs(int v);
  int Spacing() const { return spacing_; }
  void SetSpacing(int v);
  TteCustomThemeLink* ThemeLink() const { return themeLink_; }
  void SetThemeLink(TteCustomThemeLink* v);
  const std::string& ThemeObject() const { return themeObject_; }
  void SetThemeObject(const std::string& v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  bool Pressed() const { return pressed_; }
  bool Tracking() const { return tracking_; }
  fw::TBitmap* WorkGlyph() const { return workGlyph_.get(); }

  void Click() override;

  // The operations the button adds, in their slot order.
  virtual void GetContentRect(TRect& r);
  virtual void GetTextRect(TRect& r);
  virtual void GetGlyphRect(TRect& r);
  virtual void PaintFace();
  virtual void PaintGlyph();
  virtual void PaintCaption();

  void PaintClient() override;
  // What the state table gives for the button now.
  TButtonLook Look() const;
  // Rebuilds WorkGlyph from Glyph, the image list or the action's image.
  void BuildWorkGlyph();
  // The glyph's cell size; (0, 0) without a glyph.
  fw::TPoint GetGlyphSize();

 protected:
  void Loaded() override;
  void Notification(fw::TComponent* c, fw::TOperation op) override;
  void ActionChange(fw::TObject* sender, bool checkDefaults) override;
  void WndProc(fw::TMessage& m) override;
  void KeyDown(WORD& key, fw::TShiftState s) override;
  void KeyUp(WORD& key, fw::TShiftState s) override;
  void MouseDown(fw::TMouseButton b, fw::TShiftState s, int x, int y) override;
  void MouseMove(fw::TShiftState s, int x, int y) override;
  void MouseUp(fw::TMouseButton b, fw::TShiftState s, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;

 private:
  // Who draws a paint: the theme in force when it defines the button, the
  // Windows visual style while ThemesActive (the face only), or the classic look.
  enum class TPainter : std::uint8_t { Theme, VisualStyle, Classic };
  // What one paint draws with. PaintClient works it out once, on the canvas it
  // paints, before anything is drawn; the painters and the layout operations
  // read it. Nothing between them changes the theme, so one answer serves the paint.
  struct TPaint {
    TPainter Painter = TPainter::Classic;
    TteTheme* Theme = nullptr;  // the theme in force, when it defines the button
    TButtonLook Look{};
    // The caption's font before FontOptions: the theme's for the state, or PaintFont.
    std::unique_ptr<fw::TFont> Font = std::make_unique<fw::TFont>();
    fw::TPoint GlyphSize{};  // one cell; (0, 0) without a glyph
    bool HasGlyph = false;
    TRect Content{}, Text{}, Glyph{};  // the caption-and-glyph block and its two parts
  };
  // The painter, the look, the caption's font and the block's rectangles, measured on `measure`.
  TPaint MeasurePaint(fw::TCanvas& measure);
  // The record of the paint in progress, or one measured into `aside` for a call outside a paint.
  const TPaint& CurrentPaint(std::optional<TPaint>& aside);
  void PaintThemedFace(const TPaint& p);
  void PaintVisualStyleFace(const TPaint& p);
  void PaintClassicFace();
  bool ThemeDefinesButton() const;
  TteTheme* Theme() const { return ResolveTheme(themeLink_); }
  void GlyphChanged();
  void FontOptionsChanged();
  std::wstring CaptionW() const { return caption_; }
  std::wstring ThemeObjectW() const;
  void SetThemeObjectW(const std::wstring& v);
  bool GlyphStored() const;
  bool ImageIndexStored() const;
  // The linked action's image list and index, when its list can show one.
  bool ActionImage(fw::TCustomImageList*& images, int& index) const;

  bool activeDefault_ = false;
  fw::TAlignment alignment_ = fw::taCenter;
  bool blackAndWhiteGlyph_ = false, cancel_ = false, default_ = false;
  std::wstring caption_;
  std::unique_ptr<TTeFontOptions> fontOptions_;
  std::unique_ptr<fw::TBitmap> glyph_, workGlyph_;
  int imageIndex_ = -1;
  fw::TCustomImageList* images_ = nullptr;
  TBitBtnKind kind_ = bkCustom;
  TButtonLayout layout_ = blGlyphLeft;
  TModalResult modalResult_ = 0;
  int numGlyphs_ = 1, spacing_ = 4;
  TteCustomThemeLink* themeLink_ = nullptr;
  std::string themeObject_ = "default";
  bool transparent_ = false, wordWrap_ = false;
  bool pressed_ = false;
  bool tracking_ = false;
  const TPaint* paint_ = nullptr;  // during PaintClient
};

// ---- Library start-up objects and window hooks ---------------------------------------------

class TControlHook;

// A component that watches, and may consume, the messages of one windowed
// control. Hooks attached to one window are asked last attached first; one
// that marks a message handled keeps it from the hooks attached before it and
// from the window (except WM_DESTROY, which always reaches the window).
class TTeHook : public fw::TComponent {
 public:
  explicit TTeHook(fw::TComponent* owner);
  ~TTeHook() override;
  static const fw::TClassInfo& StaticClassInfo();
  const fw::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  bool Active() const { return active_; }
  virtual void SetActive(bool v);
  fw::TWinControl* Control() const { return control_; }
  void SetControl(fw::TWinControl* control);
  // The hooked control when it is a form.
  fw::TCustomForm* GetForm() const;
  // For the hook's message handlers: neither later hooks nor the window see the message.
  void MarkHandled() { handled_ = true; }

  // In their slot order.
  virtual void AfterMessage(fw::TMessage& m, bool& handled);
  // Passes the message to the hook's own handler (HookMessage), the handled flag in and out.
  virtual void BeforeMessage(fw::TMessage& m, bool& handled);
  virtual void Unhooked();

 protected:
  // The hook's own message handler; the base handles nothing.
  virtual void HookMessage(fw::TMessage&) {}
  void Notification(fw::TComponent* c, fw::TOperation op) override;

 private:
  friend class TControlHook;
  void Attach();
  void Detach();
  bool active_ = true;
  fw::TWinControl* control_ = nullptr;
  TControlHook* controlHook_ = nullptr;
  bool handled_ = false;
};

// One per hooked window: owns the subclassing of the control's window.
class TControlHook {
 public:
  explicit TControlHook(fw::TWinControl* control);
  ~TControlHook();
  TControlHook(const TControlHook&) = delete;
  TControlHook& operator=(const TControlHook&) = delete;

  fw::TWinControl* Control() const { return control_; }
  const std::vector<TTeHook*>& Hooks() const { return hooks_; }
  void Add(TTeHook* hook);
  void Remove(TTeHook* hook);
  // Subclasses the control's window (making it when needed) unless that is done.
  void Install();
  bool Installed() const { return window_ != nullptr; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data);
  LRESULT Handle(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void Uninstall();
  fw::TWinControl* control_;
  std::vector<TTeHook*> hooks_;
  HWND window_ = nullptr;
  bool destroying_ = false;
};

// The process-wide list of hooked windows, with the hidden window that
// re-subclasses re-created windows (HM_REINSTALL) and frees unused hooks (HM_RELEASE).
class THookList {
 public:
  THookList();
  ~THookList();  // frees every TControlHook, last first, then its window
  THookList(const THookList&) = delete;
  THookList& operator=(const THookList&) = delete;
  TControlHook* Find(fw::TWinControl* control) const;
  TControlHook* Add(fw::TWinControl* control);
  void Remove(TControlHook* hook);  // takes it out (no freeing)
  bool Contains(const TControlHook* hook) const;
  HWND Handle() const { return window_.Handle(); }
  int Count() const { return int(hooks_.size()); }

 private:
  void WndProc(HWND hwnd, fw::TMessage& m);
  std::vector<std::unique_ptr<TControlHook>> hooks_;
  fw::TUtilityWindow window_;
};

// The hook list, from the first attaching hook to the unit's exit (else nullptr).
THookList* HookList();
// Frees the hook list and with it every window's hook (the controls unit's start and exit).
void FreeHookList();

// What the deferred-click window runs: a themed menu item's click.
class TTeItemClickTarget {
 public:
  virtual ~TTeItemClickTarget();
  virtual void RunItemClick() = 0;

 protected:
  TTeItemClickTarget();  // a live target; its HM_ITEMCLICK is honoured
};

// The deferred-click window: named "ClickHandle_567823434", tag 99, placed
// at (10000, 10000) with no size, never shown; its window is made when first
// asked for. On HM_ITEMCLICK it lets the pending messages run, then the click of
// the item named by lParam, when that is a live themed menu item.
class TTeClickHandler : public fw::TComponent {
 public:
  TTeClickHandler();
  HWND Handle();  // makes the window
  bool HandleAllocated() const { return bool(window_); }
  fw::TRect BoundsRect() const { return fw::Rect(10000, 10000, 10000, 10000); }

 private:
  void WndProc(HWND hwnd, fw::TMessage& m);
  fw::TUtilityWindow window_;
};
TTeClickHandler* ClickHandler();
// The flag of the themed popup menus: one is up.
bool PopupMenuShowing();

enum TTeBorderIcon : std::uint32_t {
  kbiClose = 1,
  kbiSystemMenu = 2,
  kbiMinimize = 4,
  kbiMaximize = 8,
  kbiHelp = 16,
  kbiRollup = 32,
  kbiTray = 64,
  kbiTop = 128,
  kbiCustom = 256
};

// The settings of the library's themed message dialogs. The process-wide one
// is GlobalMessage(), made at start-up and owned by the application.
class TTeMessage : public fw::TComponent {
 public:
  explicit TTeMessage(fw::TComponent* owner);
  ~TTeMessage() override;
  static const fw::TClassInfo& StaticClassInfo();
  const fw::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  TteAnimationRec* Animation() const { return animation_.get(); }
  std::uint32_t BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(std::uint32_t v) { borderIcons_ = v; }
  fw::TFont* ButtonFont() const { return buttonFont_.get(); }
  fw::TFont* MessageFont() const { return messageFont_.get(); }
  fw::TPosition Position() const { return position_; }
  void SetPosition(fw::TPosition v) { position_ = v; }
  bool ShowButtonGlyph() const { return showButtonGlyph_; }
  void SetShowButtonGlyph(bool v) { showButtonGlyph_ = v; }
  bool ShowIconImage() const { return showIconImage_; }
  void SetShowIconImage(bool v) { showIconImage_ = v; }
  bool ShowHints() const { return showHints_; }
  void SetShowHints(bool v) { showHints_ = v; }
  bool StayOnTop() const { return stayOnTop_; }
  void SetStayOnTop(bool v) { stayOnTop_ = v; }
  bool Global() const { return global_; }
  // Makes this the process-wide settings object, freeing the previous one.
  void SetGlobal(bool v);

  // A dialog's push button, transparent while visual styles are in use.
  virtual TTeButton* CreateButton(fw::TComponent* owner);

 private:
  std::unique_ptr<TteAnimationRec> animation_;
  std::uint32_t borderIcons_ = kbiClose | kbiSystemMenu;
  std::unique_ptr<fw::TFont> buttonFont_, messageFont_;
  fw::TPosition position_ = fw::TPosition::poScreenCenter;
  bool showButtonGlyph_ = true, showIconImage_ = true, showHints_ = false, stayOnTop_ = false, global_ = false;
};
TTeMessage* GlobalMessage();

// The other start-up objects of the unit, for the controls that use them.
struct TMenuMetrics {
  int ItemWidth = 0, ItemHeight = 0;
};
TMenuMetrics MenuMetrics();
fw::TFont* MenuFont();
fw::TBitmap* MenuCheckBitmap();
fw::TFont* CaptionFont();
fw::TFont* SmallCaptionFont();
fw::TFont* StatusFont();
fw::TCustomImageList* FormButtonImages();
TteBitmap* TrueTypeGlyph();
TteAnimationRec* DefaultAnimation();
bool IsNTPlatform();
struct TFrameMetrics {
  int FrameWidth = 0, CaptionHeight = 0, SmallCaptionHeight = 0, ButtonWidth = 0, ButtonHeight = 0;
};
TFrameMetrics FrameMetrics();
const std::wstring& DialogButtonName(int index);

// Records the unit's start and exit steps while a list is given (for tests).
void SetControlsUnitTrace(std::vector<std::string>* trace);

// The stock glyph of a kind (empty for bkCustom, or when its bitmap resource
// cannot be loaded): loaded once per process and shared; the unit owns it.
fw::TBitmap* GetButtonKindGlyph(TBitBtnKind kind);
// The kinds' captions, from the program's string table (index = kind).
const std::wstring& ButtonKindCaption(TBitBtnKind kind);
// The modal result a kind gives its button.
TModalResult ButtonKindModalResult(TBitBtnKind kind);

// The controls unit's start and exit (the library's start-up runs them once,
// after its other units).
void InitControlsUnit();
void FinalizeControlsUnit();

}  // namespace te
