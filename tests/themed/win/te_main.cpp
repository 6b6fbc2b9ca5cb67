// Test entry for the themed library under Wine: the framework's Application and
// the library's units exist for the whole run, as in the program.
#include <gtest/gtest.h>

#include "framework/win/forms.h"
#include "framework/win/registration.h"
#include "themed/win/te_units.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  fw::RegisterFrameworkClasses();
  fw::TApplicationScope scope;
  fw::Application->Initialize();
  te::TThemedLibraryScope library([] { fw::Application->ProcessMessages(); });
  return RUN_ALL_TESTS();
}
