#include "app/registration.h"

#include "app/Unit1.h"
#include "framework/win/registration.h"
#include "themed/win/te_controls.h"

void RegisterProgramClasses() {
  fw::RegisterFrameworkClasses();
  fw::TClassRegistry::Register(db::TDatabaseConnection::StaticClassInfo());
  fw::TClassRegistry::Register(db::TDatabaseQuery::StaticClassInfo());
  fw::TClassRegistry::Register(te::TTeButton::StaticClassInfo());
  fw::TClassRegistry::Register(TForm1::StaticClassInfo());
}
