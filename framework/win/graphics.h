// Canvas, pens, brushes, fonts and pictures over GDI. Every GDI object is
// owned by the wrapper that created it and freed with it.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "framework/core/persistent.h"
#include "framework/core/types.h"
#include "framework/win/handles.h"

namespace fw {

// Resolves system-colour references to their current RGB value.
COLORREF ColorToRGB(TColor c);

enum TFontStyle : std::uint32_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
enum class TFontPitch { fpDefault, fpVariable, fpFixed };
enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

// A graphic attribute (font, pen, brush) with its GDI object made on demand.
// A change that invalidates the object first tells the canvas that selected it
// (which puts its device context's own object back), then frees the object,
// then fires OnChange: Windows refuses to delete an object that is selected.
class TGraphicsObject : public TPersistent {
 public:
  TNotifyEvent OnChange;
 protected:
  void Changed();
  void HandleFreeing() { if (beforeHandleFree_) beforeHandleFree_(); }
 private:
  friend class TCanvas;
  std::function<void()> beforeHandleFree_;
};

class TFont : public TGraphicsObject {
 public:
  TFont();
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  void Assign(const TPersistent& source) override;

  HFONT Handle();
  std::wstring Name() const { return name_; }
  void SetName(const std::wstring& v);
  int Height() const { return height_; }  // negative: character height in pixels
  void SetHeight(int v);
  int Size() const;                       // points at the font's pixels per inch
  void SetSize(int points);
  std::uint32_t Style() const { return style_; }
  void SetStyle(std::uint32_t v);
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  int Charset() const { return charset_; }
  void SetCharset(int v);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch v);
  int PixelsPerInch() const { return ppi_; }
  void SetPixelsPerInch(int v) { ppi_ = v; }
  bool SameAs(const TFont& o) const;

 private:
  void Modified();
  std::wstring name_ = L"MS Sans Serif";
  int height_ = -11;
  std::uint32_t style_ = 0;
  TColor color_ = clWindowText;
  int charset_ = DEFAULT_CHARSET;
  TFontPitch pitch_ = TFontPitch::fpDefault;
  int ppi_ = 96;
  UniqueFont handle_;
};

class TPen : public TGraphicsObject {
 public:
  HPEN Handle();
  TColor Color() const { return color_; }
  void SetColor(TColor v) { if (v != color_) { color_ = v; Modified(); } }
  int Width() const { return width_; }
  void SetWidth(int v) { if (v != width_) { width_ = v; Modified(); } }
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle v) { if (v != style_) { style_ = v; Modified(); } }
  void Assign(const TPersistent& source) override;
 private:
  void Modified() { HandleFreeing(); handle_.reset(); Changed(); }
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = TPenStyle::psSolid;
  UniquePen handle_;
};

class TBrush : public TGraphicsObject {
 public:
  HBRUSH Handle();
  TColor Color() const { return color_; }
  void SetColor(TColor v) { if (v != color_) { color_ = v; Modified(); } }
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle v) { if (v != style_) { style_ = v; Modified(); } }
  void Assign(const TPersistent& source) override;
 private:
  void Modified() { HandleFreeing(); handle_.reset(); Changed(); }
  TColor color_ = clWhite;
  TBrushStyle style_ = TBrushStyle::bsSolid;
  UniqueBrush handle_;
};

class TGraphic;

// Draws on a device context that someone else owns (a paint DC, a memory DC).
// The canvas selects its font, pen and brush into the DC when it first needs
// them and puts the DC's own objects back when the handle changes.
class TCanvas : public TPersistent {
 public:
  TCanvas();
  ~TCanvas() override;
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  HDC Handle() { if (!dc_) CreateHandle(); return dc_; }
  HDC HandleNoCreate() const { return dc_; }
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return dc_ != nullptr; }

  TFont& Font() { return font_; }
  TPen& Pen() { return pen_; }
  TBrush& Brush() { return brush_; }

  // Lock/Unlock mark the canvas as in use by a drawing pass; locks nest.
  void Lock() { ++lockCount_; }
  void Unlock() { if (lockCount_ > 0) --lockCount_; }
  int LockCount() const { return lockCount_; }

  TPoint PenPos();
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
  void Polygon(const TPoint* points, int count);
  void FillRect(const TRect& r);
  void FrameRect(const TRect& r);
  void DrawFocusRect(const TRect& r);
  void TextOut(int x, int y, const std::string& text);     // system code page
  void TextOutW(int x, int y, const std::wstring& text);
  TPoint TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).X; }
  int TextHeight(const std::string& text) { return TextExtent(text).Y; }
  TColor Pixel(int x, int y);
  void SetPixel(int x, int y, TColor c);
  void Draw(int x, int y, TGraphic* g);
  void StretchDraw(const TRect& r, TGraphic* g);
  void CopyRect(const TRect& dest, TCanvas& src, const TRect& srcRect);

  // Puts the DC's own font, pen and brush back; the next use selects the
  // canvas's again. Needed around anything that restores a DC's objects behind
  // the canvas's back (RestoreDC).
  void Refresh() { DeselectHandles(); }

  // Select the font, pen or brush into the DC, for code that draws on Handle() itself.
  void RequireFont();
  void RequirePen();
  void RequireBrush();

 protected:
  virtual void CreateHandle() {}

 private:
  void DeselectHandles();
  HDC dc_ = nullptr;
  TFont font_;
  TPen pen_;
  TBrush brush_;
  HGDIOBJ oldFont_ = nullptr, oldPen_ = nullptr, oldBrush_ = nullptr;
  bool fontSelected_ = false, penSelected_ = false, brushSelected_ = false;
  int lockCount_ = 0;
};

// Binds a canvas to a device context for one drawing pass: locked and bound
// here, unbound and unlocked when the pass ends, exceptions included.
class TCanvasBinding {
 public:
  TCanvasBinding(TCanvas& canvas, HDC dc) : canvas_(canvas), previous_(canvas.HandleNoCreate()) {
    canvas_.Lock();
    canvas_.SetHandle(dc);
  }
  ~TCanvasBinding() {
    canvas_.SetHandle(previous_);
    canvas_.Unlock();
  }
  TCanvasBinding(const TCanvasBinding&) = delete;
  TCanvasBinding& operator=(const TCanvasBinding&) = delete;

 private:
  TCanvas& canvas_;
  HDC previous_;
};

// SaveDC / RestoreDC of a canvas's DC (clipping, origins) around a drawing
// pass, the canvas's own selections dropped at both ends so that they stay
// true after RestoreDC puts back the objects of the saved state.
class TScopedCanvasState {
 public:
  explicit TScopedCanvasState(TCanvas& canvas) : canvas_(canvas), dc_(canvas.Handle()) {
    canvas_.Refresh();
    id_ = ::SaveDC(dc_);
  }
  ~TScopedCanvasState() {
    if (canvas_.HandleNoCreate() == dc_) canvas_.Refresh();
    if (id_) ::RestoreDC(dc_, id_);
  }
  TScopedCanvasState(const TScopedCanvasState&) = delete;
  TScopedCanvasState& operator=(const TScopedCanvasState&) = delete;

 private:
  TCanvas& canvas_;
  HDC dc_;
  int id_ = 0;
};

// A picture that can be drawn on a canvas and kept in a layout stream.
class TGraphic : public TPersistent {
 public:
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual bool Empty() const = 0;
  virtual void Draw(TCanvas& canvas, const TRect& r) = 0;
  virtual void LoadFromBytes(const TBytes& data) = 0;
  virtual TBytes SaveToBytes() const = 0;
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v) { transparent_ = v; }
  TNotifyEvent OnChange;
 protected:
  void Changed() { if (OnChange) OnChange(this); }
 private:
  bool transparent_ = false;
};

enum class TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };

// A bitmap with its own memory DC and canvas. pfDevice bitmaps are compatible
// with the screen; pf24bit and pf32bit are top-down DIB sections whose bits can be read.
class TBitmap : public TGraphic {
 public:
  TBitmap();
  ~TBitmap() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  bool Empty() const override { return !bitmap_; }
  void SetSize(int w, int h);
  void SetWidth(int w) { SetSize(w, height_); }
  void SetHeight(int h) { SetSize(width_, h); }
  TPixelFormat PixelFormat() const { return format_; }
  void SetPixelFormat(TPixelFormat f);
  HBITMAP Handle() const { return bitmap_.get(); }
  TCanvas& Canvas();
  // Row y of a DIB section (pf24bit, pf32bit), top-down; nullptr otherwise.
  std::uint8_t* ScanLine(int y);
  void Draw(TCanvas& canvas, const TRect& r) override;
  void LoadFromBytes(const TBytes& data) override;  // a BMP file image
  TBytes SaveToBytes() const override;
  void Assign(const TPersistent& source) override;
  // Copies 24-bit BGR pixels, top-down, into a pf24bit bitmap of their size.
  void SetPixels24(int w, int h, const std::uint8_t* bgr);
  // Takes ownership of a device bitmap (LoadBitmap's, say): pfDevice, its size.
  void AdoptHandle(HBITMAP h);

 private:
  void Recreate(int w, int h);
  int width_ = 0, height_ = 0;
  TPixelFormat format_ = TPixelFormat::pfDevice;
  UniqueBitmap bitmap_;
  void* bits_ = nullptr;
  int stride_ = 0;
  class TBitmapCanvas;
  std::unique_ptr<TBitmapCanvas> canvas_;
};

// A JPEG picture: keeps the original bytes, decodes them with libjpeg on load.
class TJPEGImage : public TGraphic {
 public:
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  int Width() const override { return bitmap_.Width(); }
  int Height() const override { return bitmap_.Height(); }
  bool Empty() const override { return data_.empty(); }
  void Draw(TCanvas& canvas, const TRect& r) override;
  void LoadFromBytes(const TBytes& data) override;
  TBytes SaveToBytes() const override { return data_; }
  TBitmap& Bitmap() { return bitmap_; }
  void Assign(const TPersistent& source) override;

 private:
  TBytes data_;
  TBitmap bitmap_;
};

// Holds one graphic of any registered kind. Its stored "Data" is the
// graphic's class name (one length byte, then the name) followed by its bytes.
class TPicture : public TPersistent {
 public:
  TPicture();
  ~TPicture() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  TGraphic* Graphic() const { return graphic_.get(); }
  void SetGraphic(std::unique_ptr<TGraphic> g);
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }
  TBytes Data() const;
  void SetData(const TBytes& data);
  void Assign(const TPersistent& source) override;
  TNotifyEvent OnChange;

 private:
  void Changed();
  std::unique_ptr<TGraphic> graphic_;
};

}  // namespace fw
