#include "app/registration.h"

#include "app/Unit1.h"
#include "framework/win/registration.h"

void RegisterProgramClasses() {
  fw::RegisterFrameworkClasses();
  fw::TClassRegistry::Register(db::TDatabaseConnection::StaticClassInfo());
  fw::TClassRegistry::Register(db::TDatabaseQuery::StaticClassInfo());
  fw::TClassRegistry::Register(TForm1::StaticClassInfo());
}
