#include "framework/win/imglist.h"

#include <utility>

#include "framework/core/exception.h"
#include "framework/win/handles.h"

namespace fw {

namespace {

// A screen-compatible copy of a framework bitmap's pixels: the image list takes
// bitmaps that no device context holds, and the framework's keeps its own selected.
UniqueBitmap Copy(TBitmap& b) {
  ScopedGetDC screen(nullptr);
  UniqueBitmap copy(::CreateCompatibleBitmap(screen.get(), b.Width(), b.Height()));
  UniqueMemoryDc mem(::CreateCompatibleDC(screen.get()));
  if (!copy || !mem) throw EOutOfResources("Out of system resources");
  ScopedSelectObject select(mem.get(), copy.get());
  ::BitBlt(mem.get(), 0, 0, b.Width(), b.Height(), b.Canvas().Handle(), 0, 0, SRCCOPY);
  return copy;
}

// The monochrome copy of a mask, white where transparent.
UniqueBitmap MonoCopy(TBitmap& b) {
  UniqueBitmap mono(::CreateBitmap(b.Width(), b.Height(), 1, 1, nullptr));
  UniqueMemoryDc mem(::CreateCompatibleDC(nullptr));
  if (!mono || !mem) throw EOutOfResources("Out of system resources");
  ScopedSelectObject select(mem.get(), mono.get());
  ::BitBlt(mem.get(), 0, 0, b.Width(), b.Height(), b.Canvas().Handle(), 0, 0, SRCCOPY);
  return mono;
}

}  // namespace

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) { Recreate(); }

TCustomImageList::~TCustomImageList() = default;

const TClassInfo& TCustomImageList::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TCustomImageList", &TComponent::StaticClassInfo());
    i.Add(EnumProp<TCustomImageList, TDrawingStyle>("DrawingStyle", &TCustomImageList::DrawingStyle,
                                                    &TCustomImageList::SetDrawingStyle,
                                                    {"dsFocus", "dsSelected", "dsNormal", "dsTransparent"}, dsNormal));
    i.Add(IntProp<TCustomImageList, int>("Height", &TCustomImageList::Height, &TCustomImageList::SetHeight, 16));
    i.Add(BoolProp<TCustomImageList>("Masked", &TCustomImageList::Masked, &TCustomImageList::SetMasked, true));
    i.Add(IntProp<TCustomImageList, int>("Width", &TCustomImageList::Width, &TCustomImageList::SetWidth, 16));
    return i;
  }();
  return info;
}

const TClassInfo& TImageList::StaticClassInfo() {
  static const TClassInfo info("TImageList", &TCustomImageList::StaticClassInfo(),
                               [](TComponent* o) -> TComponent* { return new TImageList(o); });
  return info;
}

void TCustomImageList::Recreate() {
  list_.reset(::ImageList_Create(width_, height_, ILC_COLOR32 | (masked_ ? ILC_MASK : 0), 4, 4));
  if (!list_) throw EOutOfResources("Out of system resources");
  Changed();
}

void TCustomImageList::SetSize(int width, int height) {
  if (width < 1 || height < 1 || (width == width_ && height == height_)) return;
  width_ = width;
  height_ = height;
  Recreate();
}

void TCustomImageList::SetMasked(bool v) {
  if (v == masked_) return;
  masked_ = v;
  Recreate();
}

int TCustomImageList::Count() const { return ::ImageList_GetImageCount(list_.get()); }

int TCustomImageList::Add(TBitmap& image, TBitmap* mask) {
  UniqueBitmap picture = Copy(image);
  UniqueBitmap monoMask;
  if (mask) monoMask = MonoCopy(*mask);
  const int first = ::ImageList_Add(list_.get(), picture.get(), monoMask.get());
  if (first < 0) throw EInvalidGraphic("Failed to add an image to the list");
  Changed();
  return first;
}

int TCustomImageList::AddMasked(TBitmap& image, TColor maskColor) {
  UniqueBitmap picture = Copy(image);
  const int first = ::ImageList_AddMasked(list_.get(), picture.get(), ColorToRGB(maskColor));
  if (first < 0) throw EInvalidGraphic("Failed to add an image to the list");
  Changed();
  return first;
}

void TCustomImageList::Clear() {
  ::ImageList_Remove(list_.get(), -1);
  Changed();
}

void TCustomImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) {
  if (index < 0 || index >= Count()) return;
  HDC dc = canvas.Handle();
  if (enabled) {
    const UINT style = masked_ || drawingStyle_ == dsTransparent ? ILD_TRANSPARENT : ILD_NORMAL;
    ::ImageList_DrawEx(list_.get(), index, dc, x, y, 0, 0, CLR_NONE, CLR_NONE, style);
    return;
  }
  // Disabled: the image's shape, in the highlight colour one pixel right and
  // down, then in the shadow colour over it.
  UniqueBitmap mono(::CreateBitmap(width_, height_, 1, 1, nullptr));
  UniqueMemoryDc mem(::CreateCompatibleDC(nullptr));
  if (!mono || !mem) return;
  ScopedSelectObject select(mem.get(), mono.get());
  ::PatBlt(mem.get(), 0, 0, width_, height_, WHITENESS);
  ::ImageList_DrawEx(list_.get(), index, mem.get(), 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_MASK);
  const COLORREF text = ::SetTextColor(dc, RGB(0, 0, 0)), back = ::SetBkColor(dc, RGB(255, 255, 255));
  constexpr DWORD kBrushWhereSourceIsBlack = 0x00B8074A;
  for (auto [color, offset] : {std::pair{clBtnHighlight, 1}, std::pair{clBtnShadow, 0}}) {
    UniqueBrush brush(::CreateSolidBrush(ColorToRGB(color)));
    ScopedSelectObject withBrush(dc, brush.get());
    ::BitBlt(dc, x + offset, y + offset, width_, height_, mem.get(), 0, 0, kBrushWhereSourceIsBlack);
  }
  ::SetTextColor(dc, text);
  ::SetBkColor(dc, back);
}

}  // namespace fw
