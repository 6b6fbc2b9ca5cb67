#include "framework/win/registration.h"

#include "framework/win/actnlist.h"
#include "framework/win/extctrls.h"
#include "framework/win/menus.h"
#include "framework/win/forms.h"
#include "framework/win/grids.h"
#include "framework/win/stdctrls.h"

namespace fw {

void RegisterFrameworkClasses() {
  TClassRegistry::Register(TForm::StaticClassInfo());
  TClassRegistry::Register(TButton::StaticClassInfo());
  TClassRegistry::Register(TGroupBox::StaticClassInfo());
  TClassRegistry::Register(TImage::StaticClassInfo());
  TClassRegistry::Register(TNotebook::StaticClassInfo());
  TClassRegistry::Register(TPage::StaticClassInfo());
  TClassRegistry::Register(TImageList::StaticClassInfo());
  TClassRegistry::Register(TActionList::StaticClassInfo());
  TClassRegistry::Register(TAction::StaticClassInfo());
  TClassRegistry::Register(TPopupMenu::StaticClassInfo());
  TClassRegistry::Register(TStringGrid::StaticClassInfo());
}

}  // namespace fw
