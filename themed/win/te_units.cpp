#include "themed/win/te_units.h"

#include "themed/win/te_bitmap.h"
#include "themed/win/te_effect.h"
#include "themed/win/te_utils.h"
#include "themed/win/te_winapi.h"

namespace te {

void InitializeUnits() {
  InitWinApiUnit();
  InitBitmapUnit();
  InitUtilsUnit();
  InitEffectUnit();
}

void FinalizeUnits() {
  FinalizeEffectUnit();
  FinalizeUtilsUnit();
  FinalizeBitmapUnit();
  FinalizeWinApiUnit();
}

}  // namespace te
