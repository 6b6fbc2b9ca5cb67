// The themed control bases: painting through the chosen buffer, the border
// and its bevels, mouse-over and focus tracking, the embedded scroll bars' place.
#include <optional>

#include "framework/win/handles.h"
#include "themed/win/te_controls.h"
#include "themed/win/te_utils.h"
#include "themed/win/te_winapi.h"

namespace te {

using namespace fw;

const std::array<TTeBevelColors, 6> OuterBevelColors = {{{clNone, clNone},
                                                         {clBtnShadow, clBtnHighlight},
                                                         {clBtnHighlight, cl3DDkShadow},
                                                         {clBtnFace, clBtnFace},
                                                         {cl3DDkShadow, cl3DDkShadow},
                                                         {clBtnShadow, clBtnShadow}}};
const std::array<TTeBevelColors, 6> InnerBevelColors = {{{clNone, clNone},
                                                         {cl3DDkShadow, clBtnFace},
                                                         {clBtnShadow, clBtnShadow},
                                                         {clBtnFace, clBtnFace},
                                                         {clWindow, clWindow},
                                                         {clBtnFace, clBtnFace}}};
const std::vector<std::string>& PerformanceNames() {
  static const std::vector<std::string> names = {"kspNoBuffer", "kspSharedBuffer", "kspDoubleBuffer"};
  return names;
}

const std::array<TTeBevelCut, 6> BevelKindCuts = {kbvNone,    kbvLowered, kbvLowered,
                                                  kbvLowered, kbvBorder,  kbvFlatBorder};

void DrawBevel(TCanvas& canvas, TRect& r, TTeBevelSides sides, TColor topLeft, TColor bottomRight, int count) {
  for (int i = 0; i < count; ++i) {
    if (sides & kbsLeft) {
      canvas.MoveTo(r.Left, r.Top);
      LineToColor(canvas, r.Left, r.Bottom, topLeft);
    }
    if (sides & kbsTop) {
      canvas.MoveTo(r.Left, r.Top);
      LineToColor(canvas, r.Right, r.Top, topLeft);
    }
    if (sides & kbsBottom) {
      canvas.MoveTo(r.Left, r.Bottom - 1);
      LineToColor(canvas, r.Right, r.Bottom - 1, bottomRight);
    }
    if (sides & kbsRight) {
      canvas.MoveTo(r.Right - 1, r.Top);
      LineToColor(canvas, r.Right - 1, r.Bottom, bottomRight);
    }
    if (sides & kbsLeft) ++r.Left;
    if (sides & kbsTop) ++r.Top;
    if (sides & kbsRight) --r.Right;
    if (sides & kbsBottom) --r.Bottom;
  }
}

namespace {

// The published entries that TControl and TWinControl declare and the themed
// bases keep unpublished, for the subclasses to publish as they need them.
constexpr const char* kKeptUnpublished[] = {"Align", "Anchors",     "Color",     "Enabled",
                                            "Font",  "ParentColor", "ParentFont"};

void AddCommonPublished(TClassInfo& i, bool windowed) {
  for (const char* name : kKeptUnpublished) i.Unpublish(name);
  if (windowed) {
    i.Unpublish("TabOrder");
    i.Unpublish("TabStop");
  }
  i.Add(BiDiModeProp());
  i.Add(DragCursorProp());
  i.Add(DragKindProp());
  i.Add(DragModeProp());
  i.Add(ParentBiDiModeProp());
  i.Add(ShowHintProp());
  for (auto& p : DragEventProps()) i.Add(std::move(p));
}

bool TrueColorBuffer() {
  const int format = ScreenPixelFormat();
  return format == int(TPixelFormat::pf24bit) || format == int(TPixelFormat::pf32bit);
}

// The surface a paint goes through, as Performance chooses: none (straight on
// the target), the library's shared buffer, or a buffer of the paint's own size
// (32-bit on a true-colour screen, else the device's format).
class TPaintBuffer {
 public:
  TPaintBuffer(TTePerformance mode, int width, int height) : area_(Rect(0, 0, width, height)) {
    switch (mode) {
      case kspNoBuffer: break;
      case kspSharedBuffer:
        shared_ = SharedPaintBuffer();
        if (!shared_) break;  // outside the library's lifetime: straight on the target
        shared_->Transparent = false;
        if (shared_->Empty()) shared_->SetSize(SharedBufferLimits().X, SharedBufferLimits().Y);
        break;
      case kspDoubleBuffer:
        if (TrueColorBuffer()) {
          alpha_ = std::make_unique<TteBitmap>();
          alpha_->SetSize(width, height);
          alpha_->Transparent = false;
        } else {
          device_ = std::make_unique<TBitmap>();
          device_->SetSize(width, height);
          device_->SetTransparent(false);
        }
        break;
    }
  }
  TPaintBuffer(const TPaintBuffer&) = delete;
  TPaintBuffer& operator=(const TPaintBuffer&) = delete;

  // The buffer's device context; nullptr when the paint goes straight on the target.
  HDC DC() const {
    if (shared_) return shared_->DC();
    if (alpha_) return alpha_->DC();
    if (device_) return device_->Canvas().Handle();
    return nullptr;
  }
  TteBitmap* Shared() const { return shared_; }
  // What was painted, onto the target at (0, 0).
  void Present(HDC target) const {
    if (shared_) {
      shared_->DrawRect(target, 0, 0, area_);
    } else if (alpha_) {
      alpha_->Draw(target, 0, 0);
    } else if (device_) {
      TCanvas onTarget;
      TCanvasBinding bind(onTarget, target);
      onTarget.Draw(0, 0, device_.get());
    }
  }

 private:
  TRect area_;
  TteBitmap* shared_ = nullptr;
  std::unique_ptr<TteBitmap> alpha_;
  std::unique_ptr<TBitmap> device_;
};

}  // namespace

// ---- TTeControl ---------------------------------------------------------------------

TTeControl::TTeControl(TComponent* owner) : TCustomControl(owner), paintFont_(std::make_unique<TFont>()) {
  useNativeFrame_ = true;
  controlStyle_ |= csOpaque;
  SetColor(clBtnFace);
  performance_ = kspNoBuffer;
  scrollBarKind_ = ksbNone;
  bevelSides_ = kAllBevelSides;
  bevelInner_ = kbvLowered;
  bevelOuter_ = kbvLowered;
  bevelWidth_ = 0;
  borderWidth_ = 0;
  SetBounds(0, 0, 100, 30);
}

TTeControl::~TTeControl() = default;

const TClassInfo& TTeControl::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TTeControl", &TCustomControl::StaticClassInfo(),
                 [](TComponent* o) -> TComponent* { return new TTeControl(o); });
    AddCommonPublished(i, true);
    i.Add(ConstraintsProp());
    i.Add(EnumProp<TTeControl, TTePerformance>("Performance", &TTeControl::Performance, &TTeControl::SetPerformance,
                                               PerformanceNames(), kspNoBuffer));
    i.Add(EventProp<TTeControl>("OnMouseEnter", &TTeControl::OnMouseEnter));
    i.Add(EventProp<TTeControl>("OnMouseLeave", &TTeControl::OnMouseLeave));
    return i;
  }();
  return info;
}

void TTeControl::SetPerformance(TTePerformance v) {
  if (v == performance_) return;
  performance_ = v;
  Invalidate();
}

void TTeControl::SetBorderWidth(int v) {
  if (v == borderWidth_) return;
  borderWidth_ = v;
  BorderChanged();
  Invalidate();
}

void TTeControl::SetBevelWidth(int v) {
  if (v == bevelWidth_) return;
  bevelWidth_ = v;
  BorderChanged();
  Invalidate();
}

void TTeControl::SetBevelSides(TTeBevelSides v) {
  if (v == bevelSides_) return;
  bevelSides_ = v;
  BorderChanged();
  Invalidate();
}

void TTeControl::SetBevelInner(TTeBevelCut v) {
  if (v == bevelInner_) return;
  SetBevelKind(kbkNone);
  bevelInner_ = v;
  BorderChanged();
  Invalidate();
}

void TTeControl::SetBevelOuter(TTeBevelCut v) {
  if (v == bevelOuter_) return;
  SetBevelKind(kbkNone);
  bevelOuter_ = v;
  BorderChanged();
  Invalidate();
}

void TTeControl::SetBevelKind(TTeBevelKind v) {
  if (v == bevelKind_) return;
  if (v != kbkNone) bevelInner_ = bevelOuter_ = BevelKindCuts[v];
  bevelKind_ = v;
  BorderChanged();
  Invalidate();
}

void TTeControl::SetUseNativeFrame(bool v) {
  if (v == useNativeFrame_) return;
  useNativeFrame_ = v;
  Invalidate();
}

void TTeControl::BorderChanged() {}

void TTeControl::SetBounds(int left, int top, int width, int height) {
  TCustomControl::SetBounds(left, top, width, height);
  paintWidth_ = width;
  paintHeight_ = height;
  LayoutScrollBars();
}

void TTeControl::GetInnerRect(TRect& r) const {
  const int bevels = (bevelInner_ != kbvNone ? 1 : 0) + (bevelOuter_ != kbvNone ? 1 : 0);
  r = BorderInnerRect(paintWidth_, paintHeight_, borderWidth_, bevelWidth_, bevels, bevelSides_);
}

TRect TTeControl::ClientRect() const {
  TRect r;
  GetInnerRect(r);
  if (vertScrollBar_) r.Right -= vertScrollBar_->Width();
  if (horzScrollBar_) r.Bottom -= horzScrollBar_->Height();
  return r;
}

void TTeControl::Loaded() {
  TCustomControl::Loaded();
  LayoutScrollBars();
}

void TTeControl::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.Style &= ~DWORD(WS_HSCROLL | WS_VSCROLL);
}

void TTeControl::CreateWnd() {
  TCustomControl::CreateWnd();
  if (Parent()) RecreateScrollBars();
}

void TTeControl::Paint() {
  if (Width() <= 0 || Height() <= 0 || paintWidth_ <= 0 || paintHeight_ <= 0) return;
  TCanvas& canvas = Canvas();
  const HDC target = canvas.Handle();
  TPaintBuffer buffer(performance_, paintWidth_, paintHeight_);
  if (TteBitmap* shared = buffer.Shared()) shared->FillRect(Rect(0, 0, paintWidth_, paintHeight_), TransparentKey);
  {
    // The canvas has its target back before the buffer goes.
    std::optional<TCanvasBinding> onBuffer;
    if (HDC dc = buffer.DC()) onBuffer.emplace(canvas, dc);
    paintFont_->Assign(*Font());
    PaintBorderAndClient();
  }
  buffer.Present(target);
}

void TTeControl::PaintBorderAndClient() {
  TCanvas& canvas = Canvas();
  TRect inner;
  GetInnerRect(inner);
  const TRect client = ClientRect();
  if (scrollBarKind_ == ksbBoth) {
    inner.Right = client.Right;
    inner.Bottom = client.Bottom;
  }
  {
    // The border never paints over the inner rectangle.
    TScopedCanvasState state(canvas);
    ::ExcludeClipRect(canvas.Handle(), inner.Left, inner.Top, inner.Right, inner.Bottom);
    PaintBorder();
  }
  std::optional<TScopedCanvasState> clip;
  if (scrollBarKind_ == ksbBoth) {
    clip.emplace(canvas);
    ::IntersectClipRect(canvas.Handle(), client.Left, client.Top, client.Right, client.Bottom);
  }
  PaintClient();
}

void TTeControl::PaintBorder() {
  // The one choice of painter: the visual style's edit frame while styles are
  // in use and the control wants it, else the classic margin and bevels.
  const bool editStyle = useNativeFrame_ && ThemesActive();
  TRect inner;
  GetInnerRect(inner);
  const TRect full = Rect(0, 0, paintWidth_, paintHeight_);
  const bool framed = !RectsEqual(inner, full);  // a margin or a bevel
  const bool corner = scrollBarKind_ == ksbBoth;
  if (!framed && !corner) return;
  std::optional<TThemeData> editFrame;  // a closed handle draws nothing
  if (editStyle) editFrame.emplace(nullptr, L"Edit");
  TCanvas& canvas = Canvas();
  if (corner) {
    const TRect box = Rect(Width() - 20, Height() - 20, Width(), Height());
    if (editFrame)
      editFrame->DrawBackground(canvas.Handle(), kEpEditText, 0, box);
    else
      FillRectColor(canvas, box, Color());
  }
  if (!framed) return;
  // Without visual-style data for edit boxes, the classic frame.
  if (editFrame && *editFrame)
    PaintEditFrame(*editFrame, inner, full);
  else
    PaintClassicBorder(full);
}

void TTeControl::PaintEditFrame(const TThemeData& frame, const TRect& inner, const TRect& full) {
  TCanvas& canvas = Canvas();
  TScopedCanvasState save(canvas);
  ::ExcludeClipRect(canvas.Handle(), inner.Left, inner.Top, inner.Right, inner.Bottom);
  frame.DrawBackground(canvas.Handle(), kEpEditText, EditFrameState(Enabled(), focused_, hot_), full);
}

void TTeControl::PaintClassicBorder(TRect r) {
  TCanvas& canvas = Canvas();
  if (bevelWidth_ > 0) {
    if (bevelOuter_ != kbvNone)
      DrawBevel(canvas, r, bevelSides_, OuterBevelColors[bevelOuter_].TopLeft,
                OuterBevelColors[bevelOuter_].BottomRight, bevelWidth_);
    if (bevelInner_ != kbvNone)
      DrawBevel(canvas, r, bevelSides_, InnerBevelColors[bevelInner_].TopLeft,
                InnerBevelColors[bevelInner_].BottomRight, bevelWidth_);
  }
  for (int i = 0; i < borderWidth_; ++i) {
    DrawRectOutline(canvas, r, Color());
    r = Inset(r, 1, 1);
  }
}

void TTeControl::PaintClient() {
  TRect r;
  GetInnerRect(r);
  FillRectColor(Canvas(), r, Color());
}

void TTeControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      // Windows' own erase (lParam 0) paints nothing: the control paints every pixel.
      if (m.WParam && m.LParam) {
        TCanvasBinding bind(Canvas(), reinterpret_cast<HDC>(m.WParam));
        PaintBorderAndClient();
      }
      m.Result = 1;
      return;
    case WM_WINDOWPOSCHANGING: {
      // The new size is known before the window takes it.
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(m.LParam);
      if (pos && !(pos->flags & SWP_NOSIZE)) {
        paintWidth_ = pos->cx;
        paintHeight_ = pos->cy;
        LayoutScrollBars();
      }
      break;
    }
    case WM_THEMECHANGED:
      Invalidate();
      DefaultHandler(m);
      return;
    case CM_VISIBLECHANGED:
      TCustomControl::WndProc(m);
      if (!Visible() && focused_) focused_ = false;
      return;
    case CM_MOUSEENTER:
      TCustomControl::WndProc(m);
      MouseEnter();
      return;
    case CM_MOUSELEAVE:
      TCustomControl::WndProc(m);
      MouseLeave();
      return;
    case CM_ENTER:
      FocusEnter();
      TCustomControl::WndProc(m);
      return;
    case CM_EXIT:
      FocusExit();
      TCustomControl::WndProc(m);
      return;
    default: break;
  }
  TCustomControl::WndProc(m);
}

void TTeControl::MouseEnter() {
  hot_ = true;
  if (OnMouseEnter) OnMouseEnter(this);
}

void TTeControl::MouseLeave() {
  hot_ = false;
  if (OnMouseLeave) OnMouseLeave(this);
}

void TTeControl::FocusEnter() {
  focused_ = true;
  Invalidate();
}

void TTeControl::FocusExit() {
  focused_ = false;
  Invalidate();
}

// ---- Embedded scroll bars ---------------------------------------------------------

TTeScrollBar* TTeControl::CreateScrollBar() { return new TTeScrollBar(this); }

int TTeControl::GetScrollBarSize() { return ::GetSystemMetrics(SM_CYVTHUMB); }

void TTeControl::SetScrollBarKind(TTeScrollBars v) {
  if (v > ksbBoth || v == scrollBarKind_) return;
  scrollBarKind_ = v;
  if (HandleAllocated() && Parent()) RecreateScrollBars();
  Invalidate();
}

void TTeControl::RecreateScrollBars() {
  delete horzScrollBar_;
  horzScrollBar_ = nullptr;
  delete vertScrollBar_;
  vertScrollBar_ = nullptr;
  auto make = [this](TScrollBarKind kind) {
    TTeScrollBar* bar = CreateScrollBar();
    bar->SetBorderWidth(0);
    bar->SetParent(this);
    bar->SetKind(kind);
    if (kind == sbHorizontal)
      bar->SetHeight(GetScrollBarSize());
    else
      bar->SetWidth(GetScrollBarSize());
    bar->SetVisible(true);
    bar->OnScroll = [this, bar](TObject*, int code, int& position) { ScrollBarScrolled(bar, code, position); };
    return bar;
  };
  if (scrollBarKind_ == ksbHorizontal || scrollBarKind_ == ksbBoth) horzScrollBar_ = make(sbHorizontal);
  if (scrollBarKind_ == ksbVertical || scrollBarKind_ == ksbBoth) vertScrollBar_ = make(sbVertical);
  LayoutScrollBars();
}

void TTeControl::ScrollBarScrolled(TTeScrollBar* bar, int code, int& position) {
  // The control decides: its scroll handler may move the bar; the bar keeps what it has then.
  Perform(bar == horzScrollBar_ ? WM_HSCROLL : WM_VSCROLL, WPARAM(code >= 0 && code <= 8 ? code : 0), position);
  position = bar->Position();
}

void TTeControl::LayoutScrollBars() {
  if (paintWidth_ < 0 || paintHeight_ < 0) return;
  if (!horzScrollBar_ && !vertScrollBar_) return;
  TRect area = Rect(0, 0, paintWidth_, paintHeight_);
  if (Parent()) {
    TRect inner;
    GetInnerRect(inner);
    const TRect window = TWinControl::ClientRect();
    area = Rect(window.Left + inner.Left, window.Top + inner.Top, window.Right - (paintWidth_ - inner.Right),
                window.Bottom - (paintHeight_ - inner.Bottom));
  }
  const int h = horzScrollBar_ ? horzScrollBar_->Height() : 0;
  const int v = vertScrollBar_ ? vertScrollBar_->Width() : 0;
  if (horzScrollBar_) horzScrollBar_->SetBounds(area.Left, area.Bottom - h, area.Right - v - area.Left, h);
  if (vertScrollBar_) vertScrollBar_->SetBounds(area.Right - v, area.Top, v, area.Bottom - h - area.Top);
}

// ---- TTeGraphicControl -----------------------------------------------------------

TTeGraphicControl::TTeGraphicControl(TComponent* owner)
    : TGraphicControl(owner), paintFont_(std::make_unique<TFont>()) {
  controlStyle_ |= csOpaque;
  SetColor(clBtnFace);
  performance_ = kspNoBuffer;
  SetBounds(0, 0, 100, 30);
}

TTeGraphicControl::~TTeGraphicControl() { paintFont_.reset(); }

const TClassInfo& TTeGraphicControl::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TTeGraphicControl", &TGraphicControl::StaticClassInfo());
    AddCommonPublished(i, false);
    i.Add(EnumProp<TTeGraphicControl, TTePerformance>("Performance", &TTeGraphicControl::Performance,
                                                      &TTeGraphicControl::SetPerformance, PerformanceNames(),
                                                      kspNoBuffer));
    i.Add(EventProp<TTeGraphicControl>("OnMouseEnter", &TTeGraphicControl::OnMouseEnter));
    i.Add(EventProp<TTeGraphicControl>("OnMouseLeave", &TTeGraphicControl::OnMouseLeave));
    return i;
  }();
  return info;
}

void TTeGraphicControl::SetPerformance(TTePerformance v) {
  if (v == performance_) return;
  performance_ = v;
  Invalidate();
}

void TTeGraphicControl::Loaded() {
  TGraphicControl::Loaded();
  Invalidate();
}

void TTeGraphicControl::PaintClient() { FillRectColor(Canvas(), ClientRect(), Color()); }

void TTeGraphicControl::Paint() {
  if (Width() <= 0 || Height() <= 0) return;
  TCanvas& canvas = Canvas();
  const HDC target = canvas.Handle();
  TPaintBuffer buffer(performance_, Width(), Height());
  {
    // Locked for the whole paint, on the buffer or on the target itself.
    const HDC dc = buffer.DC();
    TCanvasBinding bind(canvas, dc ? dc : target);
    paintFont_->Assign(*Font());
    PaintClient();
  }
  buffer.Present(target);
}

void TTeGraphicControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_MOUSEENTER:
      TGraphicControl::WndProc(m);
      MouseEnter();
      return;
    case CM_MOUSELEAVE:
      TGraphicControl::WndProc(m);
      MouseLeave();
      return;
    default: TGraphicControl::WndProc(m);
  }
}

void TTeGraphicControl::MouseEnter() {
  hot_ = true;
  if (OnMouseEnter) OnMouseEnter(this);
}

void TTeGraphicControl::MouseLeave() {
  hot_ = false;
  if (OnMouseLeave) OnMouseLeave(this);
}

}  // namespace te
