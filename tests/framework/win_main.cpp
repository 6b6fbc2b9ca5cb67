// Test entry for Windows test programs: the framework's Application and Screen
// exist for the whole run, as in the program.
#include <gtest/gtest.h>

#include "framework/win/forms.h"
#include "framework/win/registration.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  fw::RegisterFrameworkClasses();
  fw::TApplicationScope scope;
  fw::Application->Initialize();
  fw::Application->SetTitle(L"framework tests");
  return RUN_ALL_TESTS();
}
