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

// ---- TPage, TNotebook -------------------------------------------------------------

TPage::TPage(TComponent* owner) : TCustomControl(owner) {
  controlStyle_ |= csAcceptsControls;
  align_ = TAlign::alClient;
  visible_ = false;
  parentColor_ = true;
}

const TClassInfo& TPage::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TPage", &TCustomControl::StaticClassInfo(), [](TComponent* o) -> TComponent* { return new TPage(o); });
    i.Add(StringProp<TPage, std::wstring>("Caption", &TPage::Caption, &TPage::SetCaption, L""));
    return i;
  }();
  return info;
}

void TPage::Paint() { FillWithColor(); }

TNotebook::TNotebook(TComponent* owner) : TCustomControl(owner) {
  controlStyle_ |= csAcceptsControls;
  width_ = 150;
  height_ = 150;
}

const TClassInfo& TNotebook::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TNotebook", &TCustomControl::StaticClassInfo(),
                 [](TComponent* o) -> TComponent* { return new TNotebook(o); });
    i.Add(IntProp<TNotebook, int>("PageIndex", &TNotebook::PageIndex, &TNotebook::SetPageIndex, -1));
    return i;
  }();
  return info;
}

TPage* TNotebook::AddPage(const std::wstring& caption) {
  auto* page = new TPage(this);
  page->SetCaption(caption);
  page->SetParent(this);
  pages_.push_back(page);
  if (pageIndex_ < 0) SetPageIndex(0);
  return page;
}

void TNotebook::SetPageIndex(int v) {
  if (v < 0 || v >= PageCount() || v == pageIndex_) return;
  pageIndex_ = v;
  for (int i = 0; i < PageCount(); ++i) pages_[size_t(i)]->SetVisible(i == v);
}

void TNotebook::Paint() { FillWithColor(); }

void TNotebook::Notification(TComponent* c, TOperation op) {
  TCustomControl::Notification(c, op);
  if (op != TOperation::opRemove) return;
  for (size_t i = 0; i < pages_.size(); ++i)
    if (pages_[i] == c) {
      pages_.erase(pages_.begin() + std::ptrdiff_t(i));
      if (pageIndex_ >= PageCount()) pageIndex_ = PageCount() - 1;
      break;
    }
}

}  // namespace fw
