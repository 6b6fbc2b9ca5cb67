// The two bases that paint themselves: TCustomControl (windowed, on its
// canvas) and TGraphicControl (windowless, painted by its parent).
#include "framework/win/controls.h"

#include "framework/win/graphics.h"

namespace fw {

// ---- TCustomControl, TGraphicControl ------------------------------------------------

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), canvas_(std::make_unique<TCanvas>()) {}
TCustomControl::~TCustomControl() = default;

const TClassInfo& TCustomControl::StaticClassInfo() {
  static const TClassInfo info("TCustomControl", &TWinControl::StaticClassInfo());
  return info;
}

void TCustomControl::PaintWindow(HDC dc) {
  TCanvasBinding bind(*canvas_, dc);
  Paint();
}

void TCustomControl::FillWithColor() {
  canvas_->Brush().SetStyle(TBrushStyle::bsSolid);
  canvas_->Brush().SetColor(color_);
  canvas_->FillRect(Rect(0, 0, width_, height_));
}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), canvas_(std::make_unique<TCanvas>()) {}
TGraphicControl::~TGraphicControl() = default;

const TClassInfo& TGraphicControl::StaticClassInfo() {
  static const TClassInfo info("TGraphicControl", &TControl::StaticClassInfo());
  return info;
}

void TGraphicControl::WndProc(TMessage& m) { TControl::WndProc(m); }

}  // namespace fw
