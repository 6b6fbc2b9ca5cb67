// The picture control.
#pragma once
#include "framework/win/controls.h"

namespace fw {

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* owner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  TPicture* Picture() const { return picture_.get(); }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool v) { if (v != stretch_) { stretch_ = v; Invalidate(); } }
  bool Center() const { return center_; }
  void SetCenter(bool v) { if (v != center_) { center_ = v; Invalidate(); } }
  // The rectangle the picture is drawn into.
  TRect DestRect() const;

 protected:
  void Paint() override;

 private:
  std::unique_ptr<TPicture> picture_;
  bool stretch_ = false, center_ = false;
};

}  // namespace fw
