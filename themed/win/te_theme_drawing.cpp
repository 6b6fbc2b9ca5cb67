// The theme's drawing operations 15-152, in their declaration order: window
// frames, then each object kind. The base class defines no object ("has
// object" is false everywhere) but every operation still draws a plain look.
#include "themed/core/te_theme_streams.h"
#include "themed/win/te_theme.h"
#include "themed/win/te_utils.h"

namespace te {

using namespace fw;

namespace {

constexpr TColor kBlack = 0x000000, kWhite = 0xFFFFFF, kRed = 0x0000FF, kGreen = 0x008000, kBlue = 0xFF0000,
                 kNavy = 0x800000, kYellow = 0x00FFFF, kSilver = 0xC0C0C0, kGrey = 0x808080;

void FillFramed(TCanvas& c, const TRect& r, TColor fill, TColor frame) {
  FillRectColor(c, r, fill);
  DrawRectOutline(c, r, frame);
}

bool Contains(const TRect& r, int x, int y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }

// A w x h rectangle centred in r.
TRect Centred(const TRect& r, int w, int h) {
  TRect box = Rect(0, 0, w, h), placed;
  CenterRect(box, r, placed);
  return placed;
}

// The fill of a scroll-bar part by its state: 3 silver, 1 blue, 2 red, any other grey.
TColor ScrollStateColor(std::uint8_t state) {
  switch (state) {
    case 3: return kSilver;
    case 1: return kBlue;
    case 2: return kRed;
    default: return kGrey;
  }
}

// List and tree items: 0 white, 1 yellow, 2 navy, 3 blue, 4 silver; false for other states.
bool ItemStateColor(std::uint8_t state, TColor& color) {
  static constexpr TColor kColors[] = {kWhite, kYellow, kNavy, kBlue, kSilver};
  if (state > 4) return false;
  color = kColors[state];
  return true;
}

void DrawGlyphKeyed(TCanvas& c, const TteGlyphInfo& g) {
  if (g.Bitmap) g.Bitmap->Draw(c, g.Rect.Left, g.Rect.Top);
}

void DrawGlyphStretched(TCanvas& c, const TteGlyphInfo& g) {
  if (g.Bitmap) g.Bitmap->StretchDraw(c, g.Rect);
}

void DrawPolyline(TCanvas& c, TPoint origin, std::initializer_list<TPoint> offsets) {
  bool first = true;
  for (const TPoint& o : offsets) {
    if (first)
      c.MoveTo(origin.X + o.X, origin.Y + o.Y);
    else
      c.LineTo(origin.X + o.X, origin.Y + o.Y);
    first = false;
  }
}

// The glyphs of menu and tool items: check mark, radio mark, submenu arrow, bitmap.
void DrawItemGlyph(TCanvas& c, const TteGlyphInfo& g) {
  switch (g.Kind) {
    case kgkCheck: {
      const TRect box = Centred(g.Rect, 16, 16);
      const TPoint o{(box.Left + box.Right) / 2 - 2, (box.Top + box.Bottom) / 2 + 1};
      c.Pen().SetStyle(TPenStyle::psSolid);
      c.Pen().SetColor(c.Font().Color());
      DrawPolyline(c, o, {{-2, -2}, {0, 0}, {4, -4}, {4, -3}, {0, 1}, {-2, -1}, {-2, -2}});
      DrawPolyline(c, o, {{-3, -2}, {-3, -1}, {0, 2}, {5, -3}, {5, -5}});
      break;
    }
    case kgkRadio: FillRoundRect(c, Centred(g.Rect, 6, 6), 3, kBlack); break;
    case kgkSubmenu: DrawFrameGlyph(c, Centred(g.Rect, 16, 16), DFC_MENU, DFCS_MENUARROW, c.Font().Color()); break;
    case kgkBitmap:
      if (g.Bitmap) g.Bitmap->StretchDraw(c, Centred(g.Rect, g.Bitmap->Width(), g.Bitmap->Height()));
      break;
    default: break;
  }
}

const TObjectName kDefault = "default";

}  // namespace

// ---- Window frames, 15-25 --------------------------------------------------------------------

bool TteTheme::HasWindowObject(std::uint8_t, const TObjectName&) { return false; }

HRGN TteTheme::GetWindowRegion(std::uint8_t, const TRect&, const TObjectName&) { return nullptr; }

std::uint8_t TteTheme::WindowHitTest(std::uint8_t subKind, const TteWindowInfo& info, int x, int y,
                                     const TObjectName&) {
  if (subKind != 0 && subKind != 1 && subKind != 2 && subKind != 6) return 0;
  TRect cr;
  GetWindowClientRect(subKind, info, kDefault, cr);
  const TRect& r = info.Rect;
  const bool left = Contains(Rect(r.Left, r.Top, cr.Left, r.Bottom), x, y);
  const bool top = Contains(Rect(r.Left, r.Top, r.Right, cr.Top), x, y);
  const bool right = Contains(Rect(cr.Right, r.Top, r.Right, r.Bottom), x, y);
  const bool bottom = Contains(Rect(r.Left, cr.Bottom, r.Right, r.Bottom), x, y);
  std::uint8_t hit = 0;
  if (left) hit = 2;
  if (top) hit = 3;
  if (right) hit = 4;
  if (bottom) hit = 5;
  if (left && top) hit = 7;
  if (right && top) hit = 8;
  if (left && bottom) hit = 9;
  if (right && bottom) hit = 10;
  TRect caption;
  GetWindowCaptionRect(subKind, info, kDefault, caption);
  if (Contains(caption, x, y)) hit = 1;
  for (int index = 0; index <= 12; ++index) {
    TRect button;
    GetWindowButtonRect(subKind, info, kDefault, button, index);
    if (Contains(button, x, y)) return WindowButtonHitCode(index);
  }
  return hit;
}

void TteTheme::GetWindowClientRect(std::uint8_t, const TteWindowInfo& info, const TObjectName&, TRect& result) {
  result = Rect(info.Rect.Left + 4, info.Rect.Top + 22, info.Rect.Right - 4, info.Rect.Bottom - 4);
}

void TteTheme::GetWindowCaptionRect(std::uint8_t subKind, const TteWindowInfo& info, const TObjectName&,
                                    TRect& result) {
  TRect cr;
  GetWindowClientRect(subKind, info, kDefault, cr);
  result = Rect(cr.Left, 3, cr.Right, cr.Top);
}

void TteTheme::GetWindowButtonRect(std::uint8_t subKind, const TteWindowInfo& info, const TObjectName&, TRect& result,
                                   int index) {
  TRect cr;
  GetWindowClientRect(subKind, info, kDefault, cr);
  result = BaseWindowButtonRect(cr, info.BorderIcons, index);
}

void TteTheme::DrawWindowFrame(std::uint8_t subKind, TCanvas& canvas, const TteWindowInfo& info, const TObjectName&) {
  TRect cr;
  GetWindowClientRect(subKind, info, kDefault, cr);
  TRect r = info.Rect;
  DrawRectOutline(canvas, r, kBlack);
  r = Inset(r, 1, 1);
  const TColor face = colors_->GetColor(tcButtonNormal);
  DrawFrame3D(canvas, r, ShiftColor(face, 100), ShiftColor(face, -100));
  r = Inset(r, 1, 1);
  const TColor border = colors_->GetColor(tcWindowBorder);
  FillRectColor(canvas, Rect(r.Left, r.Top, r.Right, cr.Top), border);
  FillRectColor(canvas, Rect(r.Left, r.Top, cr.Left, r.Bottom), border);
  FillRectColor(canvas, Rect(r.Left, cr.Bottom, r.Right, r.Bottom), border);
  FillRectColor(canvas, Rect(cr.Right, r.Top, r.Right, r.Bottom), border);
  FillRectColor(canvas, Rect(cr.Left, 3, cr.Right, cr.Top),
                colors_->GetColor((info.Flags & 1) ? tcCaptionNormal : tcCaptionInactive));
}

void TteTheme::DrawWindowClient(std::uint8_t, TCanvas& canvas, const TRect& rect, const TObjectName&) {
  FillRectColor(canvas, rect, colors_->GetColor(tcWindow));
}

void TteTheme::DrawWindowCaption(std::uint8_t, TCanvas& canvas, const TRect& rect, const TteWindowInfo& info,
                                 const TObjectName&) {
  canvas.Font().Assign(fonts_->GetFont((info.Flags & 1) ? 0 : 1));
  DrawTextInfo(canvas, MakeTextInfo(rect, info.Caption, dt::Center | dt::VCenter | dt::SingleLine));
}

void TteTheme::DrawWindowButton(std::uint8_t, TCanvas& canvas, const TteWindowButtonInfo& button, const TObjectName&) {
  const TRect& r = button.Rect;
  if (RectIsEmpty(r)) return;
  const bool pressed = button.State == 2;
  const TColor face = colors_->GetColor(button.State == 1 ? tcButtonHot : tcButtonNormal);
  if (button.Index != 0) {
    FillRectColor(canvas, r, face);
    if (pressed)
      DrawFrame3D(canvas, r, ShiftColor(face, -100), ShiftColor(face, 100));
    else
      DrawFrame3D(canvas, r, ShiftColor(face, 100), ShiftColor(face, -100));
  }
  static constexpr UINT kCaptionGlyphs[] = {0,
                                            DFCS_CAPTIONCLOSE,
                                            DFCS_CAPTIONHELP,
                                            DFCS_CAPTIONMIN,
                                            DFCS_CAPTIONRESTORE,
                                            DFCS_CAPTIONMAX,
                                            DFCS_CAPTIONRESTORE};
  switch (button.Index) {
    case 0:
      if (button.Bitmap)
        button.Bitmap->Draw(canvas, Centred(r, button.Bitmap->Width(), button.Bitmap->Height()).Left,
                            Centred(r, button.Bitmap->Width(), button.Bitmap->Height()).Top);
      break;
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
      DrawFrameGlyph(canvas, r, DFC_CAPTION, kCaptionGlyphs[button.Index] | (pressed ? DFCS_PUSHED : 0), kBlack);
      break;
    case 7:
    case 8: {
      TRect t = Inset(r, 4, 5);
      if (pressed) t = Moved(t, -1, -1);
      const int middle = (t.Left + t.Right) / 2;
      if (button.Index == 7)
        FillPolygon(canvas, {{t.Left, t.Bottom}, {t.Right, t.Bottom}, {middle, t.Top}}, kBlack);
      else
        FillPolygon(canvas, {{t.Left, t.Top}, {t.Right, t.Top}, {middle, t.Bottom}}, kBlack);
      break;
    }
    case 9: {
      const TRect inner = Inset(r, 3, 3);
      TRect square = Rect(inner.Right - 3, inner.Bottom - 3, inner.Right, inner.Bottom);
      if (!pressed) square = Moved(square, 1, 1);
      FillRectColor(canvas, square, kBlack);
      break;
    }
    default: break;
  }
}

void TteTheme::DrawWindowSizeGrip(std::uint8_t, TCanvas& canvas, const TteObjectInfo& info, const TObjectName&) {
  FillRectColor(canvas, info.Rect, colors_->GetColor(tcWindowBorder));
  if (info.State == 0) return;
  const TRect r = Moved(Inset(info.Rect, 4, 4), 3, 3);
  const std::vector<TPoint> band = {{r.Right, r.Top - 4}, {r.Right, r.Top}, {r.Left, r.Bottom}, {r.Left - 4, r.Bottom}};
  const std::vector<TPoint> corner = {{r.Right, r.Top + 3}, {r.Right, r.Bottom}, {r.Left + 3, r.Bottom}};
  for (const auto* shape : {&band, &corner}) {
    FillPolygon(canvas, *shape, kGrey);
    DrawPolygonOutline(canvas, *shape, kBlack);
  }
}

// ---- Kind A, 26-28 ---------------------------------------------------------------------------

bool TteTheme::HasKindAObject(std::uint8_t, const TObjectName&) { return false; }
void TteTheme::GetKindAContentRect(std::uint8_t, TCanvas&, const TRect& rect, const TObjectName&, TRect& result) {
  result = Inset(rect, 10, 13);
}
void TteTheme::DrawKindA(std::uint8_t, TCanvas& canvas, const TRect& rect, const TObjectName&) {
  FillFramed(canvas, rect, kYellow, kRed);
}

// ---- Kind B, 29-31 -----------------------------------------------------------------------------

bool TteTheme::HasKindBObject(std::uint8_t, const TObjectName&) { return false; }
bool TteTheme::IsKindBTransparent(std::uint8_t, const TObjectName&) { return true; }
void TteTheme::DrawKindBText(std::uint8_t, TCanvas& canvas, const TteTextInfo& text, const TObjectName&) {
  DrawTextInfo(canvas, text);
}

// ---- Kind C, 32-37 -----------------------------------------------------------------------------

bool TteTheme::HasKindCObject(std::uint8_t, const TObjectName&) { return false; }
bool TteTheme::IsKindCTransparent(std::uint8_t, const TObjectName&) { return false; }
void TteTheme::GetKindCContentRect(std::uint8_t, const TRect& rect, const TObjectName&, TRect& result) {
  result = rect;
}
void TteTheme::DrawKindC(std::uint8_t subKind, TCanvas& canvas, const TRect& rect, const TObjectName&) {
  if (subKind == 0) {
    FillRectColor(canvas, rect, kSilver);
    DrawFrame3D(canvas, rect, clBtnHighlight, clBtnShadow);
  } else if (subKind == 1) {
    FillFramed(canvas, rect, kSilver, kBlack);
    DrawFrame3D(canvas, Inset(rect, 1, 1), clBtnShadow, clBtnHighlight);
  }
}
void TteTheme::DrawKindCPart(std::uint8_t, TCanvas&, const TteObjectInfo2&, const TObjectName&) {}
void TteTheme::DrawKindCText(std::uint8_t, TCanvas& canvas, const TRect&, const TteTextInfo& text, const TObjectName&) {
  DrawTextInfo(canvas, text);
}

// ---- Buttons, 38-42 ------------------------------------------------------------------------------

bool TteTheme::HasButtonObject(std::uint8_t, const TObjectName&) { return false; }
bool TteTheme::IsButtonTransparent(std::uint8_t, const TObjectName&) { return false; }

void TteTheme::DrawButton(std::uint8_t, TCanvas& canvas, const TteObjectInfo& info, const TObjectName&) {
  // The hot face takes the table's normal colour and every other state its focused one.
  const TThemeColorIndex faceIndex = info.State == StateDisabled  ? tcButtonDisabled
                                     : info.State == StatePressed ? tcButtonPressed
                                     : info.State == StateHot     ? tcButtonNormal
                                                                  : tcButtonFocused;
  const TColor face = colors_->GetColor(faceIndex);
  const TColor light = ShiftColor(face, 30), dark = ShiftColor(face, -30);
  if (info.State == StateDisabled) return;
  DrawRectOutline(canvas, info.Rect, kBlack);
  TRect r = Inset(info.Rect, 1, 1);
  if (info.State == StatePressed) {
    DrawFrame3D(canvas, r, dark, light);
    r = Inset(r, 1, 1);
  }
  if (info.State == StateHot) {
    canvas.MoveTo(r.Left, r.Top);
    LineToColor(canvas, r.Right - 1, r.Top, light);
    canvas.MoveTo(r.Left, r.Top);
    LineToColor(canvas, r.Left, r.Bottom - 1, light);
    r = Inset(r, 1, 1);
  }
  if (info.State == StateFocused) {
    canvas.MoveTo(r.Left, r.Bottom - 1);
    LineToColor(canvas, r.Right - 1, r.Bottom - 1, dark);
    canvas.MoveTo(r.Right - 1, r.Top);
    LineToColor(canvas, r.Right - 1, r.Bottom - 1, dark);
  }
  FillRectColor(canvas, r, face);
}

void TteTheme::DrawButtonText(std::uint8_t, TCanvas& canvas, const TteObjectInfo&, const TteTextInfo& text,
                              const TObjectName&) {
  DrawTextInfo(canvas, text);
}

void TteTheme::DrawButtonGlyph(std::uint8_t, TCanvas& canvas, const TteObjectInfo&, const TteGlyphInfo& glyph,
                               const TObjectName&) {
  DrawGlyphKeyed(canvas, glyph);
}

// ---- Check boxes, 43-47 ----------------------------------------------------------------------------

bool TteTheme::HasCheckBoxObject(std::uint8_t, const TObjectName&) { return false; }
bool TteTheme::IsCheckBoxTransparent(std::uint8_t, const TObjectName&) { return true; }
void TteTheme::DrawCheckBox(std::uint8_t, TCanvas&, const TteObjectInfo&, const TObjectName&) {}
void TteTheme::DrawCheckBoxText(std::uint8_t, TCanvas& canvas, const TteObjectInfo&, const TteTextInfo& text,
                                const TObjectName&) {
  DrawTextInfo(canvas, text);
}
void TteTheme::GetCheckBoxSize(std::uint8_t, const TObjectName&, TPoint& size) { size = {13, 13}; }

// ---- Kind D, 48-50 -------------------------------------------------------------------------------

bool TteTheme::HasKindDObject(std::uint8_t, const TObjectName&) { return false; }
bool TteTheme::IsKindDTransparent(std::uint8_t, const TObjectName&) { return false; }
void TteTheme::DrawKindD(std::uint8_t, TCanvas& canvas, const TRect& rect, const TObjectName&) {
  FillFramed(canvas, rect, kYellow, kRed);
}

// ---- Scroll bars, 51-55 -------------------------------------------------------------------------------

bool TteTheme::HasScrollBarObject(std::uint8_t, const TObjectName&) { return false; }
bool TteTheme::IsScrollBarTransparent(std::uint8_t, const TObjectName&) { return false; }
void TteTheme::DrawScrollBar(std::uint8_t, TCanvas&, const TRect&, const TObjectName&) {}

void TteTheme::DrawScrollBarButton(std::uint8_t, TCanvas& canvas, const TteObjectInfo2& info, const TObjectName&) {
  FillFramed(canvas, info.Rect, ScrollStateColor(info.State), kBlack);
  const TRect r = Inset(info.Rect, 5, 4);
  if (info.Part <= 3)
    DrawRoundRectOutline(canvas, r, 5, kNavy);
  else if (info.Part == 8 || info.Part == 9)
    DrawRectOutline(canvas, r, kNavy);
}

void TteTheme::DrawScrollBarThumb(std::uint8_t, TCanvas& canvas, const TteObjectInfo2& info, const TObjectName&) {
  FillFramed(canvas, info.Rect, ScrollStateColor(info.State), kBlack);
}

// ---- Kind E, 56-59 -------------------------------------------------------------------------------

bool TteTheme::HasKindEObject(std::uint8_t, const TObjectName&) { return false; }
bool TteTheme::IsKindETransparent(std::uint8_t, const TObjectName&) { return false; }
void TteTheme::GetKindEContentRect(std::uint8_t, const TteObjectInfo2& info, const TObjectName&, TRect& result) {
  result = info.Rect;
}
void TteTheme::DrawKindE(std::uint8_t, TCanvas&, const TteObjectInfo2&, const TObjectName&) {}

// ---- Kind F, 60-64 --------------------------------------------------------------------------------

bool TteTheme::HasKindFObject(std::uint8_t, const TObjectName&) { return false; }
bool TteTheme::IsKindFTransparent(std::uint8_t, const TObjectName&) { return true; }
void TteTheme::DrawKindF(std::uint8_t, TCanvas& canvas, const TRect& rect, const TObjectName&) {
  FillFramed(canvas, rect, kBlue, kRed);
}
void TteTheme::DrawKindFPart(std::uint8_t, TCanvas&, const TteObjectInfo2&, const TObjectName&) {}
void TteTheme::DrawKindFItem(std::uint8_t, TCanvas& canvas, const TteObjectInfo2& info, const TObjectName&) {
  FillFramed(canvas, info.Rect, kYellow, kBlue);
}

// ---- Kind G, 65-70 ---------------------------------------------------------------------------------

bool TteTheme::HasKindGObject(std::uint8_t, const TObjectName&) { return false; }
bool TteTheme::IsKindGTransparent(std::uint8_t, const TObjectName&) { return false; }
void TteTheme::DrawKindG(std::uint8_t, TCanvas& canvas, const TRect& rect, const TObjectName&) {
  FillFramed(canvas, rect, kWhite, kBlack);
}
void TteTheme::DrawKindGItem(std::uint8_t, TCanvas& canvas, const TteObjectInfo2& info, const TObjectName&) {
  // The two codes as one 16-bit number, the second high: below 0x700 the second picks the fill.
  static constexpr TColor kFills[] = {kSilver, kGrey, kGreen, kBlue, kYellow, kRed, kGrey};
  if ((unsigned(info.State) << 8 | info.Part) < 0x700) FillRectColor(canvas, info.Rect, kFills[info.State]);
  DrawRectOutline(canvas, info.Rect, kBlack);
}
void TteTheme::DrawKindGText(std::uint8_t, TCanvas& canvas, const TteObjectInfo2&, const TteTextInfo& text,
                             const TObjectName&) {
  DrawTextInfo(canvas, text);
}
void TteTheme::DrawKindGGlyph(std::uint8_t, TCanvas& canvas, const TteObjectInfo2&, const TteGlyphInfo& glyph,
                              const TObjectName&) {
  DrawGlyphStretched(canvas, glyph);
}

// ---- Status bars, 71-77 ---------------------------------------------------------------------------

bool TteTheme::HasStatusBarObject(std::uint8_t, const TObjectName&) { return false; }
bool TteTheme::IsStatusBarTransparent(std::uint8_t, const TObjectName&) { return false; }
void TteTheme::GetStatusBarContentRect(std::uint8_t, const TRect& rect, const TObjectName&, TRect& result) {
  result = Inset(rect, 5, 2);
}
void TteTheme::DrawStatusBar(std::uint8_t, TCanvas& canvas, const TRect& rect, const TObjectName&) {
  FillFramed(canvas, rect, kSilver, kBlack);
}
void TteTheme::DrawStatusPanel(std::uint8_t, TCanvas& canvas, const TteObjectInfo& info, const TObjectName&) {
  FillFramed(canvas, info.Rect, kGrey, kBlack);
}
void TteTheme::DrawStatusPanelText(std::uint8_t, TCanvas& canvas, const TteObjectInfo&, const TteTextInfo& text,
                                   const TObjectName&) {
  DrawTextInfo(canvas, text);
}
void TteTheme::DrawStatusPanelGlyph(std::uint8_t, TCanvas& canvas, const TteObjectInfo&, const TteGlyphInfo& glyph,
                                    const TObjectName&) {
  DrawGlyphStretched(canvas, glyph);
}

// ---- Edit boxes, 78-82 -----------------------------------------------------------------------------

bool TteTheme::HasEditObject(std::uint8_t, const TObjectName&) { return false; }
bool TteTheme::IsEditTransparent(std::uint8_t, const TObjectName&) { return false; }
void TteTheme::GetEditContentRect(std::uint8_t, TCanvas&, const TteObjectInfo& info, const TObjectName&,
                                  TRect& result) {
  result = Inset(info.Rect, 3, 3);
}
void TteTheme::DrawEdit(std::uint8_t, TCanvas& canvas, const TteObjectInfo& info, const TObjectName&) {
  FillFramed(canvas, info.Rect, kBlue, kRed);
}
void TteTheme::DrawEditButton(std::uint8_t, TCanvas& canvas, const TteObjectInfo2& info, const TObjectName&) {
  FillFramed(canvas, info.Rect, kGreen, kYellow);
}

// ---- Kind H, 83-87 ---------------------------------------------------------------------------------

bool TteTheme::HasKindHObject(std::uint8_t, const TObjectName&) { return false; }
bool TteTheme::IsKindHTransparent(std::uint8_t, const TObjectName&) { return true; }
void TteTheme::GetKindHContentRect(std::uint8_t, const TteObjectInfo& info, const TObjectName&, TRect& result) {
  result = info.Rect;
}
void TteTheme::DrawKindH(std::uint8_t, TCanvas& canvas, const TteObjectInfo& info, const TObjectName&) {
  TScopedCanvasState state(canvas);
  TRect r = Inset(info.Rect, 5, 5);
  r.Top += 4;
  DrawRectOutline(canvas, r, kBlack);
}
void TteTheme::DrawKindHText(std::uint8_t, TCanvas& canvas, const TteObjectInfo&, const TteTextInfo& text,
                             const TObjectName&) {
  DrawTextInfo(canvas, text);
}

// ---- Kind I, 88-91 ----------------------------------------------------------------------------------

bool TteTheme::HasKindIObject(std::uint8_t, const TObjectName&) { return false; }
bool TteTheme::IsKindITransparent(std::uint8_t, const TObjectName&) { return false; }
void TteTheme::GetKindIContentRect(std::uint8_t, TCanvas&, const TteObjectInfo& info, const TObjectName&,
                                   TRect& result) {
  result = info.Rect;
}
void TteTheme::DrawKindI(std::uint8_t, TCanvas& canvas, const TteObjectInfo& info, const TObjectName&) {
  FillFramed(canvas, info.Rect, kBlue, kRed);
}

// ---- Kind J, 92-95 -----------------------------------------------------------------------------------

bool TteTheme::HasKindJObject(std::uint8_t, const TObjectName&) { return false; }
bool TteTheme::IsKindJTransparent(std::uint8_t, const TObjectName&) { return false; }
void TteTheme::GetKindJContentRect(std::uint8_t, TCanvas&, const TteObjectInfo& info, const TObjectName&,
                                   TRect& result) {
  result = info.Rect;
}
void TteTheme::DrawKindJ(std::uint8_t, TCanvas&, const TteObjectInfo&, const TObjectName&) {}

// ---- Menus, 96-102 ------------------------------------------------------------------------------------

bool TteTheme::HasMenuObject(std::uint8_t, const TObjectName&) { return false; }
bool TteTheme::IsMenuTransparent(std::uint8_t, const TObjectName&) { return false; }
void TteTheme::GetMenuContentRect(std::uint8_t, const TRect& rect, const TObjectName&, TRect& result) {
  result = Inset(rect, 3, 5);
}
void TteTheme::DrawMenu(std::uint8_t, TCanvas& canvas, const TRect& rect, const TObjectName&) {
  FillFramed(canvas, rect, kWhite, kRed);
}
void TteTheme::DrawMenuItem(std::uint8_t, TCanvas& canvas, const TteObjectInfo2& info, const TObjectName&) {
  if (info.Part == 0) {
    const TColor fill = info.State == 3 ? kWhite : info.State == 2 ? kGrey : info.State == 1 ? kYellow : kSilver;
    FillFramed(canvas, info.Rect, fill, kRed);
  } else if (info.Part == 1) {  // a separator
    FillRectColor(canvas, Inset(info.Rect, 3, info.Rect.Height() / 2), kRed);
  }
}
void TteTheme::DrawMenuItemText(std::uint8_t, TCanvas& canvas, const TteObjectInfo2&, const TteTextInfo& text,
                                const TObjectName&) {
  DrawTextInfo(canvas, text);
}
void TteTheme::DrawMenuItemGlyph(std::uint8_t, TCanvas& canvas, const TteObjectInfo2&, const TteGlyphInfo& glyph,
                                 const TObjectName&) {
  DrawItemGlyph(canvas, glyph);
}

// ---- Tool dock and tool bars, 103-111 -----------------------------------------------------------------

bool TteTheme::IsToolDockTransparent(std::uint8_t, const TObjectName&) { return false; }
void TteTheme::GetToolDockContentRect(std::uint8_t, const TRect& rect, const TObjectName&, TRect& result) {
  result = rect;
}
void TteTheme::DrawToolDock(std::uint8_t, TCanvas&, const TRect&, const TObjectName&) {}
bool TteTheme::HasToolBarObject(std::uint8_t, const TObjectName&) { return false; }
void TteTheme::GetToolBarContentRect(std::uint8_t, const TRect& rect, const TObjectName&, TRect& result) {
  result = Inset(rect, 2, 2);
  result.Left += 9;
}
void TteTheme::DrawToolBar(std::uint8_t, TCanvas& canvas, const TRect& rect, const TObjectName&) {
  FillFramed(canvas, rect, kGreen, kBlue);
}
void TteTheme::DrawToolBarPart(std::uint8_t, TCanvas&, const TteObjectInfo2&, const TObjectName&) {}
void TteTheme::DrawToolItemText(std::uint8_t, TCanvas& canvas, const TteObjectInfo2&, const TteTextInfo& text,
                                const TObjectName&) {
  DrawTextInfo(canvas, text);
}
void TteTheme::DrawToolItemGlyph(std::uint8_t, TCanvas& canvas, const TteObjectInfo2&, const TteGlyphInfo& glyph,
                                 const TObjectName&) {
  DrawItemGlyph(canvas, glyph);
}

// ---- Kind K, 112-114 ---------------------------------------------------------------------------------

bool TteTheme::HasKindKObject(std::uint8_t, const TObjectName&) { return false; }
void TteTheme::GetKindKContentRect(std::uint8_t, TCanvas&, const TRect& rect, const TObjectName&, TRect& result) {
  result = Inset(rect, 3, 3);
}
void TteTheme::DrawKindK(std::uint8_t, TCanvas& canvas, const TRect& rect, const TObjectName&) {
  FillFramed(canvas, rect, kYellow, kRed);
}

// ---- Kind L, 115-122 ------------------------------------------------------------------------------

bool TteTheme::HasKindLObject(std::uint8_t, const TObjectName&) { return false; }
bool TteTheme::IsKindLTransparent(std::uint8_t, const TObjectName&) { return false; }
void TteTheme::GetKindLContentRect(std::uint8_t, TCanvas&, const TRect& rect, const TObjectName&, TRect& result) {
  result = rect;
}
void TteTheme::DrawKindL(std::uint8_t, TCanvas&, const TRect&, const TObjectName&) {}
void TteTheme::DrawKindLPart1(std::uint8_t, TCanvas& canvas, const TteObjectInfo& info, const TObjectName&) {
  FillFramed(canvas, info.Rect, kGreen, kBlack);
}
void TteTheme::DrawKindLPart2(std::uint8_t, TCanvas& canvas, const TteObjectInfo2& info, const TObjectName&) {
  FillFramed(canvas, info.Rect, kRed, kBlue);
}
void TteTheme::DrawKindLPart3(std::uint8_t, TCanvas& canvas, const TteObjectInfo2& info, const TObjectName&) {
  FillFramed(canvas, info.Rect, kGreen, kYellow);
}
void TteTheme::DrawKindLText(std::uint8_t, TCanvas& canvas, const TteTextInfo& text, const TObjectName&) {
  DrawTextInfo(canvas, text);
}

// ---- Tab controls and tab sheets, 123-130 -------------------------------------------------------------

bool TteTheme::HasTabObject(std::uint8_t, const TObjectName&) { return false; }
bool TteTheme::IsTabTransparent(std::uint8_t, const TObjectName&) { return true; }
void TteTheme::GetTabContentRect(std::uint8_t, const TRect& rect, const TObjectName&, TRect& result) { result = rect; }
void TteTheme::DrawTabPage(std::uint8_t, TCanvas& canvas, const TRect& rect, const TObjectName&) {
  FillFramed(canvas, rect, kSilver, kYellow);
}
void TteTheme::DrawTabPart(std::uint8_t, TCanvas& canvas, const TteObjectInfo2& info, const TObjectName&) {
  DrawRectOutline(canvas, info.Rect, kBlue);
}
void TteTheme::DrawTab(std::uint8_t, TCanvas& canvas, const TteObjectInfo2& info, const TObjectName&) {
  FillFramed(canvas, info.Rect, kYellow, kRed);
}
void TteTheme::DrawTabText(std::uint8_t, TCanvas& canvas, const TteObjectInfo2&, const TteTextInfo& text,
                           const TObjectName&) {
  DrawTextInfo(canvas, text);
}
void TteTheme::DrawTabGlyph(std::uint8_t, TCanvas& canvas, const TteObjectInfo2&, const TteGlyphInfo& glyph,
                            const TObjectName&) {
  DrawGlyphKeyed(canvas, glyph);
}

// ---- Lists, 131-138 ---------------------------------------------------------------------------------

bool TteTheme::HasListObject(std::uint8_t, const TObjectName&) { return false; }
bool TteTheme::IsListTransparent(std::uint8_t, const TObjectName&) { return false; }
void TteTheme::GetListContentRect(std::uint8_t, const TRect& rect, const TObjectName&, TRect& result) {
  result = Inset(rect, 4, 5);
}
void TteTheme::DrawList(std::uint8_t, TCanvas& canvas, const TRect& rect, const TObjectName&) {
  FillFramed(canvas, rect, colors_->GetColor(tcList), kRed);
}
void TteTheme::DrawListPart(std::uint8_t, TCanvas&, const TRect&, const TObjectName&) {}
void TteTheme::DrawListItem(std::uint8_t, TCanvas& canvas, const TteObjectInfo& info, const TObjectName&) {
  TColor fill;
  if (ItemStateColor(info.State, fill)) FillRectColor(canvas, info.Rect, fill);
  DrawRectOutline(canvas, info.Rect, kBlue);
}
void TteTheme::DrawListItemText(std::uint8_t, TCanvas& canvas, const TteObjectInfo&, const TteTextInfo& text,
                                const TObjectName&) {
  DrawTextInfo(canvas, text);
}
void TteTheme::DrawListItemGlyph(std::uint8_t, TCanvas& canvas, const TteObjectInfo&, const TteGlyphInfo& glyph,
                                 const TObjectName&) {
  const TRect square = Centred(glyph.Rect, 16, 16);
  switch (glyph.Kind) {
    case 0:
    case 2:
      FillFramed(canvas, square, kRed, kBlack);
      FillRectColor(canvas, Inset(square, 3, 3), glyph.Kind == 0 ? kBlack : kGrey);
      break;
    case 1: FillFramed(canvas, square, kRed, kBlack); break;
    case 3:
      if (glyph.Bitmap)
        glyph.Bitmap->StretchDraw(canvas, Centred(glyph.Rect, glyph.Bitmap->Width(), glyph.Bitmap->Height()));
      break;
    default: break;
  }
}

// ---- Trees, 139-145 -------------------------------------------------------------------------------

bool TteTheme::HasTreeObject(std::uint8_t, const TObjectName&) { return false; }
bool TteTheme::IsTreeTransparent(std::uint8_t, const TObjectName&) { return false; }
void TteTheme::GetTreeContentRect(std::uint8_t, const TRect& rect, const TObjectName&, TRect& result) {
  result = Inset(rect, 2, 2);
}
void TteTheme::DrawTree(std::uint8_t, TCanvas& canvas, const TRect& rect, const TObjectName&) {
  FillFramed(canvas, rect, colors_->GetColor(tcTree), kRed);
}
void TteTheme::DrawTreeItem(std::uint8_t subKind, TCanvas& canvas, const TteObjectInfo& info,
                            const TObjectName& objectName) {
  TteTheme::DrawListItem(subKind, canvas, info, objectName);
}
void TteTheme::DrawTreeItemText(std::uint8_t, TCanvas& canvas, const TteObjectInfo&, const TteTextInfo& text,
                                const TObjectName&) {
  DrawTextInfo(canvas, text);
}
void TteTheme::DrawTreeItemGlyph(std::uint8_t, TCanvas&, const TteObjectInfo&, const TteGlyphInfo&,
                                 const TObjectName&) {}

// ---- Kind M, 146-152 -------------------------------------------------------------------------------

bool TteTheme::HasKindMObject(std::uint8_t, const TObjectName&) { return false; }
bool TteTheme::IsKindMTransparent(std::uint8_t, const TObjectName&) { return false; }
void TteTheme::GetKindMContentRect(std::uint8_t, const TRect& rect, const TObjectName&, TRect& result) {
  result = Inset(rect, 2, 2);
}
void TteTheme::DrawKindM(std::uint8_t, TCanvas& canvas, const TRect& rect, const TObjectName&) {
  FillFramed(canvas, rect, kWhite, kRed);
}
void TteTheme::DrawKindMCell(std::uint8_t, TCanvas& canvas, const TteObjectInfo2& info, const TObjectName&) {
  if (info.State == 1) {
    DrawRectOutline(canvas, info.Rect, kGrey);
    return;
  }
  TColor fill;
  if (ItemStateColor(info.Part, fill)) FillRectColor(canvas, info.Rect, fill);
  DrawRectOutline(canvas, info.Rect, kBlue);
}
void TteTheme::DrawKindMCellText(std::uint8_t, TCanvas& canvas, const TteObjectInfo2&, const TteTextInfo& text,
                                 const TObjectName&) {
  DrawTextInfo(canvas, text);
}
void TteTheme::DrawKindMCellGlyph(std::uint8_t, TCanvas&, const TteObjectInfo2&, const TteGlyphInfo&,
                                  const TObjectName&) {}

}  // namespace te
