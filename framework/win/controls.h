// Controls: the non-windowed TControl and TGraphicControl, the windowed
// TWinControl and the custom-painted TCustomControl, with one window procedure
// that turns Windows messages into the framework's handlers and CM_ messages.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/component.h"
#include "framework/core/types.h"
#include "framework/win/graphics.h"
#include "framework/win/messages.h"

namespace fw {

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

enum TAnchorKind : std::uint32_t { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
enum class TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftFlag : std::uint32_t {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64
};
using TShiftState = std::uint32_t;

enum TControlStyleFlag : std::uint32_t {
  csAcceptsControls = 1u << 0,
  csCaptureMouse = 1u << 1,
  csDesignInteractive = 1u << 2,
  csClickEvents = 1u << 3,
  csFramed = 1u << 4,
  csSetCaption = 1u << 5,
  csOpaque = 1u << 6,
  csDoubleClicks = 1u << 7,
  csFixedWidth = 1u << 8,
  csFixedHeight = 1u << 9,
  csNoDesignVisible = 1u << 10,
  csReplicatable = 1u << 11,
  csNoStdEvents = 1u << 12,
  csDisplayDragImage = 1u << 13,
  csReflector = 1u << 14,
  csActionClient = 1u << 15,
  csMenuEvents = 1u << 16,
};
enum TControlStateFlag : std::uint32_t {
  csLButtonDown = 1u << 0,
  csClicked = 1u << 1,
  csPalette = 1u << 2,
  csReadingState = 1u << 3,
  csAlignmentNeeded = 1u << 4,
  csFocusing = 1u << 5,
  csCreating = 1u << 6,
  csPaintCopy = 1u << 7,
  csCustomPaint = 1u << 8,
  csDestroyingHandle = 1u << 9,
  csDocking = 1u << 10,
};

// Reading order and alignment of a control's text.
enum TBiDiMode : std::uint8_t { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TDragMode : std::uint8_t { dmManual, dmAutomatic };
enum TDragKind : std::uint8_t { dkDrag, dkDock };
using TCursor = std::int16_t;
constexpr TCursor crDefault = 0, crDrag = -12;

class TWinControl;
class TCustomForm;
class TBasicAction;
class TPopupMenu;

// Limits a control's size: 0 means no limit. A change reapplies them.
class TSizeConstraints : public TPersistent {
 public:
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  void Assign(const TPersistent& source) override;
  int MaxHeight() const { return maxHeight_; }
  int MaxWidth() const { return maxWidth_; }
  int MinHeight() const { return minHeight_; }
  int MinWidth() const { return minWidth_; }
  void SetMaxHeight(int v);
  void SetMaxWidth(int v);
  void SetMinHeight(int v);
  void SetMinWidth(int v);
  // Width and height brought within the limits.
  void Apply(int& width, int& height) const;
  TNotifyEvent OnChange;

 private:
  void Changed() {
    if (OnChange) OnChange(this);
  }
  int maxHeight_ = 0, maxWidth_ = 0, minHeight_ = 0, minWidth_ = 0;
};

using TMouseEvent = std::function<void(TObject*, TMouseButton, TShiftState, int, int)>;
using TMouseMoveEvent = std::function<void(TObject*, TShiftState, int, int)>;
using TKeyEvent = std::function<void(TObject*, WORD&, TShiftState)>;
using TKeyPressEvent = std::function<void(TObject*, char&)>;

TShiftState KeysToShiftState(WPARAM keys);
// The stream entry of a control's Color, with the class's default.
TPropInfo ControlColorProp(TColor def);
// Stream entries of the control properties that only some classes publish.
TPropInfo BiDiModeProp();
TPropInfo ParentBiDiModeProp();
TPropInfo ShowHintProp();
TPropInfo ParentShowHintProp();
TPropInfo DragCursorProp();
TPropInfo DragKindProp();
TPropInfo DragModeProp();
TPropInfo ConstraintsProp();
// OnDragDrop, OnDragOver, OnEndDrag, OnStartDrag, in that order.
std::vector<TPropInfo> DragEventProps();
TShiftState KeyDataToShiftState(LPARAM keyData);

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;
  void BeforeDestruction() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  // Message entry: every message to the control goes through WndProc.
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  virtual void WndProc(TMessage& m);
  virtual void DefaultHandler(TMessage& m);

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* p);
  void SetParentComponent(TComponent* c) override;
  TComponent* GetParentComponent() const override;
  TCustomForm* ParentForm() const;

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  virtual TRect ClientRect() const { return Rect(0, 0, width_, height_); }
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  virtual void SetClientSize(int w, int h);
  TPoint ClientOrigin() const;  // screen position of the client area
  TPoint ScreenToClient(TPoint p) const;

  TAlign Align() const { return align_; }
  void SetAlign(TAlign v);
  std::uint32_t Anchors() const { return anchors_; }
  void SetAnchors(std::uint32_t v);

  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  virtual bool Showing() const;
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool v);
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode v);
  bool ParentBiDiMode() const { return parentBiDiMode_; }
  void SetParentBiDiMode(bool v);
  // Right-to-left alignment and reading, as the bidirectional mode asks for them.
  bool UseRightToLeftAlignment() const { return biDiMode_ == bdRightToLeft; }
  bool UseRightToLeftReading() const { return biDiMode_ != bdLeftToRight; }
  // DrawText flags adjusted for the mode: DT_RIGHT removed under right-to-left
  // alignment when present, else added unless DT_CENTER is; DT_RTLREADING added
  // when the control reads right to left.
  UINT DrawTextBiDiModeFlags(UINT flags) const;
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool v);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool v);
  TCursor DragCursor() const { return dragCursor_; }
  void SetDragCursor(TCursor v) { dragCursor_ = v; }
  TDragKind DragKind() const { return dragKind_; }
  void SetDragKind(TDragKind v) { dragKind_ = v; }
  TDragMode DragMode() const { return dragMode_; }
  void SetDragMode(TDragMode v) { dragMode_ = v; }
  TSizeConstraints* Constraints() const { return constraints_.get(); }
  // The linked action: the control takes its caption and runs it when clicked.
  TBasicAction* Action() const { return action_; }
  void SetAction(TBasicAction* a);
  // The context menu the control shows (right button, the menu key).
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* m);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool v);
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* f) { font_->Assign(*f); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool v);
  // The platform's 8-bit text of the control (its caption), in the system code page.
  const std::string& Text() const { return text_; }
  void SetText(const std::string& v);
  // Layout streams hold captions as UTF-16; they are kept in the system code page.
  std::wstring TextW() const;
  void SetTextW(const std::wstring& v);

  std::uint32_t ControlStyle() const { return controlStyle_; }
  void SetControlStyle(std::uint32_t v) { controlStyle_ = v; }
  std::uint32_t ControlState() const { return controlState_; }
  void SetControlState(std::uint32_t v) { controlState_ = v; }

  virtual void Invalidate();
  void Update();
  void Repaint() {
    Invalidate();
    Update();
  }
  // Rescales position, size and font by m / d (pixels-per-inch scaling).
  virtual void ChangeScale(int m, int d);

  TEvent<void(TObject*)> OnClick;
  TEvent<void(TObject*)> OnDblClick;
  TEvent<void(TObject*, TMouseButton, TShiftState, int, int)> OnMouseDown;
  TEvent<void(TObject*, TMouseButton, TShiftState, int, int)> OnMouseUp;
  TEvent<void(TObject*, TShiftState, int, int)> OnMouseMove;
  TEvent<void(TObject*)> OnResize;
  // Drag-and-drop events: kept and streamed; this framework starts no drag
  // operations of its own.
  TEvent<void(TObject*, TObject*, int, int)> OnDragDrop;              // Sender, Source, X, Y
  TEvent<void(TObject*, TObject*, int, int, int, bool&)> OnDragOver;  // ..., State, Accept
  TEvent<void(TObject*, TObject*, int, int)> OnEndDrag;               // Sender, Target, X, Y
  TEvent<void(TObject*, TObject*&)> OnStartDrag;                      // Sender, DragObject

  virtual void Click();

 protected:
  virtual void MouseDown(TMouseButton b, TShiftState s, int x, int y);
  virtual void MouseUp(TMouseButton b, TShiftState s, int x, int y);
  virtual void MouseMove(TShiftState s, int x, int y);
  virtual void DblClick();
  virtual void Resize();
  void Loaded() override;
  void Notification(TComponent* c, TOperation op) override;
  // The linked action changed (or was linked): take its caption and its
  // execution; with checkDefaults only where the control has none of its own.
  virtual void ActionChange(TObject* sender, bool checkDefaults);
  virtual void ReadState() {}
  bool MouseCapture() const;
  void SetMouseCapture(bool on);
  void FontChanged();
  // Changes the font without it counting as the control's own choice (ParentFont stays).
  template <class F>
  void ChangeFontQuietly(F change) {
    font_->OnChange = nullptr;
    change(*font_);
    font_->OnChange = [this](TObject*) { FontChanged(); };
  }
  void RequestAlign();
  virtual void Changed() {}
  // Where the anchors keep the control relative to its parent's client size.
  void UpdateAnchorRules();

  friend class TWinControl;
  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = TAlign::alNone;
  std::uint32_t anchors_ = akLeft | akTop;
  TRect anchorRules_{};    // left, top, right margin, bottom margin
  TPoint anchorOrigin_{};  // parent's client size when the rules were taken
  bool visible_ = true, enabled_ = true;
  TColor color_ = clWindow;
  bool parentColor_ = false, parentFont_ = true;
  TBiDiMode biDiMode_ = bdLeftToRight;
  bool parentBiDiMode_ = true;
  bool showHint_ = false, parentShowHint_ = true;
  TCursor dragCursor_ = crDrag;
  TDragKind dragKind_ = dkDrag;
  TDragMode dragMode_ = dmManual;
  std::unique_ptr<TSizeConstraints> constraints_;
  TBasicAction* action_ = nullptr;
  TPopupMenu* popupMenu_ = nullptr;
  std::unique_ptr<TFont> font_;
  std::string text_;
  std::uint32_t controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  std::uint32_t controlState_ = 0;

 private:
  void HandleMouse(TMessage& m);
};

// A control with its own window.
//
// Destruction. A control freed with delete (by its owner, a unique_ptr or
// code) first gets BeforeDestruction, while it is still whole: it is marked
// as destroying, leaves its form's focus bookkeeping and its parent, and its
// window goes through the virtual DestroyWnd, so a derived class's window
// clean-up (an override of DestroyWnd) runs. Then the destructors run, most
// derived first. DestroyWnd detaches the object before DestroyWindow, so the
// WM_DESTROY and WM_NCDESTROY of that window never reach WndProc: per-window
// clean-up belongs in DestroyWnd, not in those messages. A control that is not
// freed with delete (a local variable) skips BeforeDestruction; its window then
// goes in ~TWinControl, where only this class's DestroyWnd can run.
class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;
  void BeforeDestruction() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  struct TCreateParams {
    std::wstring Caption;
    DWORD Style = 0, ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    UINT ClassStyle = CS_DBLCLKS;
    HBRUSH Background = nullptr;
    std::wstring WinClassName;
  };

  HWND Handle();  // creates the window when it does not exist yet
  HWND HandleNoCreate() const { return hwnd_; }
  bool HandleAllocated() const { return hwnd_ != nullptr; }
  void HandleNeeded() { Handle(); }
  void DestroyHandle();

  const std::vector<TControl*>& Controls() const { return controls_; }
  int ControlCount() const { return int(controls_.size()); }
  void InsertControl(TControl* c);
  void RemoveControl(TControl* c);
  std::vector<TComponent*> GetChildren(const TComponent* root) const override;

  int TabOrder() const;
  void SetTabOrder(int v);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool v) { tabStop_ = v; }
  const std::vector<TWinControl*>& TabList() const { return tabList_; }
  // Windowed descendants in tab order, depth first.
  void GetTabOrderList(std::vector<TWinControl*>& out) const;
  TWinControl* FindNextControl(TWinControl* cur, bool forward, bool checkTabStop, bool checkParent) const;
  void SelectNext(TWinControl* cur, bool forward, bool checkTabStop);

  virtual bool CanFocus() const;
  bool Focused() const;
  virtual void SetFocus();
  // Sends the message to every child control until one answers non-zero.
  void Broadcast(TMessage& m);

  void SetBounds(int left, int top, int width, int height) override;
  TRect ClientRect() const override;
  bool Showing() const override;
  void Invalidate() override;
  void ChangeScale(int m, int d) override;
  // Paints this control and its children into `dc` at (x, y), as the screen would show them.
  void PaintTo(HDC dc, int x, int y);

  TEvent<void(TObject*)> OnEnter;
  TEvent<void(TObject*)> OnExit;
  TEvent<void(TObject*, WORD&, TShiftState)> OnKeyDown;
  TEvent<void(TObject*, WORD&, TShiftState)> OnKeyUp;
  TEvent<void(TObject*, char&)> OnKeyPress;

  static TWinControl* FromHandle(HWND hwnd);

 protected:
  virtual void CreateParams(TCreateParams& p);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& p);
  virtual void DestroyWnd();
  void WndProc(TMessage& m) override;
  void DefaultHandler(TMessage& m) override;
  virtual void KeyDown(WORD& key, TShiftState s);
  virtual void KeyUp(WORD& key, TShiftState s);
  virtual void KeyPress(char& key);
  virtual void DoEnter();
  virtual void DoExit();
  // Lays out aligned children and applies the anchors of the others.
  virtual void AlignControls(TRect& rect);
  void Realign();
  virtual void PaintWindow(HDC dc);
  void PaintControls(HDC dc, TControl* first);
  void PaintHandler(TMessage& m);
  void Loaded() override;
  // Dialog-key handling shared by WM_KEYDOWN and WM_SYSKEYDOWN; true when consumed.
  bool DoDialogKey(TMessage& m);
  void UpdateBoundsFromWindow();
  void ShowingChanged();
  TControl* ControlAtPos(TPoint p, bool allowDisabled) const;

  HWND hwnd_ = nullptr;
  bool tabStop_ = false;
  int pendingTabOrder_ = -1;
  std::vector<TControl*> controls_;    // all children, in insertion order
  std::vector<TWinControl*> tabList_;  // windowed children, in tab order
  TControl* mouseCapture_ = nullptr;   // the graphic child that has the mouse captured

 private:
  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  // WndProc's handlers, each given what its message carries.
  void RouteMouse(TMessage& m, TPoint p);
  void WMMouseLeave(TMessage& m);
  void WMCaptureChanged(TMessage& m, HWND newCapture);
  void WMContextMenu(TMessage& m, TPoint at);
  void WMPrintClient(HDC dc, bool erase);
  void WMEraseBkgnd(TMessage& m, HDC dc);
  void WMWindowPosChanged(TMessage& m);
  void WMSetFocus(TMessage& m);
  void WMKeyDown(TMessage& m);
  void WMKeyUp(TMessage& m);
  void WMChar(TMessage& m);
  void WMSysChar(TMessage& m);
  void CMEnabledChanged();
  void CMTextChanged();
  // Passes a parent's change (CM_PARENT...) on to every child, after a repaint when asked.
  void TellChildren(UINT parentChanged, bool repaint);
  void ApplyTabOrder();
  void ReleaseWindow();
  int alignLevel_ = 0;
  bool trackingLeave_ = false;
  friend class TControl;
};

// A windowed control that paints itself on its canvas.
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  TCanvas& Canvas() { return *canvas_; }

 protected:
  virtual void Paint() {}
  void PaintWindow(HDC dc) override;
  // Fills the whole control with its colour, solid.
  void FillWithColor();

 private:
  std::unique_ptr<TCanvas> canvas_;
};

// A control without a window: its parent paints it and routes its mouse input.
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  TCanvas& Canvas() { return *canvas_; }

 protected:
  friend class TWinControl;
  virtual void Paint() {}
  void WndProc(TMessage& m) override;

 private:
  std::unique_ptr<TCanvas> canvas_;
};

}  // namespace fw
