#include "framework/win/menus.h"

#include "framework/core/exception.h"
#include "framework/win/handles.h"

namespace fw {

namespace {
struct MenuDeleter {
  void operator()(HMENU h) const { ::DestroyMenu(h); }
};
using UniqueMenu = UniqueHandle<HMENU, MenuDeleter>;
}  // namespace

const TClassInfo& TMenuItem::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TMenuItem", &TComponent::StaticClassInfo());
    i.Add(StringProp<TMenuItem, std::wstring>("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption, L""));
    i.Add(BoolProp<TMenuItem>("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled, true));
    i.Add(EventProp<TMenuItem>("OnClick", &TMenuItem::OnClick));
    return i;
  }();
  return info;
}

void TMenuItem::Click() {
  if (enabled_ && OnClick) OnClick(this);
}

TPopupMenu::~TPopupMenu() = default;

const TClassInfo& TPopupMenu::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TPopupMenu", &TComponent::StaticClassInfo(),
                 [](TComponent* o) -> TComponent* { return new TPopupMenu(o); });
    i.Add(EventProp<TPopupMenu>("OnPopup", &TPopupMenu::OnPopup));
    return i;
  }();
  return info;
}

TMenuItem* TPopupMenu::Add(const std::wstring& caption) {
  items_.push_back(std::make_unique<TMenuItem>(nullptr));
  items_.back()->SetCaption(caption);
  return items_.back().get();
}

void TPopupMenu::Popup(HWND owner, int x, int y) {
  if (OnPopup) OnPopup(this);
  UniqueMenu menu(::CreatePopupMenu());
  if (!menu) throw EOutOfResources("Out of system resources");
  for (size_t i = 0; i < items_.size(); ++i) {
    const TMenuItem& item = *items_[i];
    const UINT flags = item.Caption() == L"-" ? MF_SEPARATOR : MF_STRING | (item.Enabled() ? 0 : MF_GRAYED);
    ::AppendMenuW(menu.get(), flags, UINT_PTR(i + 1), item.Caption().c_str());
  }
  const UINT chosen =
      UINT(::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, 0, owner, nullptr));
  if (chosen >= 1 && chosen <= items_.size()) items_[chosen - 1]->Click();
}

}  // namespace fw
