// Image lists: equal-sized images kept in one system image list, drawn by
// index, enabled or in the disabled look (the image's shape embossed in the
// highlight and shadow colours).
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "framework/core/component.h"
#include "framework/win/graphics.h"

namespace fw {

enum TDrawingStyle : std::uint8_t { dsFocus, dsSelected, dsNormal, dsTransparent };

struct ImageListDeleter {
  void operator()(HIMAGELIST h) const { ::ImageList_Destroy(h); }
};
using UniqueImageList = UniqueHandle<HIMAGELIST, ImageListDeleter>;

class TCustomImageList : public TComponent {
 public:
  explicit TCustomImageList(TComponent* owner);
  ~TCustomImageList() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  int Width() const { return width_; }
  int Height() const { return height_; }
  // A new size empties the list.
  void SetSize(int width, int height);
  void SetWidth(int v) { SetSize(v, height_); }
  void SetHeight(int v) { SetSize(width_, v); }
  bool Masked() const { return masked_; }
  void SetMasked(bool v);
  TDrawingStyle DrawingStyle() const { return drawingStyle_; }
  void SetDrawingStyle(TDrawingStyle v) { drawingStyle_ = v; }
  int Count() const;
  HIMAGELIST Handle() const { return list_.get(); }

  // Adds an image (a strip of several when wider than Width): with `mask`,
  // whose white pixels are transparent, or without one. The index of the first added.
  int Add(TBitmap& image, TBitmap* mask);
  // Adds an image whose pixels of colour `maskColor` are transparent.
  int AddMasked(TBitmap& image, TColor maskColor);
  void Clear();
  // Draws image `index` at (x, y); nothing for an index outside the list.
  void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true);
  TNotifyEvent OnChange;

 private:
  void Recreate();
  void Changed() { if (OnChange) OnChange(this); }
  int width_ = 16, height_ = 16;
  bool masked_ = true;
  TDrawingStyle drawingStyle_ = dsNormal;
  UniqueImageList list_;
};

class TImageList : public TCustomImageList {
 public:
  using TCustomImageList::TCustomImageList;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

}  // namespace fw
