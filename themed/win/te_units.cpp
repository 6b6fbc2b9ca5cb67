#include "themed/win/te_units.h"

#include "themed/win/te_bitmap.h"
#include "themed/win/te_controls.h"
#include "themed/win/te_effect.h"
#include "themed/win/te_theme.h"
#include "themed/win/te_utils.h"
#include "themed/win/te_winapi.h"

namespace te {

void InitializeUnits() {
  InitWinApiUnit();
  InitBitmapUnit();
  InitUtilsUnit();
  InitThemeUnit();
  InitEffectUnit();
  InitControlsUnit();
}

void FinalizeUnits() {
  FinalizeControlsUnit();
  FinalizeEffectUnit();
  FinalizeThemeUnit();
  FinalizeUtilsUnit();
  FinalizeBitmapUnit();
  FinalizeWinApiUnit();
}

}  // namespace te
