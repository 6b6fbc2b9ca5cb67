// The push button's glyph and its dialog-button kinds: where the glyph comes
// from, which cell shows, greys and the key colour, and what a kind gives.
#include <optional>

#include "themed/win/te_controls.h"

namespace te {

using namespace fw;

void TTeButton::BuildWorkGlyph() {
  workGlyph_->SetSize(0, 0);
  if (!glyph_->Empty()) {
    workGlyph_->Assign(*glyph_);
    return;
  }
  // An image of a list, drawn over clFuchsia: 32 bits, so that the key colour stays exact.
  auto fromList = [this](TCustomImageList& list, int index) {
    workGlyph_->SetPixelFormat(TPixelFormat::pf32bit);
    workGlyph_->SetSize(list.Width(), list.Height());
    TCanvas& c = workGlyph_->Canvas();
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(clFuchsia);
    c.FillRect(Rect(0, 0, list.Width(), list.Height()));
    list.Draw(c, 0, 0, index, true);
  };
  TCustomImageList* list;
  int index;
  if (images_ && imageIndex_ >= 0 && imageIndex_ < images_->Count())
    fromList(*images_, imageIndex_);
  else if (ActionImage(list, index) && index >= 0)
    fromList(*list, index);
}

TPoint TTeButton::GetGlyphSize() {
  BuildWorkGlyph();
  if (workGlyph_->Empty()) return {0, 0};
  return {workGlyph_->Width() / numGlyphs_, workGlyph_->Height()};
}

void TTeButton::PaintGlyph() {
  std::optional<TPaint> aside;
  const TPaint& p = CurrentPaint(aside);  // WorkGlyph is built
  if (!p.HasGlyph) return;
  const int cw = p.GlyphSize.X, ch = workGlyph_->Height();
  TRect g;
  GetGlyphRect(g);
  const TRect d = Bounds(g.Left + (g.Width() - cw) / 2, g.Top + (g.Height() - ch) / 2, cw, ch);
  const int cellLeft = GlyphCellLeft(numGlyphs_, Enabled(), pressed_, cw);
  TCanvas& source = workGlyph_->Canvas();
  const TColor key = !glyph_->Empty() ? source.Pixel(0, ch - 1) : clFuchsia;  // the bottom-left corner

  TteBitmap b;  // freed on every path
  b.SetSize(cw, ch);
  b.Fill(TransparentKey);
  b.Transparent = true;
  for (int x = 0; x < cw; ++x)
    for (int y = 0; y < ch; ++y) {
      TColor px = source.Pixel(cellLeft + x, y);
      if (blackAndWhiteGlyph_ && !Hot() && px != key) {
        const std::uint8_t v = GlyphGrey(px);
        px = TColor(RGB(v, v, v));
      }
      if (numGlyphs_ == 1 && !Enabled() && px != key) {
        const std::uint8_t v = DisabledGlyphGrey(px);
        px = TColor(RGB(v, v, v));
      }
      if (px != key) b.SetPixel(x, y, ColorToTeColor(px, 255));
    }
  if (p.Painter == TPainter::Theme) {
    p.Theme->DrawButtonGlyph(0, Canvas(), MakeObjectInfo(d, p.Look.FaceState), MakeGlyphInfo(d, &b, 4), themeObject_);
  } else {
    b.Draw(Canvas(), d.Left, d.Top);  // keyed: key pixels leave what lies beneath
  }
}

void TTeButton::GlyphChanged() {
  // A glyph of whole squares sets the number of cells; anything else keeps it.
  if (const int n = CellsOfGlyph(glyph_->Width(), glyph_->Height()); n > 0) SetNumGlyphs(n);
  Invalidate();
}

void TTeButton::SetKind(TBitBtnKind v) {
  if (v == kind_) return;
  if (v == bkCustom) {
    kind_ = bkCustom;
    Invalidate();
    return;
  }
  SetDefault(v == bkOK || v == bkYes);
  // While loading, a caption already read stays.
  if (!InState(csLoading) || caption_.empty()) SetCaption(ButtonKindCaption(v));
  modalResult_ = ButtonKindModalResult(v);
  SetGlyph(*GetButtonKindGlyph(v));
  SetNumGlyphs(2);
  kind_ = v;
  Invalidate();
}

TModalResult ButtonKindModalResult(TBitBtnKind kind) {
  // mrNone 0, mrOk 1, mrCancel 2, mrAbort 3, mrRetry 4, mrIgnore 5, mrYes 6, mrNo 7, mrAll 8.
  static constexpr TModalResult kResults[] = {0, 1, 2, 0, 6, 7, 0, 3, 4, 5, 8};
  return kResults[kind];
}

}  // namespace te
