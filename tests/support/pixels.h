// What the Windows tests share for looking at drawing: pixels of 32-bit
// bitmaps, an off-screen 32-bit target, and counts of the process's GDI and
// USER objects for leak checks.
#pragma once
#include <windows.h>

#include <cstdint>

#include "framework/win/graphics.h"
#include "framework/win/handles.h"

namespace fwtest {

// 0xRRGGBB of a pixel of a pf32bit (or pf24bit) framework bitmap.
inline std::uint32_t Px(fw::TBitmap& b, int x, int y) {
  const int bytes = b.PixelFormat() == fw::TPixelFormat::pf24bit ? 3 : 4;
  const std::uint8_t* p = b.ScanLine(y) + x * bytes;
  return std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
}

// 0xRRGGBB of a framework colour, system colours resolved now.
inline std::uint32_t Rgb(fw::TColor c) {
  const COLORREF v = fw::ColorToRGB(c);
  return std::uint32_t(GetRValue(v)) << 16 | std::uint32_t(GetGValue(v)) << 8 | GetBValue(v);
}

// A 32-bit DIB section selected into its own memory DC; top-down unless told otherwise.
class TDibTarget {
 public:
  TDibTarget(int w, int h, bool topDown = true) : width_(w), height_(h), topDown_(topDown) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = topDown ? -h : h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    dib_.reset(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<std::uint32_t*>(bits);
    dc_.reset(::CreateCompatibleDC(nullptr));
    old_ = ::SelectObject(dc_.get(), dib_.get());
  }
  ~TDibTarget() { ::SelectObject(dc_.get(), old_); }
  TDibTarget(const TDibTarget&) = delete;
  TDibTarget& operator=(const TDibTarget&) = delete;

  HDC DC() const { return dc_.get(); }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // 0xRRGGBB (the alpha byte dropped).
  std::uint32_t At(int x, int y) const { return Raw(x, y) & 0xFFFFFFu; }
  // 0xAARRGGBB, the alpha byte as drawing left it.
  std::uint32_t Raw(int x, int y) const {
    ::GdiFlush();
    return bits_[(topDown_ ? y : height_ - 1 - y) * width_ + x];
  }
  void Fill(std::uint32_t rgb) {
    ::GdiFlush();
    for (int i = 0; i < width_ * height_; ++i) bits_[i] = rgb;
  }
  bool SameAs(const TDibTarget& o) const {
    if (o.width_ != width_ || o.height_ != height_) return false;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if (At(x, y) != o.At(x, y)) return false;
    return true;
  }

 private:
  int width_, height_;
  bool topDown_;
  fw::UniqueBitmap dib_;
  fw::UniqueMemoryDc dc_;
  HGDIOBJ old_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

// The process's live GDI objects. Windows counts them for us; Wine's
// GetGuiResources is a stub answering 0, so there the handle table is walked:
// a handle whose upper word is 0 names a table slot whatever its generation.
inline int CountGdiObjects() {
  if (DWORD n = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS)) return int(n);
  int n = 0;
  for (ULONG_PTR slot = 0x20; slot <= 0xFFFF; ++slot)
    if (::GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0) ++n;
  return n;
}

// The process's USER objects, or where GetGuiResources cannot tell, the
// windows of this thread (top-level and child): the USER objects our code makes.
inline int CountUserObjects() {
  if (DWORD n = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS)) return int(n);
  int n = 0;
  auto countTop = [](HWND h, LPARAM p) -> BOOL {
    ++*reinterpret_cast<int*>(p);
    ::EnumChildWindows(
        h, [](HWND, LPARAM q) -> BOOL { ++*reinterpret_cast<int*>(q); return TRUE; }, p);
    return TRUE;
  };
  ::EnumThreadWindows(::GetCurrentThreadId(), countTop, reinterpret_cast<LPARAM>(&n));
  return n;
}

}  // namespace fwtest
