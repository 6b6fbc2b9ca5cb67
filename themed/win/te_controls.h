// te_controls: the themed controls.
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

#include "framework/win/controls.h"
#include "framework/win/graphics.h"
#include "themed/core/te_theme_rules.h"
#include "themed/win/te_bitmap.h"

namespace te {

using fw::TRect;

// ---- Painting buffer, border and bevels -----------------------------------------

enum TTePerformance : std::uint8_t { kspNoBuffer, kspSharedBuffer, kspDoubleBuffer };
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
  // 0 none, 1 horizontal, 2 vertical, 3 both.
  std::uint8_t ScrollBarKind() const { return scrollBarKind_; }

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
  void SetScrollBarKind(std::uint8_t v);
  void RecreateScrollBars();
  void LayoutScrollBars();

 private:
  void PaintBorderAndClient();
  void ScrollBarScrolled(TTeScrollBar* bar, int code, int& position);
  TTePerformance performance_ = kspNoBuffer;
  bool focused_ = false, hot_ = false;
  TTeScrollBar* horzScrollBar_ = nullptr;
  TTeScrollBar* vertScrollBar_ = nullptr;
  std::uint8_t scrollBarKind_ = 0;
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

// The controls unit's start and exit (the library's start-up runs them once,
// after its other units).
void InitControlsUnit();
void FinalizeControlsUnit();

}  // namespace te
