// The start and exit of the themed library's units, in their order:
// te_winapi, te_bitmap, te_utils, te_theme, te_effect, te_controls start;
// they end in the reverse order.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "themed/win/te_message_pump.h"

namespace te {

void InitializeUnits();
void FinalizeUnits();
// Records each unit's start and exit, and the controls unit's own steps, while
// a list is given (for tests).
void SetUnitTrace(std::vector<std::string>* trace);

// Runs both for a program's or a test's lifetime, with the program's message
// pump handed to the library for as long.
class TThemedLibraryScope {
 public:
  explicit TThemedLibraryScope(TMessagePump pump = {}) {
    SetMessagePump(std::move(pump));
    InitializeUnits();
  }
  ~TThemedLibraryScope() {
    FinalizeUnits();
    SetMessagePump({});
  }
  TThemedLibraryScope(const TThemedLibraryScope&) = delete;
  TThemedLibraryScope& operator=(const TThemedLibraryScope&) = delete;
};

}  // namespace te
