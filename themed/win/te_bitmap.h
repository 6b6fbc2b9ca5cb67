// TteBitmap, the library's off-screen picture: a 32-bit top-down pixel buffer
// with straight alpha, held in a DIB section permanently selected into its own
// memory device context, so that GDI can draw into it and the library can read
// and write its pixels. It draws opaque, keyed (TransparentKey pixels skipped)
// or alpha-blended, to a device context or another TteBitmap: straight pixel
// writes when the target is a TteBitmap or a 32-bit bottom-up DIB, GDI
// otherwise. The colour functions that need the framework live here too.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "framework/core/persistent.h"
#include "framework/win/graphics.h"
#include "framework/win/handles.h"
#include "themed/core/te_colors.h"
#include "themed/core/te_pixels.h"

namespace te {

class TteBitmap : public fw::TPersistent {
 public:
  TteBitmap();
  ~TteBitmap() override;
  TteBitmap(const TteBitmap&) = delete;
  TteBitmap& operator=(const TteBitmap&) = delete;
  static const fw::TClassInfo& StaticClassInfo();
  const fw::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  // The pixels, top row first; null while the bitmap is empty.
  TteColor* Bits() const { return bits_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  std::string Name;
  bool AlphaBlend = false;
  bool Transparent = false;  // ignored when AlphaBlend is set

  HBITMAP Handle() const { return handle_.get(); }
  HDC DC() const { return dc_.get(); }
  const BITMAPINFO& BitmapInfo() const { return info_; }

  // Absolute values; 0 or the current size change nothing. Throws
  // fw::EOutOfResources with "Can't allocate the DIB handle", "Can't create
  // compatible DC" or "Can't select an object into DC", leaving the bitmap empty.
  void SetSize(int w, int h);
  bool Empty() const { return !handle_; }

  void Fill(TteColor color);
  void FillRect(fw::TRect r, TteColor color);
  void SetAlpha(std::uint8_t a);
  void SetAlphaRect(std::uint8_t a, fw::TRect r);
  void CheckAlpha();
  void SetTransparentColor(TteColor color);
  TteColor* ScanLine(int y) const { return bits_ + std::ptrdiff_t(y) * width_; }
  TteColor* PixelPtr(int x, int y) const { return bits_ + std::ptrdiff_t(y) * width_ + x; }
  void SetPixel(int x, int y, TteColor color);

  void Draw(HDC dc, int x, int y);
  void DrawRect(HDC dc, int x, int y, const fw::TRect& src);
  void StretchDraw(HDC dc, const fw::TRect& dest, const fw::TRect& src);
  void Draw(fw::TCanvas& canvas, int x, int y);
  void StretchDraw(fw::TCanvas& canvas, const fw::TRect& dest);
  void StretchDraw(fw::TCanvas& canvas, const fw::TRect& dest, const fw::TRect& src);
  void Draw(TteBitmap& target, int x, int y);
  void DrawRect(TteBitmap& target, int x, int y, const fw::TRect& src);
  void StretchDraw(TteBitmap& target, const fw::TRect& dest, const fw::TRect& src);

  // Called on the target: source pixels go beneath this bitmap's partly transparent ones.
  void MergeBelow(const TteBitmap& source, int x, int y, fw::TRect src);

  void Assign(const fw::TPersistent& source) override;
  void AssignTo(fw::TPersistent& dest) const override;
  // Paints g into r of a magenta sheet and takes every pixel that is not magenta.
  void LoadFromGraphic(fw::TGraphic& g, const fw::TRect& r);

 private:
  void Release();
  // Destroyed in the reverse order: the DIB section leaves the device context
  // before the context goes, and the context before the DIB section.
  fw::UniqueBitmap handle_;
  fw::UniqueMemoryDc dc_;
  std::optional<fw::ScopedSelectObject> selected_;
  TteColor* bits_ = nullptr;
  int width_ = 0, height_ = 0;
  BITMAPINFO info_{};
};

// The first listed bitmap whose device context is dc, or nullptr.
TteBitmap* FindBitmapByDC(HDC dc);

// The framework colour resolved (system colours included) with the given alpha.
TteColor ColorToTeColor(fw::TColor color, std::uint8_t alpha);

// True when the screen has at least 24 bits per pixel.
bool TrueColorScreen();

// The unit's start and exit steps: the pixel routines by the processor test,
// the keyed GDI route by TransparentBlt's presence and the screen depth.
void InitBitmapUnit();
void FinalizeBitmapUnit();

}  // namespace te
