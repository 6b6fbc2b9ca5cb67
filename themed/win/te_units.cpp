#include "themed/win/te_units.h"

#include <iterator>

#include "themed/win/te_bitmap.h"
#include "themed/win/te_controls.h"
#include "themed/win/te_effect.h"
#include "themed/win/te_theme.h"
#include "themed/win/te_utils.h"
#include "themed/win/te_winapi.h"

namespace te {

namespace {
std::vector<std::string>* gTrace = nullptr;

struct TUnit {
  const char* Name;
  void (*Init)();
  void (*Finalize)();
};
// te_common and te_const declare only; they have no steps.
constexpr TUnit kUnits[] = {{"te_winapi", InitWinApiUnit, FinalizeWinApiUnit},
                            {"te_bitmap", InitBitmapUnit, FinalizeBitmapUnit},
                            {"te_utils", InitUtilsUnit, FinalizeUtilsUnit},
                            {"te_theme", InitThemeUnit, FinalizeThemeUnit},
                            {"te_effect", InitEffectUnit, FinalizeEffectUnit},
                            {"te_controls", InitControlsUnit, FinalizeControlsUnit}};
}  // namespace

void SetUnitTrace(std::vector<std::string>* trace) {
  gTrace = trace;
  SetControlsUnitTrace(trace);
}

void InitializeUnits() {
  for (const TUnit& u : kUnits) {
    if (gTrace) gTrace->push_back(std::string("start ") + u.Name);
    u.Init();
  }
}

void FinalizeUnits() {
  for (auto it = std::rbegin(kUnits); it != std::rend(kUnits); ++it) {
    if (gTrace) gTrace->push_back(std::string("exit ") + it->Name);
    it->Finalize();
  }
}

}  // namespace te
