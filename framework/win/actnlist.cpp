#include "framework/win/actnlist.h"

#include <algorithm>

#include "framework/win/sysutils.h"

namespace fw {

const TClassInfo& TBasicAction::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TBasicAction", &TComponent::StaticClassInfo());
    i.Add(EventProp<TBasicAction>("OnExecute", &TBasicAction::OnExecute));
    return i;
  }();
  return info;
}

bool TBasicAction::Execute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

TCustomAction::~TCustomAction() { SetActionList(nullptr); }

const TClassInfo& TCustomAction::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TCustomAction", &TBasicAction::StaticClassInfo());
    i.Add(StringProp<TCustomAction, std::wstring>("Caption", &TCustomAction::CaptionW, &TCustomAction::SetCaptionW,
                                                  L""));
    i.Add(IntProp<TCustomAction, int>("ImageIndex", &TCustomAction::ImageIndex, &TCustomAction::SetImageIndex, -1));
    return i;
  }();
  return info;
}

std::wstring TCustomAction::CaptionW() const { return TextToWide(caption_); }
void TCustomAction::SetCaptionW(const std::wstring& v) { caption_ = WideToText(v); }

void TCustomAction::SetActionList(TCustomActionList* list) {
  if (list == actionList_) return;
  if (actionList_) {
    auto& a = actionList_->actions_;
    a.erase(std::remove(a.begin(), a.end(), this), a.end());
  }
  actionList_ = list;
  if (list) list->actions_.push_back(this);
}

const TClassInfo& TAction::StaticClassInfo() {
  static const TClassInfo info("TAction", &TCustomAction::StaticClassInfo(),
                               [](TComponent* o) -> TComponent* { return new TAction(o); });
  return info;
}

TCustomActionList::~TCustomActionList() {
  for (TCustomAction* a : std::vector<TCustomAction*>(actions_)) a->SetActionList(nullptr);
}

const TClassInfo& TCustomActionList::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TCustomActionList", &TComponent::StaticClassInfo());
    i.Add(ComponentProp<TCustomActionList, TCustomImageList>("Images", &TCustomActionList::Images,
                                                             &TCustomActionList::SetImages));
    return i;
  }();
  return info;
}

void TCustomActionList::SetImages(TCustomImageList* v) {
  if (v == images_) return;
  if (images_) images_->RemoveFreeNotification(this);
  images_ = v;
  if (v) v->FreeNotification(this);
}

void TCustomActionList::Notification(TComponent* c, TOperation op) {
  TComponent::Notification(c, op);
  if (op == TOperation::opRemove && c == images_) images_ = nullptr;
}

const TClassInfo& TActionList::StaticClassInfo() {
  static const TClassInfo info("TActionList", &TCustomActionList::StaticClassInfo(),
                               [](TComponent* o) -> TComponent* { return new TActionList(o); });
  return info;
}

}  // namespace fw
