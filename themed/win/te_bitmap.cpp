#include "themed/win/te_bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "framework/core/exception.h"
#include "framework/win/clipbrd.h"
#include "framework/win/handles.h"
#include "themed/core/te_cpu.h"
#include "themed/core/te_stretch.h"
#include "themed/win/te_winapi.h"

namespace te {

namespace {

std::unique_ptr<std::vector<TteBitmap*>>& Registry() {
  static std::unique_ptr<std::vector<TteBitmap*>> list;
  return list;
}

void Register(TteBitmap* b) {
  if (!Registry()) Registry() = std::make_unique<std::vector<TteBitmap*>>();
  Registry()->push_back(b);
}

void Unregister(TteBitmap* b) {
  if (auto& list = Registry()) list->erase(std::remove(list->begin(), list->end(), b), list->end());
}

struct TEndMMX {
  ~TEndMMX() { EndMMX(); }
};

TDrawMode ModeOf(const TteBitmap& b) {
  return b.AlphaBlend ? TDrawMode::Alpha : b.Transparent ? TDrawMode::Keyed : TDrawMode::Opaque;
}

TPixelGrid GridOf(const TteBitmap& b) { return {b.Bits(), b.Width(), b.Height(), false}; }

// The keyed GDI route, chosen at start: TransparentBlt, or reading the target back.
bool gKeyedByTransparentBlt = false;

void ReadBackDraw(TteBitmap& self, HDC dc, const fw::TRect& dest, const fw::TRect& src) {
  const int w = dest.Right - dest.Left, h = dest.Bottom - dest.Top;
  if (w <= 0 || h <= 0) return;
  TteBitmap area;
  area.SetSize(w, h);
  ::BitBlt(area.DC(), 0, 0, w, h, dc, dest.Left, dest.Top, SRCCOPY);
  self.StretchDraw(area, fw::Rect(0, 0, w, h), src);
  ::BitBlt(dc, dest.Left, dest.Top, w, h, area.DC(), 0, 0, SRCCOPY);
}

// Some GDI implementations report a top-down DIB section's height as positive,
// so the rows' direction is confirmed on the pixels: the device's top-left
// pixel must be the last row in memory and differ from the first. When the
// two rows cannot tell, GDI does the drawing. One row runs either way.
bool RowsRunBottomUp(HDC dc, const DIBSECTION& ds) {
  const int w = ds.dsBmih.biWidth, h = ds.dsBmih.biHeight;
  if (h == 1) return true;
  ::GdiFlush();
  const auto* bits = static_cast<const std::uint32_t*>(ds.dsBm.bmBits);
  const COLORREF first = TeColorToColor(bits[0]);
  const COLORREF last = TeColorToColor(bits[std::ptrdiff_t(h - 1) * w]);
  POINT origin{0, 0};  // the device's top-left pixel, in logical coordinates
  ::DPtoLP(dc, &origin, 1);
  const COLORREF topLeft = ::GetPixel(dc, origin.x, origin.y);
  return topLeft == last && topLeft != first;
}

// True when dc maps logical to device pixels one to one and has no clipping
// region, so that writing pixels in place puts them where GDI would; device
// receives dest in device pixels.
bool DirectTarget(HDC dc, const fw::TRect& dest, fw::TRect& device) {
  if (::GetMapMode(dc) != MM_TEXT) return false;
  fw::UniqueRegion clip(::CreateRectRgn(0, 0, 0, 0));
  if (!clip || ::GetClipRgn(dc, clip.get()) != 0) return false;
  POINT corners[2] = {{dest.Left, dest.Top}, {dest.Right, dest.Bottom}};
  ::LPtoDP(dc, corners, 2);
  device = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
  return true;
}

}  // namespace

TteBitmap* FindBitmapByDC(HDC dc) {
  if (!Registry() || !dc) return nullptr;
  for (TteBitmap* b : *Registry())
    if (b->DC() == dc) return b;
  return nullptr;
}

TteColor ColorToTeColor(fw::TColor color, std::uint8_t alpha) { return RgbToTeColor(fw::ColorToRGB(color), alpha); }

bool TrueColorScreen() {
  fw::ScopedGetDC screen(nullptr);
  return ::GetDeviceCaps(screen.get(), BITSPIXEL) * ::GetDeviceCaps(screen.get(), PLANES) > 23;
}

void InitBitmapUnit() {
  SelectPixelOps(DetectMMX());
  gKeyedByTransparentBlt = TransparentBltAvailable() && TrueColorScreen();
}

void FinalizeBitmapUnit() { Registry().reset(); }

const fw::TClassInfo& TteBitmap::StaticClassInfo() {
  static const fw::TClassInfo info("TteBitmap", &fw::TPersistent::StaticClassInfo(), nullptr);
  return info;
}

TteBitmap::TteBitmap() {
  info_.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);  // 40
  info_.bmiHeader.biPlanes = 1;
  info_.bmiHeader.biBitCount = 32;
  info_.bmiHeader.biCompression = BI_RGB;
}

TteBitmap::~TteBitmap() { Release(); }

void TteBitmap::Release() {
  if (dc_.get()) Unregister(this);
  selected_.reset();
  dc_.reset();
  handle_.reset();
  bits_ = nullptr;
}

void TteBitmap::SetSize(int w, int h) {
  w = std::abs(w);
  h = std::abs(h);
  if (w == 0 || h == 0 || (w == width_ && h == height_)) return;
  Release();
  width_ = height_ = 0;
  info_.bmiHeader.biWidth = w;
  info_.bmiHeader.biHeight = -h;
  void* bits = nullptr;
  fw::UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info_, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bits) throw fw::EOutOfResources("Can't allocate the DIB handle");
  fw::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  if (!dc) throw fw::EOutOfResources("Can't create compatible DC");
  fw::ScopedSelectObject selected(dc.get(), bitmap.get());
  if (!selected.Selected()) throw fw::EOutOfResources("Can't select an object into DC");
  // Nothing throws from here on; the owners pass to the members.
  handle_ = std::move(bitmap);
  dc_ = std::move(dc);
  selected_.emplace(std::move(selected));
  bits_ = static_cast<TteColor*>(bits);
  Register(this);
  width_ = w;
  height_ = h;
}

void TteBitmap::Fill(TteColor color) {
  if (bits_) PixelOps.FillPixels(bits_, width_ * height_, color);
}

void TteBitmap::FillRect(fw::TRect r, TteColor color) {
  TEndMMX endMMX;
  if (!bits_) return;
  r = {std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, width_), std::min(r.Bottom, height_)};
  if (r.Right <= r.Left || r.Bottom <= r.Top) return;
  if (AlphaBlend) {
    const TArrayOfteColor row(size_t(r.Right - r.Left), color);
    for (int y = r.Top; y < r.Bottom; ++y) PixelOps.BlendRow(row.data(), PixelPtr(r.Left, y), r.Right - r.Left);
  } else {
    PixelOps.FillPixelRect(bits_, width_, r, color);
  }
}

void TteBitmap::SetAlpha(std::uint8_t a) {
  if (bits_) PixelOps.SetAlphaRun(bits_, width_ * height_, a);
}

void TteBitmap::SetAlphaRect(std::uint8_t a, fw::TRect r) {
  if (r.Right == r.Left || r.Bottom == r.Top || !bits_) return;
  r = {std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, width_), std::min(r.Bottom, height_)};
  if (r.Right <= r.Left || r.Bottom <= r.Top) return;
  PixelOps.SetAlphaPixelRect(bits_, width_, r, a);
}

void TteBitmap::CheckAlpha() {
  AlphaBlend = false;
  if (!bits_) return;
  for (int i = 0, n = width_ * height_; i < n; ++i) {
    const std::uint32_t a = bits_[i] >> 24;
    if (a != 0 && a != 255) {
      AlphaBlend = true;
      return;
    }
  }
}

void TteBitmap::SetTransparentColor(TteColor color) {
  Transparent = false;
  if (!bits_) return;
  auto within5 = [](std::uint32_t p, std::uint32_t c, int shift) {
    return std::abs(int((p >> shift) & 0xFF) - int((c >> shift) & 0xFF)) < 6;
  };
  for (int i = 0, n = width_ * height_; i < n; ++i)
    if (within5(bits_[i], color, 16) && within5(bits_[i], color, 8) && within5(bits_[i], color, 0)) {
      bits_[i] = TransparentKey;
      Transparent = true;
    }
}

void TteBitmap::SetPixel(int x, int y, TteColor color) {
  if (bits_ && x >= 0 && x < width_ && y >= 0 && y < height_) *PixelPtr(x, y) = color;
}

void TteBitmap::Draw(HDC dc, int x, int y) { DrawRect(dc, x, y, fw::Rect(0, 0, width_, height_)); }

void TteBitmap::DrawRect(HDC dc, int x, int y, const fw::TRect& src) {
  StretchDraw(dc, fw::Rect(x, y, x + src.Right - src.Left, y + src.Bottom - src.Top), src);
}

void TteBitmap::StretchDraw(HDC dc, const fw::TRect& dest, const fw::TRect& src) {
  TEndMMX endMMX;
  if (!bits_) return;
  // Pixels are written in place only where GDI would put them: plain pixel
  // mapping and no clipping region; dest goes through the DC's origins.
  fw::TRect device;
  if (DirectTarget(dc, dest, device)) {
    if (TteBitmap* target = FindBitmapByDC(dc)) {
      StretchDraw(*target, device, src);
      return;
    }
    // A 32-bit bottom-up DIB selected into the device context is written in place.
    if (HGDIOBJ selected = ::GetCurrentObject(dc, OBJ_BITMAP)) {
      DIBSECTION ds{};
      if (::GetObjectA(selected, sizeof ds, &ds) == int(sizeof ds) && ds.dsBm.bmBits && ds.dsBmih.biBitCount == 32 &&
          ds.dsBmih.biHeight > 0 && RowsRunBottomUp(dc, ds)) {
        const TPixelGrid target{static_cast<TteColor*>(ds.dsBm.bmBits), int(ds.dsBmih.biWidth), int(ds.dsBmih.biHeight),
                                true};
        StretchPixels(target, device, GridOf(*this), src, ModeOf(*this), TMapRounding::Nearest);
        return;
      }
    }
  }
  if (AlphaBlend) {
    ReadBackDraw(*this, dc, dest, src);
  } else if (Transparent) {
    if (gKeyedByTransparentBlt)
      TransparentBltProc()(dc, dest.Left, dest.Top, dest.Right - dest.Left, dest.Bottom - dest.Top, dc_.get(), src.Left,
                           src.Top, src.Right - src.Left, src.Bottom - src.Top, TransparentKey);
    else
      ReadBackDraw(*this, dc, dest, src);
  } else {
    ::SetStretchBltMode(dc, COLORONCOLOR);
    ::StretchBlt(dc, dest.Left, dest.Top, dest.Right - dest.Left, dest.Bottom - dest.Top, dc_.get(), src.Left, src.Top,
                 src.Right - src.Left, src.Bottom - src.Top, SRCCOPY);
  }
}

void TteBitmap::Draw(fw::TCanvas& canvas, int x, int y) { Draw(canvas.Handle(), x, y); }
void TteBitmap::StretchDraw(fw::TCanvas& canvas, const fw::TRect& dest) {
  StretchDraw(canvas.Handle(), dest, fw::Rect(0, 0, width_, height_));
}
void TteBitmap::StretchDraw(fw::TCanvas& canvas, const fw::TRect& dest, const fw::TRect& src) {
  StretchDraw(canvas.Handle(), dest, src);
}

void TteBitmap::Draw(TteBitmap& target, int x, int y) { DrawRect(target, x, y, fw::Rect(0, 0, width_, height_)); }

void TteBitmap::DrawRect(TteBitmap& target, int x, int y, const fw::TRect& src) {
  StretchDraw(target, fw::Rect(x, y, x + src.Right - src.Left, y + src.Bottom - src.Top), src);
}

void TteBitmap::StretchDraw(TteBitmap& target, const fw::TRect& dest, const fw::TRect& src) {
  if (!bits_ || !target.bits_) {
    EndMMX();
    return;
  }
  StretchPixels(GridOf(target), dest, GridOf(*this), src, ModeOf(*this), TMapRounding::Truncate);
}

void TteBitmap::MergeBelow(const TteBitmap& source, int x, int y, fw::TRect src) {
  TEndMMX endMMX;
  if (!bits_ || !source.bits_) return;
  src.Right = std::min(src.Right, source.width_);
  src.Bottom = std::min(src.Bottom, source.height_);
  for (int sy = std::max(src.Top, 0); sy < src.Bottom; ++sy) {
    const int ty = y + sy - src.Top;
    if (ty < 0 || ty >= height_) continue;
    for (int sx = std::max(src.Left, 0); sx < src.Right; ++sx) {
      const int tx = x + sx - src.Left;
      if (tx < 0 || tx >= width_) continue;
      TteColor& t = *PixelPtr(tx, ty);
      const std::uint32_t a = t >> 24;
      if (a == 0)
        t = *source.PixelPtr(sx, sy);
      else if (a < 255)
        t = PixelOps.BlendPixel(t, *source.PixelPtr(sx, sy));
    }
  }
}

void TteBitmap::LoadFromGraphic(fw::TGraphic& g, const fw::TRect& r) {
  if (!bits_) return;
  fw::TBitmap sheet;
  sheet.SetPixelFormat(fw::TPixelFormat::pf32bit);
  sheet.SetSize(width_, height_);
  fw::TCanvas& c = sheet.Canvas();
  c.Brush().SetColor(0x00FF00FF);
  c.Brush().SetStyle(fw::TBrushStyle::bsSolid);
  c.Pen().SetColor(0x00FF00FF);
  c.Rectangle(-1, -1, width_ + 1, height_ + 1);
  c.StretchDraw(r, &g);
  ::GdiFlush();
  for (int y = 0; y < height_; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(sheet.ScanLine(y));
    for (int x = 0; x < width_; ++x)
      if ((row[x] & 0x00FFFFFF) != 0x00FF00FF) SetPixel(x, y, row[x]);
  }
}

void TteBitmap::Assign(const fw::TPersistent& source) {
  if (const auto* b = dynamic_cast<const TteBitmap*>(&source)) {
    if (b == this) return;
    SetSize(b->width_, b->height_);
    if (Empty() || b->Empty() || width_ != b->width_ || height_ != b->height_) return;
    PixelOps.CopyRow(b->bits_, bits_, width_ * height_);
    Name = b->Name;
    Transparent = b->Transparent;
    AlphaBlend = b->AlphaBlend;
    return;
  }
  auto fromBitmap = [this](const fw::TBitmap& bmp, bool keepPixels) {
    auto& b = const_cast<fw::TBitmap&>(bmp);
    SetSize(b.Width(), b.Height());
    if (Empty() || b.Empty()) return;
    if (keepPixels && b.PixelFormat() == fw::TPixelFormat::pf32bit && b.ScanLine(0)) {
      ::GdiFlush();
      for (int y = 0; y < height_; ++y)
        PixelOps.CopyRow(reinterpret_cast<TteColor*>(b.ScanLine(y)), ScanLine(y), width_);
      CheckAlpha();
    } else {
      ::BitBlt(dc_.get(), 0, 0, width_, height_, b.Canvas().Handle(), 0, 0, SRCCOPY);
      ::GdiFlush();
      SetAlpha(255);
    }
  };
  auto fromGraphic = [this](const fw::TGraphic& g) {
    SetSize(g.Width(), g.Height());
    if (Empty()) return;
    LoadFromGraphic(const_cast<fw::TGraphic&>(g), fw::Rect(0, 0, width_, height_));
    SetAlpha(255);
  };
  if (const auto* bmp = dynamic_cast<const fw::TBitmap*>(&source)) return fromBitmap(*bmp, true);
  if (const auto* g = dynamic_cast<const fw::TGraphic*>(&source)) return fromGraphic(*g);
  if (const auto* pic = dynamic_cast<const fw::TPicture*>(&source)) {
    fw::TGraphic* g = pic->Graphic();
    if (!g) return;
    if (auto* bmp = dynamic_cast<fw::TBitmap*>(g)) return fromBitmap(*bmp, false);  // alpha replaced by 255
    return fromGraphic(*g);
  }
  fw::TPersistent::Assign(source);
}

void TteBitmap::AssignTo(fw::TPersistent& dest) const {
  auto* self = const_cast<TteBitmap*>(this);
  auto fill = [self](fw::TBitmap& bmp) {
    bmp.SetPixelFormat(fw::TPixelFormat::pf32bit);
    bmp.SetSize(self->width_, self->height_);
    self->Draw(bmp.Canvas(), 0, 0);
  };
  if (auto* pic = dynamic_cast<fw::TPicture*>(&dest)) {
    auto bmp = std::make_unique<fw::TBitmap>();
    fill(*bmp);
    pic->SetGraphic(std::move(bmp));
  } else if (auto* bmp = dynamic_cast<fw::TBitmap*>(&dest)) {
    fill(*bmp);
  } else if (auto* clip = dynamic_cast<fw::TClipboard*>(&dest)) {
    fw::TBitmap bmp;
    fill(bmp);
    clip->Assign(bmp);
  } else {
    fw::TPersistent::AssignTo(dest);
  }
}

}  // namespace te
