#include "framework/win/grids.h"

namespace fw {

TStringGrid::TStringGrid(TComponent* owner) : TWinControl(owner), table_(5, 5) {
  width_ = 320;
  height_ = 120;
  tabStop_ = true;
}

const TClassInfo& TStringGrid::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TStringGrid", &TWinControl::StaticClassInfo(),
                 [](TComponent* o) -> TComponent* { return new TStringGrid(o); });
    i.Add(IntProp<TStringGrid, int>("ColCount", &TStringGrid::ColCount, &TStringGrid::SetColCount, 5));
    i.Add(IntProp<TStringGrid, int>("RowCount", &TStringGrid::RowCount, &TStringGrid::SetRowCount, 5));
    i.Add(BoolProp<TWinControl>("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, true));
    return i;
  }();
  return info;
}

}  // namespace fw
