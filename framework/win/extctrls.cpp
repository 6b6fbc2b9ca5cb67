#include "framework/win/extctrls.h"

namespace fw {

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(std::make_unique<TPicture>()) {
  controlStyle_ |= csReplicatable;
  width_ = 105;
  height_ = 105;
  picture_->OnChange = [this](TObject*) { Invalidate(); };
}

const TClassInfo& TImage::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TImage", &TGraphicControl::StaticClassInfo(),
                 [](TComponent* o) -> TComponent* { return new TImage(o); });
    i.Add(BoolProp<TImage>("Center", &TImage::Center, &TImage::SetCenter, false));
    i.Add(ObjectProp<TImage, TPicture>("Picture", &TImage::Picture));
    i.Add(BoolProp<TImage>("Stretch", &TImage::Stretch, &TImage::SetStretch, false));
    return i;
  }();
  return info;
}

TRect TImage::DestRect() const {
  if (stretch_) return Rect(0, 0, width_, height_);
  const int w = picture_->Width(), h = picture_->Height();
  if (center_) return Bounds((width_ - w) / 2, (height_ - h) / 2, w, h);
  return Rect(0, 0, w, h);
}

void TImage::Paint() {
  if (TGraphic* g = picture_->Graphic()) Canvas().StretchDraw(DestRect(), g);
}

}  // namespace fw
