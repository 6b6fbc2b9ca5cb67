// Project2.exe /undo [FILE]: puts back the old prices of the newest journal
// (or of FILE) without a main window, shows one message and returns the
// process's exit code: 0 when it restored, 1 when it could not, 2 when there
// was no earlier update to restore.
#pragma once
#include <string>
#include <vector>

namespace naveko {

// True when the command line asks for the way back; `file` gets its FILE, if any.
bool IsUndoCommand(const std::vector<std::wstring>& args, std::wstring& file);

int RunUndoCommand(const std::wstring& file);

// /undo while another copy of the program runs (an update, another undo):
// refused with the undo's failure message and exit code, nothing changed.
int RefuseUndoWhileAnotherCopyRuns();

}  // namespace naveko
