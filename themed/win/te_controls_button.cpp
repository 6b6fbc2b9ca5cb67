// The themed push button: construction, streaming, setters, clicks, the
// keyboard, mouse and hover handling, its messages, the layout of its caption
// and glyph, and painting its face and caption.
#include <optional>
#include <utility>

#include "framework/core/exception.h"
#include "framework/core/idents.h"

#include "framework/win/actnlist.h"
#include "framework/win/forms.h"
#include "framework/win/imglist.h"
#include "framework/win/menus.h"
#include "framework/win/stdctrls.h"
#include "framework/win/sysutils.h"
#include "themed/win/te_controls.h"
#include "themed/win/te_utils.h"
#include "themed/win/te_winapi.h"

namespace te {

using namespace fw;

// ---- TTeFontOptions ------------------------------------------------------------------------

const TClassInfo& TTeFontOptions::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TTeFontOptions", &TPersistent::StaticClassInfo());
    i.Add(BoolProp<TTeFontOptions>("Bold", &TTeFontOptions::Bold, &TTeFontOptions::SetBold, false));
    i.Add(BoolProp<TTeFontOptions>("Italic", &TTeFontOptions::Italic, &TTeFontOptions::SetItalic, false));
    i.Add(IntProp<TTeFontOptions, int>("SizeDelta", &TTeFontOptions::SizeDelta, &TTeFontOptions::SetSizeDelta, 0));
    i.Add(StringProp<TTeFontOptions, std::wstring>("FontName", &TTeFontOptions::FontName, &TTeFontOptions::SetFontName,
                                                   L""));
    auto color = IntProp<TTeFontOptions, TColor>("FontColor", &TTeFontOptions::FontColor, &TTeFontOptions::SetFontColor,
                                                 kNotSet);
    color.IntToIdent = ColorToIdent;
    color.IdentToInt = IdentToColor;
    i.Add(std::move(color));
    i.Add(BoolProp<TTeFontOptions>("StrikeOut", &TTeFontOptions::StrikeOut, &TTeFontOptions::SetStrikeOut, false));
    i.Add(BoolProp<TTeFontOptions>("Underline", &TTeFontOptions::Underline, &TTeFontOptions::SetUnderline, false));
    return i;
  }();
  return info;
}

void TTeFontOptions::Assign(const TPersistent& source) {
  if (auto* o = dynamic_cast<const TTeFontOptions*>(&source)) {
    bold_ = o->bold_;
    italic_ = o->italic_;
    sizeDelta_ = o->sizeDelta_;
    underline_ = o->underline_;
    strikeOut_ = o->strikeOut_;
    fontName_ = o->fontName_;
    fontColor_ = o->fontColor_;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

void TTeFontOptions::SetBold(bool v) {
  if (v != bold_) {
    bold_ = v;
    Changed();
  }
}
void TTeFontOptions::SetItalic(bool v) {
  if (v != italic_) {
    italic_ = v;
    Changed();
  }
}
void TTeFontOptions::SetSizeDelta(int v) {
  if (v != sizeDelta_) {
    sizeDelta_ = v;
    Changed();
  }
}
void TTeFontOptions::SetUnderline(bool v) {
  if (v != underline_) {
    underline_ = v;
    Changed();
  }
}
void TTeFontOptions::SetStrikeOut(bool v) {
  if (v != strikeOut_) {
    strikeOut_ = v;
    Changed();
  }
}
void TTeFontOptions::SetFontName(const std::wstring& v) {
  if (v != fontName_) {
    fontName_ = v;
    Changed();
  }
}
void TTeFontOptions::SetFontColor(TColor v) {
  if (v != fontColor_) {
    fontColor_ = v;
    Changed();
  }
}

void TTeFontOptions::Apply(TFont* font) const {
  if (!font) return;
  std::uint32_t style = font->Style();
  if (bold_) style |= fsBold;
  if (italic_) style |= fsItalic;
  if (underline_) style |= fsUnderline;
  if (strikeOut_) style |= fsStrikeOut;
  font->SetStyle(style);
  // Size in points +0 is the font as it is: its pixel height does not go through a rounding.
  if (sizeDelta_ != 0) font->SetSize(font->Size() + sizeDelta_);
  if (!fontName_.empty()) font->SetName(fontName_);
  if (fontColor_ != kNotSet) font->SetColor(fontColor_);
}

// ---- Construction and streaming ------------------------------------------------------------------

TTeButton::TTeButton(TComponent* owner) : TTeControl(owner) {
  // The platform never clicks the button itself (no csClickEvents): it clicks
  // from its own mouse-up and key-up handling.
  controlStyle_ = csCaptureMouse | csSetCaption | csDoubleClicks | csActionClient;
  SetColor(clBtnFace);
  SetPerformance(kspDoubleBuffer);
  SetTabStop(true);
  SetParentFont(true);
  SetBounds(0, 0, 75, 25);
  alignment_ = taCenter;
  glyph_ = std::make_unique<TBitmap>();
  glyph_->OnChange = [this](TObject*) { GlyphChanged(); };
  workGlyph_ = std::make_unique<TBitmap>();
  fontOptions_ = std::make_unique<TTeFontOptions>();
  fontOptions_->OnChange = [this](TObject*) { FontOptionsChanged(); };
  numGlyphs_ = 1;
  kind_ = bkCustom;
  layout_ = blGlyphLeft;
  spacing_ = 4;
  transparent_ = false;
  imageIndex_ = -1;
  themeObject_ = "default";
  RegisterThemeClient(this);  // the last step: the notice may reach a whole button only
}

// The theme manager must stop notifying the button before any of it goes.
TTeButton::~TTeButton() { UnregisterThemeClient(this); }

namespace {
const TClassInfo& Ancestor() { return TWinControl::StaticClassInfo(); }
TPropInfo Inherited(const char* name) { return *Ancestor().FindProperty(name); }
}  // namespace

const TClassInfo& TTeButton::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TTeButton", &TTeControl::StaticClassInfo(),
                 [](TComponent* o) -> TComponent* { return new TTeButton(o); });
    i.Add(ComponentProp<TControl, TBasicAction>("Action", &TControl::Action, &TControl::SetAction));
    // Read-only and never written.
    auto activeDefault = BoolProp<TTeButton>("ActiveDefault", &TTeButton::ActiveDefault, nullptr);
    activeDefault.Set = [](TPersistent&, const TPropValue&) { throw EReadError("ActiveDefault is read-only"); };
    activeDefault.Stored = [](const TPersistent&) { return false; };
    i.Add(std::move(activeDefault));
    i.Add(Inherited("Align"));
    i.Add(EnumProp<TTeButton, TAlignment>("Alignment", &TTeButton::Alignment, &TTeButton::SetAlignment,
                                          {"taLeftJustify", "taRightJustify", "taCenter"}, taCenter));
    i.Add(Inherited("Anchors"));
    i.Add(BoolProp<TTeButton>("BlackAndWhiteGlyph", &TTeButton::BlackAndWhiteGlyph, &TTeButton::SetBlackAndWhiteGlyph,
                              false));
    i.Add(BoolProp<TTeButton>("Cancel", &TTeButton::Cancel, &TTeButton::SetCancel, false));
    i.Add(StringProp<TTeButton, std::wstring>("Caption", &TTeButton::CaptionW, &TTeButton::SetCaption, L""));
    i.Add(BoolProp<TTeButton>("Default", &TTeButton::Default, &TTeButton::SetDefault, false));
    i.Add(Inherited("Enabled"));
    i.Add(Inherited("Font"));
    i.Add(ObjectProp<TTeButton, TTeFontOptions>("FontOptions", &TTeButton::FontOptions));
    auto glyph = ObjectProp<TTeButton, TBitmap>("Glyph", &TTeButton::Glyph);
    glyph.Stored = [](const TPersistent& o) { return static_cast<const TTeButton&>(o).GlyphStored(); };
    i.Add(std::move(glyph));
    auto imageIndex = IntProp<TTeButton, int>("ImageIndex", &TTeButton::ImageIndex, &TTeButton::SetImageIndex, -1);
    imageIndex.Stored = [](const TPersistent& o) { return static_cast<const TTeButton&>(o).ImageIndexStored(); };
    i.Add(std::move(imageIndex));
    i.Add(ComponentProp<TTeButton, TCustomImageList>("Images", &TTeButton::Images, &TTeButton::SetImages));
    i.Add(EnumProp<TTeButton, TBitBtnKind>("Kind", &TTeButton::Kind, &TTeButton::SetKind,
                                           {"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose",
                                            "bkAbort", "bkRetry", "bkIgnore", "bkAll"},
                                           bkCustom));
    i.Add(EnumProp<TTeButton, TButtonLayout>("Layout", &TTeButton::Layout, &TTeButton::SetLayout,
                                             {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"},
                                             blGlyphLeft));
    i.Add(IntProp<TTeButton, TModalResult>("ModalResult", &TTeButton::ModalResult, &TTeButton::SetModalResult, 0));
    i.Add(IntProp<TTeButton, int>("NumGlyphs", &TTeButton::NumGlyphs, &TTeButton::SetNumGlyphs, 1));
    i.Add(Inherited("ParentFont"));
    i.Add(ParentShowHintProp());
    i.Add(EnumProp<TTeControl, TTePerformance>("Performance", &TTeControl::Performance, &TTeControl::SetPerformance,
                                               PerformanceNames(), kspDoubleBuffer));
    i.Add(ComponentProp<TControl, TPopupMenu>("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu));
    i.Add(IntProp<TTeButton, int>("Spacing", &TTeButton::Spacing, &TTeButton::SetSpacing, 4));
    i.Add(Inherited("TabOrder"));
    i.Add(BoolProp<TWinControl>("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, true));
    i.Add(ComponentProp<TTeButton, TteCustomThemeLink>("ThemeLink", &TTeButton::ThemeLink, &TTeButton::SetThemeLink));
    i.Add(StringProp<TTeButton, std::wstring>("ThemeObject", &TTeButton::ThemeObjectW, &TTeButton::SetThemeObjectW,
                                              L"default"));
    i.Add(BoolProp<TTeButton>("Transparent", &TTeButton::Transparent, &TTeButton::SetTransparent, false));
    i.Add(BoolProp<TTeButton>("WordWrap", &TTeButton::WordWrap, &TTeButton::SetWordWrap, false));
    i.Add(EventProp<TControl>("OnClick", &TControl::OnClick));
    return i;
  }();
  return info;
}

std::wstring TTeButton::ThemeObjectW() const { return AnsiToWide(themeObject_); }
void TTeButton::SetThemeObjectW(const std::wstring& v) { SetThemeObject(WideToAnsi(v)); }

bool TTeButton::ActionImage(TCustomImageList*& images, int& index) const {
  auto* a = dynamic_cast<TCustomAction*>(Action());
  if (!a || !a->ActionList() || !a->ActionList()->Images()) return false;
  images = a->ActionList()->Images();
  index = a->ImageIndex();
  return true;
}

bool TTeButton::GlyphStored() const {
  // Not when an action supplies a valid image and the button's own list and index name none.
  TCustomImageList* list;
  int index;
  const bool actionSupplies = ActionImage(list, index) && index >= 0 && index < list->Count();
  const bool ownImage = images_ && imageIndex_ >= 0 && imageIndex_ < images_->Count();
  if (actionSupplies && !ownImage) return false;
  return !glyph_->Empty();
}

bool TTeButton::ImageIndexStored() const {
  TCustomImageList* list;
  int index;
  if (ActionImage(list, index) && list == images_ && index == imageIndex_) return false;
  return imageIndex_ != -1;
}

void TTeButton::Loaded() {
  TTeControl::Loaded();
  if (!InState(csDesigning) && Action()) ActionChange(Action(), true);
}

void TTeButton::Notification(TComponent* c, TOperation op) {
  TTeControl::Notification(c, op);
  if (op != TOperation::opRemove) return;
  if (c == images_) {
    images_ = nullptr;
    Invalidate();
  }
  if (c == themeLink_) {
    themeLink_ = nullptr;
    Invalidate();
  }
  // The action is dropped by the platform's own handling.
}

// ---- Setters -------------------------------------------------------------------------------------

void TTeButton::SetAlignment(TAlignment v) {
  if (v != alignment_) {
    alignment_ = v;
    Invalidate();
  }
}
void TTeButton::SetLayout(TButtonLayout v) {
  if (v != layout_) {
    layout_ = v;
    Invalidate();
  }
}
void TTeButton::SetSpacing(int v) {
  if (v != spacing_) {
    spacing_ = v;
    Invalidate();
  }
}
void TTeButton::SetBlackAndWhiteGlyph(bool v) {
  if (v != blackAndWhiteGlyph_) {
    blackAndWhiteGlyph_ = v;
    Invalidate();
  }
}
void TTeButton::SetWordWrap(bool v) {
  if (v != wordWrap_) {
    wordWrap_ = v;
    Invalidate();
  }
}
void TTeButton::SetThemeObject(const std::string& v) {
  if (v != themeObject_) {
    themeObject_ = v;
    Invalidate();
  }
}
void TTeButton::SetTransparent(bool v) {
  if (v != transparent_) {
    transparent_ = v;
    Invalidate();
  }
}
void TTeButton::SetImageIndex(int v) {
  if (v != imageIndex_) {
    imageIndex_ = v;
    Invalidate();
  }
}

void TTeButton::SetNumGlyphs(int v) {
  // The glyph's cell width is a division by it: it stays within 1 to 4.
  v = v < 1 ? 1 : v > 4 ? 4 : v;
  if (v != numGlyphs_) {
    numGlyphs_ = v;
    Invalidate();
  }
}

void TTeButton::SetImages(TCustomImageList* v) {
  if (v == images_) return;
  images_ = v;
  Invalidate();
}

void TTeButton::SetThemeLink(TteCustomThemeLink* v) {
  if (v == themeLink_) return;
  themeLink_ = v;
  Invalidate();
}

void TTeButton::SetCaption(const std::wstring& v) {
  if (v == caption_) return;
  caption_ = v;
  // The platform's 8-bit text (in the controls' code page); its change notice brings the caption back from it.
  SetText(WideToText(v));
  Invalidate();
}

void TTeButton::SetDefault(bool v) {
  default_ = v;
  if (HandleAllocated())
    if (TCustomForm* form = ParentForm()) form->Perform(CM_FOCUSCHANGED, 0, FocusedControlParam(form->ActiveControl()));
  Invalidate();
}

void TTeButton::FontOptionsChanged() {
  if (InState(csDesigning)) Invalidate();  // at run time the next repaint shows it
}

// ---- Clicks, keys, mouse ----------------------------------------------------------------------------

void TTeButton::Click() {
  TCustomForm* form = ParentForm();
  if (kind_ == bkClose) {
    if (form) form->Close();
  } else if (form) {
    form->SetModalResult(modalResult_);
  }
  TTeControl::Click();
}

void TTeButton::ActionChange(TObject* sender, bool checkDefaults) {
  TTeControl::ActionChange(sender, checkDefaults);
  if (auto* a = dynamic_cast<TCustomAction*>(sender)) {
    SetCaption(TextToWide(a->Caption()));
    OnClick = a->OnExecute.Fn;
  }
}

void TTeButton::KeyDown(WORD& key, TShiftState s) {
  if (key == VK_SPACE && !(s & ssAlt)) {
    pressed_ = true;
    Invalidate();
  }
  TTeControl::KeyDown(key, s);
}

void TTeButton::KeyUp(WORD& key, TShiftState s) {
  if (key == VK_SPACE) {
    pressed_ = false;
    Invalidate();
    Click();
    key = 0;
  }
  TTeControl::KeyUp(key, s);
}

void TTeButton::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
  TTeControl::MouseDown(b, s, x, y);
  if (b != TMouseButton::mbLeft || !Enabled()) return;
  if (!InState(csDesigning) && CanFocus()) SetFocus();
  pressed_ = true;
  Invalidate();
  tracking_ = true;
}

void TTeButton::MouseMove(TShiftState s, int x, int y) {
  TTeControl::MouseMove(s, x, y);
  if (!tracking_) return;
  // Held while over the client area; the click below asks the painted size instead.
  const bool inside = x >= 0 && x < ClientWidth() && y >= 0 && y < ClientHeight();
  if (inside != pressed_) {
    pressed_ = inside;
    Invalidate();
  }
}

void TTeButton::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
  TTeControl::MouseUp(b, s, x, y);
  if (!tracking_) return;  // the release of any button ends the tracking
  tracking_ = false;
  pressed_ = false;
  // The painted size, known before Windows resizes the window, decides the click.
  if (x >= 0 && x < PaintWidth() && y >= 0 && y < PaintHeight()) Click();
  Invalidate();
}

void TTeButton::MouseEnter() {
  TTeControl::MouseEnter();
  Invalidate();
}

void TTeButton::MouseLeave() {
  TTeControl::MouseLeave();
  Invalidate();
}

void TTeButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_FOCUSCHANGED: {
      TControl* focused = FocusedControlOf(m);
      const bool wasActive = activeDefault_;
      const bool onAButton = dynamic_cast<TTeButton*>(focused) || dynamic_cast<TButton*>(focused);
      activeDefault_ = onAButton ? false : default_;
      if (activeDefault_ != wasActive) Invalidate();
      break;  // then the platform's handling
    }
    case CM_ENABLEDCHANGED:
      if (HandleAllocated() && !InState(csDesigning)) ::EnableWindow(HandleNoCreate(), Enabled());
      Invalidate();
      return;  // the platform's own handling is not called
    case CM_DIALOGKEY: {
      const bool modifiers = KeyDataToShiftState(KeyDataOf(m)) & (ssShift | ssCtrl | ssAlt);
      const bool enter = CharCodeOf(m) == VK_RETURN && (activeDefault_ || Focused());
      const bool escape = CharCodeOf(m) == VK_ESCAPE && cancel_;
      if ((enter || escape) && !modifiers && CanFocus()) {
        Click();
        m.Result = 1;
        return;
      }
      break;
    }
    case CM_DIALOGCHAR:
      if (IsAccel(CharCodeOf(m), WideToAnsi(caption_)) && CanFocus()) {
        SetFocus();
        Click();
        m.Result = 1;
        return;
      }
      break;
    case CM_TEXTCHANGED:
      // The window shows the platform's text; the caption is what it keeps of ours.
      if (HandleAllocated()) ::SetWindowTextW(HandleNoCreate(), TextToWide(Text()).c_str());
      caption_ = TextToWide(Text());
      return;
    case TM_THEMENOTIFY:
      switch (ThemeNotifyOf(m)) {
        case tnThemeChanged:
        case tnThemeAttached:
        case tnThemeDetached:
        case tnSystemChanged: Invalidate(); break;
        default: break;  // other codes are not the button's
      }
      return;
    case TM_LINKNOTIFY:
      if (themeLink_ && ChangedLinkOf(m) == themeLink_) Invalidate();
      return;
    default: break;
  }
  TTeControl::WndProc(m);
}

// ---- Layout -----------------------------------------------------------------------------------------

bool TTeButton::ThemeDefinesButton() const { return IsButtonObjectDefined(0, themeObject_, themeLink_); }

TButtonLook TTeButton::Look() const { return ButtonLook({Enabled(), pressed_, Hot(), Focused(), activeDefault_}); }

namespace {
// Points the button at its paint record until the paint returns or throws.
template <class TRecord>
class TPaintInProgress {
 public:
  TPaintInProgress(const TRecord*& slot, const TRecord* paint) : slot_(slot), saved_(std::exchange(slot, paint)) {}
  ~TPaintInProgress() { slot_ = saved_; }
  TPaintInProgress(const TPaintInProgress&) = delete;
  TPaintInProgress& operator=(const TPaintInProgress&) = delete;

 private:
  const TRecord*& slot_;
  const TRecord* saved_;
};
}  // namespace

TTeButton::TPaint TTeButton::MeasurePaint(TCanvas& measure) {
  TPaint p;
  p.Look = Look();
  p.Theme = ThemeDefinesButton() ? Theme() : nullptr;
  p.Painter = p.Theme ? TPainter::Theme : ThemesActive() ? TPainter::VisualStyle : TPainter::Classic;
  p.Font->Assign(p.Theme ? p.Theme->Fonts().GetObjectFont(p.Look.FontIndex, themeObject_) : *PaintFont());
  p.GlyphSize = GetGlyphSize();  // rebuilds WorkGlyph
  p.HasGlyph = !workGlyph_->Empty();
  measure.Font().Assign(*p.Font);
  fontOptions_->Apply(&measure.Font());
  int textWidth = 0, textHeight = 0;
  if (!wordWrap_) {
    const std::string ansi = WideToAnsi(caption_);
    textWidth = measure.TextWidth(ansi);
    textHeight = measure.TextHeight(ansi);
  }
  const TPoint g = p.GlyphSize;
  p.Content = ButtonBlock(wordWrap_, Width(), Height(), spacing_, textWidth, textHeight, p.HasGlyph, g.X, g.Y, layout_);
  p.Content = PlaceButtonBlock(p.Content, alignment_, PaintWidth(), PaintHeight(), Width(), Height(), pressed_);
  p.Text = ButtonTextRect(p.Content, p.HasGlyph, g.X, g.Y, spacing_, layout_);
  p.Glyph = ButtonGlyphRect(p.Content, p.HasGlyph, g.X, g.Y, spacing_, layout_);
  return p;
}

const TTeButton::TPaint& TTeButton::CurrentPaint(std::optional<TPaint>& aside) {
  if (paint_) return *paint_;
  // Called outside a paint: measured on a canvas of its own, freed on every path.
  TBitmap scratch;
  return aside.emplace(MeasurePaint(scratch.Canvas()));
}

void TTeButton::GetContentRect(TRect& r) {
  std::optional<TPaint> aside;
  r = CurrentPaint(aside).Content;
}

void TTeButton::GetTextRect(TRect& r) {
  std::optional<TPaint> aside;
  r = CurrentPaint(aside).Text;
}

void TTeButton::GetGlyphRect(TRect& r) {
  std::optional<TPaint> aside;
  r = CurrentPaint(aside).Glyph;
}

// ---- Painting ----------------------------------------------------------------------------------------

void TTeButton::PaintClient() {
  const TPaint paint = MeasurePaint(Canvas());
  const TPaintInProgress<TPaint> during(paint_, &paint);
  if (paint.Painter == TPainter::Theme) {
    // Otherwise the theme's face covers the button.
    if (paint.Theme->IsButtonTransparent(0, themeObject_)) PaintParentBackground(this, Canvas().Handle());
  } else if (transparent_) {
    PaintParentBackground(this, Canvas().Handle());
  } else {
    TTeControl::PaintClient();
  }
  PaintFace();
  PaintCaption();
  PaintGlyph();  // over the caption
}

void TTeButton::PaintFace() {
  std::optional<TPaint> aside;
  const TPaint& p = CurrentPaint(aside);
  switch (p.Painter) {
    case TPainter::Theme: return PaintThemedFace(p);
    case TPainter::VisualStyle: return PaintVisualStyleFace(p);
    case TPainter::Classic: return PaintClassicFace();
  }
}

void TTeButton::PaintThemedFace(const TPaint& p) {
  p.Theme->DrawButton(0, Canvas(), MakeObjectInfo(Rect(0, 0, PaintWidth(), PaintHeight()), p.Look.FaceState),
                      themeObject_);
}

void TTeButton::PaintVisualStyleFace(const TPaint& p) {
  TRect r;
  GetInnerRect(r);
  // No handle, no face: the fill of PaintClient shows. Closed on every path.
  TThemeData theme(nullptr, L"Button");
  theme.DrawBackground(Canvas().Handle(), kBpPushButton, p.Look.VisualStyleState, r);
}

void TTeButton::PaintClassicFace() {
  TCanvas& canvas = Canvas();
  TRect r;
  GetInnerRect(r);
  if (Focused() || activeDefault_) {
    DrawFrame3D(canvas, r, clBlack, clBlack);
    r = Inset(r, 1, 1);
  }
  FillRectColor(canvas, r, Color());
  if (!pressed_) {
    DrawFrame3D(canvas, r, clBtnHighlight, clBlack);
    r = Inset(r, 1, 1);
    DrawFrame3D(canvas, r, Color(), clBtnShadow);
  } else {
    DrawFrame3D(canvas, r, clBtnShadow, clBtnShadow);
  }
  if (Focused()) {
    GetInnerRect(r);
    DrawFocusRectColor(canvas, Inset(r, 4, 4), clBtnShadow);
  }
}

void TTeButton::PaintCaption() {
  std::optional<TPaint> aside;
  const TPaint& p = CurrentPaint(aside);
  const bool themed = p.Painter == TPainter::Theme;  // the visual style has no caption of its own
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(*p.Font);
  fontOptions_->Apply(&canvas.Font());

  const UINT wrap = wordWrap_ ? DT_WORDBREAK : 0;
  TRect textRect;
  GetTextRect(textRect);
  const std::string ansi = WideToAnsi(caption_);
  TRect t = wordWrap_ ? Rect(0, 0, textRect.Width(), canvas.TextHeight(ansi))
                      : Rect(0, 0, canvas.TextWidth(ansi), canvas.TextHeight(ansi));
  DrawTextWide(canvas, caption_, t, DrawTextBiDiModeFlags(wrap | DT_CALCRECT));
  auto offset = [&t](int dx, int dy) { t = Moved(t, dx, dy); };
  if (!themed || alignment_ == taCenter) {
    offset((textRect.Width() - t.Right) / 2, (textRect.Height() - t.Bottom) / 2);
    offset(textRect.Left, textRect.Top);
  } else if (alignment_ == taRightJustify) {
    offset(textRect.Width() - t.Right, (textRect.Height() - t.Bottom) / 2);
    offset(textRect.Left, textRect.Top);
  } else {
    TRect block;
    GetContentRect(block);
    offset(block.Left, block.Top);  // the block's top-left, not centred vertically
  }
  const UINT format = DrawTextBiDiModeFlags(wrap) | DT_CENTER;
  if (themed) {
    p.Theme->DrawButtonText(0, canvas, MakeObjectInfo(t, p.Look.CaptionState), MakeTextInfo(t, caption_, format),
                            themeObject_);
    return;
  }
  if (!Enabled()) {
    // Embossed: the highlight one pixel right and down, the shadow over it.
    canvas.Font().SetColor(clBtnHighlight);
    offset(1, 1);
    DrawTextWide(canvas, caption_, t, format);
    offset(-1, -1);
    canvas.Font().SetColor(clBtnShadow);
  }
  DrawTextWide(canvas, caption_, t, format);
}

}  // namespace te
