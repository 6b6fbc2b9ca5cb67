// The start and exit of the themed library's units, in their order:
// te_winapi, te_bitmap, te_utils, te_theme, te_effect, te_controls start;
// they end in the reverse order.
#pragma once

namespace te {

void InitializeUnits();
void FinalizeUnits();

// Runs both for a program's or a test's lifetime.
class TThemedLibraryScope {
 public:
  TThemedLibraryScope() { InitializeUnits(); }
  ~TThemedLibraryScope() { FinalizeUnits(); }
  TThemedLibraryScope(const TThemedLibraryScope&) = delete;
  TThemedLibraryScope& operator=(const TThemedLibraryScope&) = delete;
};

}  // namespace te
