// Program entry: prepare the process, set the title, create the main window
// from its stored layout and run the message loop until it closes.
#include <windows.h>

#include "app/Unit1.h"
#include "app/registration.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  RegisterProgramClasses();
  fw::TApplicationScope scope;
  fw::Application->Initialize();
  fw::Application->SetTitle(kApplicationTitle);
  try {
    fw::Application->CreateForm<TForm1>();
  } catch (const std::exception& e) {
    fw::Application->HandleException(e);
    return 1;
  }
  fw::Application->Run();
  return 0;
}
