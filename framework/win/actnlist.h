// Actions: a command with a caption and an image that controls link to; a
// linked control takes the action's caption and runs it when clicked. An
// action list groups actions and holds their image list.
#pragma once
#include <string>
#include <vector>

#include "framework/core/component.h"
#include "framework/win/imglist.h"

namespace fw {

class TCustomActionList;

class TBasicAction : public TComponent {
 public:
  explicit TBasicAction(TComponent* owner) : TComponent(owner) {}
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  // Runs OnExecute; false when there is none.
  virtual bool Execute();
  TEvent<void(TObject*)> OnExecute;
};

class TCustomAction : public TBasicAction {
 public:
  explicit TCustomAction(TComponent* owner) : TBasicAction(owner) {}
  ~TCustomAction() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  // The caption in the system code page, as the platform's texts are.
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v) { caption_ = v; }
  std::wstring CaptionW() const;
  void SetCaptionW(const std::wstring& v);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v) { imageIndex_ = v; }
  TCustomActionList* ActionList() const { return actionList_; }
  void SetActionList(TCustomActionList* list);

 private:
  std::string caption_;
  int imageIndex_ = -1;
  TCustomActionList* actionList_ = nullptr;
};

class TAction : public TCustomAction {
 public:
  using TCustomAction::TCustomAction;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

class TCustomActionList : public TComponent {
 public:
  explicit TCustomActionList(TComponent* owner) : TComponent(owner) {}
  ~TCustomActionList() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* v);
  const std::vector<TCustomAction*>& Actions() const { return actions_; }

 protected:
  void Notification(TComponent* c, TOperation op) override;

 private:
  friend class TCustomAction;
  TCustomImageList* images_ = nullptr;
  std::vector<TCustomAction*> actions_;
};

class TActionList : public TCustomActionList {
 public:
  using TCustomActionList::TCustomActionList;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

}  // namespace fw
