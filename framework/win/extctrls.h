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

class TNotebook;

// One page of a notebook: it fills the notebook and shows only while it is the
// notebook's active page.
class TPage : public TCustomControl {
 public:
  explicit TPage(TComponent* owner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  std::wstring Caption() const { return TextW(); }
  void SetCaption(const std::wstring& v) { SetTextW(v); }

 protected:
  void Paint() override;
};

// A stack of pages, one shown at a time.
class TNotebook : public TCustomControl {
 public:
  explicit TNotebook(TComponent* owner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  // A new page, owned and parented by the notebook.
  TPage* AddPage(const std::wstring& caption);
  int PageCount() const { return int(pages_.size()); }
  TPage* Page(int i) const { return pages_.at(size_t(i)); }
  int PageIndex() const { return pageIndex_; }
  void SetPageIndex(int v);

 protected:
  void Paint() override;
  void Notification(TComponent* c, TOperation op) override;

 private:
  std::vector<TPage*> pages_;
  int pageIndex_ = -1;
};

}  // namespace fw
