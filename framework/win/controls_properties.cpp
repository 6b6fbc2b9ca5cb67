// The controls' published properties that several classes share, the size
// constraints, and the shift state of mouse and keyboard messages.
#include "framework/win/controls.h"

#include "framework/core/idents.h"

namespace fw {

TPropInfo ControlColorProp(TColor def) {
  auto p = IntProp<TControl, TColor>("Color", &TControl::Color, &TControl::SetColor, std::int64_t(def));
  p.IntToIdent = ColorToIdent;
  p.IdentToInt = IdentToColor;
  p.Stored = [](const TPersistent& o) { return !static_cast<const TControl&>(o).ParentColor(); };
  return p;
}

TPropInfo BiDiModeProp() {
  auto p = EnumProp<TControl, TBiDiMode>(
      "BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode,
      {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly"}, bdLeftToRight);
  p.Stored = [](const TPersistent& o) { return !static_cast<const TControl&>(o).ParentBiDiMode(); };
  return p;
}

TPropInfo ParentBiDiModeProp() {
  return BoolProp<TControl>("ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode, true);
}

TPropInfo ShowHintProp() {
  auto p = BoolProp<TControl>("ShowHint", &TControl::ShowHint, &TControl::SetShowHint);
  p.Stored = [](const TPersistent& o) { return !static_cast<const TControl&>(o).ParentShowHint(); };
  return p;
}

TPropInfo ParentShowHintProp() {
  return BoolProp<TControl>("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint, true);
}

TPropInfo DragCursorProp() {
  auto p = IntProp<TControl, TCursor>("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor, crDrag);
  p.IntToIdent = [](std::int64_t v) -> std::optional<std::string> {
    if (v == crDrag) return "crDrag";
    if (v == crDefault) return "crDefault";
    return std::nullopt;
  };
  p.IdentToInt = [](const std::string& s) -> std::optional<std::int64_t> {
    if (s == "crDrag") return crDrag;
    if (s == "crDefault") return crDefault;
    return std::nullopt;
  };
  return p;
}

TPropInfo DragKindProp() {
  return EnumProp<TControl, TDragKind>("DragKind", &TControl::DragKind, &TControl::SetDragKind, {"dkDrag", "dkDock"},
                                       dkDrag);
}

TPropInfo DragModeProp() {
  return EnumProp<TControl, TDragMode>("DragMode", &TControl::DragMode, &TControl::SetDragMode,
                                       {"dmManual", "dmAutomatic"}, dmManual);
}

TPropInfo ConstraintsProp() { return ObjectProp<TControl, TSizeConstraints>("Constraints", &TControl::Constraints); }

std::vector<TPropInfo> DragEventProps() {
  return {EventProp<TControl>("OnDragDrop", &TControl::OnDragDrop),
          EventProp<TControl>("OnDragOver", &TControl::OnDragOver),
          EventProp<TControl>("OnEndDrag", &TControl::OnEndDrag),
          EventProp<TControl>("OnStartDrag", &TControl::OnStartDrag)};
}

// ---- TSizeConstraints ----------------------------------------------------------

const TClassInfo& TSizeConstraints::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TSizeConstraints", &TPersistent::StaticClassInfo());
    i.Add(
        IntProp<TSizeConstraints, int>("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight, 0));
    i.Add(IntProp<TSizeConstraints, int>("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth, 0));
    i.Add(
        IntProp<TSizeConstraints, int>("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight, 0));
    i.Add(IntProp<TSizeConstraints, int>("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth, 0));
    return i;
  }();
  return info;
}

void TSizeConstraints::Assign(const TPersistent& source) {
  if (auto* c = dynamic_cast<const TSizeConstraints*>(&source)) {
    maxHeight_ = c->maxHeight_;
    maxWidth_ = c->maxWidth_;
    minHeight_ = c->minHeight_;
    minWidth_ = c->minWidth_;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

namespace {
// Sets one limit (0: none, a negative value counts as 0). A maximum below its
// minimum lowers the minimum to it; a minimum above its maximum raises the
// maximum. False when nothing changed.
bool SetLimit(int v, int& limit, int& other, bool isMaximum) {
  if (v == limit) return false;
  limit = v < 0 ? 0 : v;
  const bool crossed = isMaximum ? limit > 0 && limit < other : other > 0 && limit > other;
  if (crossed) other = limit;
  return true;
}
}  // namespace

void TSizeConstraints::SetMaxHeight(int v) {
  if (SetLimit(v, maxHeight_, minHeight_, true)) Changed();
}
void TSizeConstraints::SetMaxWidth(int v) {
  if (SetLimit(v, maxWidth_, minWidth_, true)) Changed();
}
void TSizeConstraints::SetMinHeight(int v) {
  if (SetLimit(v, minHeight_, maxHeight_, false)) Changed();
}
void TSizeConstraints::SetMinWidth(int v) {
  if (SetLimit(v, minWidth_, maxWidth_, false)) Changed();
}

void TSizeConstraints::Apply(int& width, int& height) const {
  if (maxWidth_ > 0 && width > maxWidth_) width = maxWidth_;
  if (minWidth_ > 0 && width < minWidth_) width = minWidth_;
  if (maxHeight_ > 0 && height > maxHeight_) height = maxHeight_;
  if (minHeight_ > 0 && height < minHeight_) height = minHeight_;
}

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s = 0;
  if (keys & MK_SHIFT) s |= ssShift;
  if (keys & MK_CONTROL) s |= ssCtrl;
  if (keys & MK_LBUTTON) s |= ssLeft;
  if (keys & MK_RBUTTON) s |= ssRight;
  if (keys & MK_MBUTTON) s |= ssMiddle;
  if (::GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
  TShiftState s = 0;
  if (::GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (::GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (keyData & (1 << 29)) s |= ssAlt;  // the context code: Alt was down
  return s;
}

}  // namespace fw
