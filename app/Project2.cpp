// Program entry: the units start (the themed control library's included),
// the application starts the component-object services, takes its title,
// creates the main window from its stored layout and runs the message loop
// until it closes; then the application's components go, and the units end in
// the reverse order. With /undo it shows no window: it puts back the prices
// of the newest update and ends with an exit code for scripts. Every DLL the
// process loads comes from the system folder (framework/win/system_library.h).
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/Unit1.h"
#include "app/win/one_copy.h"
#include "app/registration.h"
#include "app/win/undo_command.h"
#include "framework/win/system_library.h"
#include "framework/win/sysutils.h"
#include "themed/win/te_units.h"

namespace {

std::vector<std::wstring> Arguments() {
  int count = 0;
  std::vector<std::wstring> args;
  if (wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
    args.assign(argv, argv + count);
    ::LocalFree(argv);
  }
  return args;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  fw::RestrictDllSearchToSystem();  // before anything loads a DLL
  RegisterProgramClasses();
  fw::TApplicationScope scope;  // the platform's units: Application and Screen
  // The library's units, in their order (they end first), with the program's message pump.
  te::TThemedLibraryScope library([] { fw::Application->ProcessMessages(); });
  fw::Application->Initialize();
  fw::Application->SetTitle(kApplicationTitle);
  // The captions are Arabic in code page 1256 whatever the system's own.
  fw::SetTextCodePage(kTextCodePage);
  const naveko::TOneCopy copy;
  std::wstring journal;
  if (naveko::IsUndoCommand(Arguments(), journal)) {
    const int code = copy.First() ? naveko::RunUndoCommand(journal) : naveko::RefuseUndoWhileAnotherCopyRuns();
    fw::Application->Shutdown();
    return code;
  }
  if (!copy.First()) {
    naveko::BringFirstCopyForward();
    fw::Application->Shutdown();
    return 0;
  }
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
