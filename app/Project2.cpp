// Program entry: the units start (the themed control library's included),
// the application starts the component-object services, takes its title,
// creates the main window from its stored layout and runs the message loop
// until it closes; then the application's components go, and the units end in
// the reverse order.
#include <windows.h>

#include "app/Unit1.h"
#include "app/registration.h"
#include "themed/win/te_units.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  RegisterProgramClasses();
  fw::TApplicationScope scope;      // the platform's units: Application and Screen
  te::TThemedLibraryScope library;  // the library's units, in their order; they end first
  fw::Application->Initialize();
  fw::Application->SetTitle(kApplicationTitle);
  try {
    fw::Application->CreateForm<TForm1>();
  } catch (const std::exception& e) {
    fw::Application->HandleException(e);
    fw::Application->Shutdown();
    return 1;
  }
  fw::Application->Run();
  fw::Application->Shutdown();
  return 0;
}
