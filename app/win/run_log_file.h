// The run log's file, %LOCALAPPDATA%\NAVEKO\naveko.log: each block appended
// whole; when the file would pass its limit, its oldest blocks are dropped.
// Writing the log never stops the program: a failure goes to the debugger's output.
#pragma once
#include <string>

#include "app/core/run_log.h"

namespace naveko {

std::wstring RunLogPath();  // empty when the profile has no local application data folder

// A block stamped with the local time and the program's version.
TLogBlock NewLogBlock(std::string_view what);

void WriteLogBlock(const TLogBlock& block);

}  // namespace naveko
