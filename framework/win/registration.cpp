#include "framework/win/registration.h"

#include "framework/win/extctrls.h"
#include "framework/win/forms.h"
#include "framework/win/grids.h"
#include "framework/win/stdctrls.h"

namespace fw {

void RegisterFrameworkClasses() {
  TClassRegistry::Register(TForm::StaticClassInfo());
  TClassRegistry::Register(TButton::StaticClassInfo());
  TClassRegistry::Register(TGroupBox::StaticClassInfo());
  TClassRegistry::Register(TImage::StaticClassInfo());
  TClassRegistry::Register(TStringGrid::StaticClassInfo());
}

}  // namespace fw
