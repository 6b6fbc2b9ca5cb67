// The class-hook registry and PaintParentBackground.
#include <memory>

#include "framework/win/handles.h"
#include "themed/core/te_theme_rules.h"
#include "themed/win/te_theme.h"

namespace te {

namespace {

std::unique_ptr<std::vector<TClassHook>> gClassHooks;

// Sets csPaintCopy on the control for one painting, and clears it on every path.
class TPaintCopy {
 public:
  explicit TPaintCopy(fw::TControl& c) : c_(c) { c_.SetControlState(c_.ControlState() | fw::csPaintCopy); }
  ~TPaintCopy() { c_.SetControlState(c_.ControlState() & ~std::uint32_t(fw::csPaintCopy)); }
  TPaintCopy(const TPaintCopy&) = delete;
  TPaintCopy& operator=(const TPaintCopy&) = delete;

 private:
  fw::TControl& c_;
};

// Where the control's client area starts in its parent's client area.
fw::TPoint ClientOriginInParent(fw::TControl& control, fw::TWinControl& parent) {
  if (auto* w = dynamic_cast<fw::TWinControl*>(&control); w && w->HandleAllocated() && parent.HandleAllocated()) {
    POINT p{0, 0};
    ::MapWindowPoints(w->HandleNoCreate(), parent.HandleNoCreate(), &p, 1);
    return {p.x, p.y};
  }
  return {control.Left(), control.Top()};
}

// The parent draws itself into dc (its client coordinates): copied from its
// own canvas when it keeps one, else through its erase and paint messages.
void ParentPaintsItself(fw::TWinControl& parent, HDC dc, const TRect& area) {
  if (auto* custom = dynamic_cast<fw::TCustomControl*>(&parent)) {
    HDC source = custom->Canvas().HandleNoCreate();
    if (source) {
      ::BitBlt(dc, area.Left, area.Top, area.Width(), area.Height(), source, area.Left, area.Top, SRCCOPY);
      return;
    }
    if (parent.HandleAllocated()) {
      fw::ScopedGetDC window(parent.HandleNoCreate());
      ::BitBlt(dc, area.Left, area.Top, area.Width(), area.Height(), window.get(), area.Left, area.Top, SRCCOPY);
      return;
    }
  }
  parent.Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  parent.Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
}

}  // namespace

const std::vector<TClassHook>* ClassHooks() { return gClassHooks.get(); }

void RegisterClassHook(const fw::TClassInfo& cls, TClassHookPainter painter) {
  if (!gClassHooks) gClassHooks = std::make_unique<std::vector<TClassHook>>();
  gClassHooks->push_back({&cls, painter});
}

TClassHookPainter FindClassHook(const fw::TWinControl* parent) {
  if (!gClassHooks || !parent) return nullptr;
  std::vector<const fw::TClassInfo*> classes;
  classes.reserve(gClassHooks->size());
  for (const auto& h : *gClassHooks) classes.push_back(h.Class);
  const int i = ChooseClassHook(classes, parent->ClassInfo());
  return i < 0 ? nullptr : (*gClassHooks)[size_t(i)].Painter;
}

void FreeClassHooks() { gClassHooks.reset(); }

void PaintParentBackground(fw::TControl* control, HDC dc) {
  if (!control || !dc) return;
  fw::TWinControl* parent = control->Parent();
  if (!parent || control->Width() <= 0 || control->Height() <= 0) return;
  if (control->ControlState() & fw::csPaintCopy) return;

  fw::ScopedSaveDC save(dc);
  const fw::TPoint origin = ClientOriginInParent(*control, *parent);
  // The parent's coordinates map onto the control's surface.
  ::OffsetWindowOrgEx(dc, origin.X, origin.Y, nullptr);
  const TRect bounds = control->BoundsRect();

  if (TClassHookPainter painter = FindClassHook(parent)) {
    const TClassHookInfo info{bounds, bounds, control, parent};
    fw::TCanvas canvas;
    fw::TCanvasBinding bind(canvas, dc);
    TPaintCopy copy(*control);
    painter(canvas, info);
    return;
  }

  TPaintCopy copy(*control);
  const TRect area = fw::Bounds(origin.X, origin.Y, control->Width(), control->Height());
  if (dynamic_cast<fw::TWinControl*>(control)) {
    ParentPaintsItself(*parent, dc, area);
    return;
  }
  // A control without a window: the parent paints into a picture of the
  // control's size, which then goes onto dc at the control's place.
  fw::UniqueMemoryDc memory(::CreateCompatibleDC(dc));
  fw::UniqueBitmap picture(::CreateCompatibleBitmap(dc, area.Width(), area.Height()));
  if (!memory || !picture) return;
  fw::ScopedSelectObject select(memory.get(), picture.get());
  ::SetWindowOrgEx(memory.get(), area.Left, area.Top, nullptr);
  ParentPaintsItself(*parent, memory.get(), area);
  ::SetWindowOrgEx(memory.get(), 0, 0, nullptr);
  ::BitBlt(dc, area.Left, area.Top, area.Width(), area.Height(), memory.get(), 0, 0, SRCCOPY);
}

void PaintParentBackgroundCanvas(fw::TControl* control, fw::TCanvas& canvas) {
  PaintParentBackground(control, canvas.Handle());
}

}  // namespace te
