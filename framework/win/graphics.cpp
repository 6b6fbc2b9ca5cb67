#include "framework/win/graphics.h"

#include <cstring>
#include <stdexcept>

#include "framework/core/exception.h"
#include "framework/core/idents.h"
#include "framework/core/jpeg_decoder.h"
#include "framework/core/stored_pictures.h"

namespace fw {

COLORREF ColorToRGB(TColor c) {
  if (IsSystemColor(c)) return ::GetSysColor(int(c & 0xFF));
  return COLORREF(c & 0x00FFFFFFu);
}

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

// ---- TFont ------------------------------------------------------------------

TFont::TFont() = default;

const TClassInfo& TFont::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TFont", &TPersistent::StaticClassInfo());
    auto charset = IntProp<TFont, int>("Charset", &TFont::Charset, &TFont::SetCharset);
    charset.IntToIdent = CharsetToIdent;
    charset.IdentToInt = IdentToCharset;
    i.Add(std::move(charset));
    auto color = IntProp<TFont, TColor>("Color", &TFont::Color, &TFont::SetColor);
    color.IntToIdent = ColorToIdent;
    color.IdentToInt = IdentToColor;
    i.Add(std::move(color));
    i.Add(IntProp<TFont, int>("Height", &TFont::Height, &TFont::SetHeight));
    i.Add(StringProp<TFont, std::wstring>("Name", &TFont::Name, &TFont::SetName));
    i.Add(SetProp<TFont>("Style", &TFont::Style, &TFont::SetStyle, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}));
    return i;
  }();
  return info;
}

void TFont::Assign(const TPersistent& source) {
  if (auto* f = dynamic_cast<const TFont*>(&source)) {
    if (SameAs(*f)) return;
    name_ = f->name_; height_ = f->height_; style_ = f->style_; color_ = f->color_;
    charset_ = f->charset_; pitch_ = f->pitch_; ppi_ = f->ppi_;
    Modified();
    return;
  }
  TPersistent::Assign(source);
}

bool TFont::SameAs(const TFont& o) const {
  return name_ == o.name_ && height_ == o.height_ && style_ == o.style_ && color_ == o.color_ &&
         charset_ == o.charset_ && pitch_ == o.pitch_;
}

void TFont::Modified() {
  HandleFreeing();
  handle_.reset();
  Changed();
}

HFONT TFont::Handle() {
  if (!handle_) {
    LOGFONTW lf{};
    lf.lfHeight = height_;
    lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (style_ & fsItalic) ? 1 : 0;
    lf.lfUnderline = (style_ & fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = (style_ & fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = BYTE(charset_);
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = pitch_ == TFontPitch::fpFixed ? FIXED_PITCH : pitch_ == TFontPitch::fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
    wcsncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
    handle_.reset(::CreateFontIndirectW(&lf));
    if (!handle_) throw EOutOfResources("Out of system resources");
  }
  return handle_.get();
}

void TFont::SetName(const std::wstring& v) { if (v != name_) { name_ = v; Modified(); } }
void TFont::SetHeight(int v) { if (v != height_) { height_ = v; Modified(); } }
int TFont::Size() const { return -MulDiv(height_, 72, ppi_); }
void TFont::SetSize(int points) { SetHeight(-MulDiv(points, ppi_, 72)); }
void TFont::SetStyle(std::uint32_t v) { if (v != style_) { style_ = v; Modified(); } }
void TFont::SetColor(TColor v) { if (v != color_) { color_ = v; Changed(); } }  // colour is not part of the HFONT
void TFont::SetCharset(int v) { if (v != charset_) { charset_ = v; Modified(); } }
void TFont::SetPitch(TFontPitch v) { if (v != pitch_) { pitch_ = v; Modified(); } }

// ---- TPen, TBrush -------------------------------------------------------------

HPEN TPen::Handle() {
  if (!handle_) {
    static constexpr int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    handle_.reset(::CreatePen(styles[int(style_)], width_, ColorToRGB(color_)));
    if (!handle_) throw EOutOfResources("Out of system resources");
  }
  return handle_.get();
}

void TPen::Assign(const TPersistent& source) {
  if (auto* p = dynamic_cast<const TPen*>(&source)) {
    color_ = p->color_; width_ = p->width_; style_ = p->style_;
    Modified();
    return;
  }
  TPersistent::Assign(source);
}

HBRUSH TBrush::Handle() {
  if (!handle_) {
    HBRUSH h;
    switch (style_) {
      case TBrushStyle::bsSolid: h = ::CreateSolidBrush(ColorToRGB(color_)); break;
      case TBrushStyle::bsClear: h = HBRUSH(::GetStockObject(NULL_BRUSH)); break;
      default: h = ::CreateHatchBrush(int(style_) - 2, ColorToRGB(color_)); break;
    }
    if (!h) throw EOutOfResources("Out of system resources");
    handle_.reset(h);  // deleting a stock object is a no-op
  }
  return handle_.get();
}

void TBrush::Assign(const TPersistent& source) {
  if (auto* b = dynamic_cast<const TBrush*>(&source)) {
    color_ = b->color_; style_ = b->style_;
    Modified();
    return;
  }
  TPersistent::Assign(source);
}

// ---- TCanvas ------------------------------------------------------------------

TCanvas::TCanvas() {
  // Before an attribute's object is freed the DC gets its own back; the new
  // object is selected at its next use.
  font_.beforeHandleFree_ = [this] { if (dc_ && fontSelected_) { ::SelectObject(dc_, oldFont_); fontSelected_ = false; } };
  pen_.beforeHandleFree_ = [this] { if (dc_ && penSelected_) { ::SelectObject(dc_, oldPen_); penSelected_ = false; } };
  brush_.beforeHandleFree_ = [this] { if (dc_ && brushSelected_) { ::SelectObject(dc_, oldBrush_); brushSelected_ = false; } };
}

TCanvas::~TCanvas() { DeselectHandles(); }

void TCanvas::DeselectHandles() {
  if (!dc_) return;
  if (fontSelected_) ::SelectObject(dc_, oldFont_);
  if (penSelected_) ::SelectObject(dc_, oldPen_);
  if (brushSelected_) ::SelectObject(dc_, oldBrush_);
  fontSelected_ = penSelected_ = brushSelected_ = false;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == dc_) return;
  DeselectHandles();
  dc_ = dc;
}

void TCanvas::RequireFont() {
  HDC dc = Handle();
  if (!fontSelected_) {
    HFONT f = font_.Handle();
    oldFont_ = ::SelectObject(dc, f);
    fontSelected_ = true;
  }
  ::SetTextColor(dc, ColorToRGB(font_.Color()));
}

void TCanvas::RequirePen() {
  HDC dc = Handle();
  if (!penSelected_) {
    oldPen_ = ::SelectObject(dc, pen_.Handle());
    penSelected_ = true;
  }
}

void TCanvas::RequireBrush() {
  HDC dc = Handle();
  if (!brushSelected_) {
    oldBrush_ = ::SelectObject(dc, brush_.Handle());
    brushSelected_ = true;
  }
  ::SetBkColor(dc, ColorToRGB(brush_.Color()));
  ::SetBkMode(dc, brush_.Style() == TBrushStyle::bsSolid ? OPAQUE : TRANSPARENT);
}

TPoint TCanvas::PenPos() {
  POINT p{};
  ::GetCurrentPositionEx(Handle(), &p);
  return {p.x, p.y};
}

void TCanvas::MoveTo(int x, int y) { ::MoveToEx(Handle(), x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
  RequirePen();
  ::LineTo(Handle(), x, y);
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  RequirePen();
  RequireBrush();
  ::Rectangle(Handle(), x1, y1, x2, y2);
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
  RequirePen();
  RequireBrush();
  ::RoundRect(Handle(), x1, y1, x2, y2, x3, y3);
}

void TCanvas::Polygon(const TPoint* points, int count) {
  RequirePen();
  RequireBrush();
  static_assert(sizeof(TPoint) == sizeof(POINT));
  ::Polygon(Handle(), reinterpret_cast<const POINT*>(points), count);
}

void TCanvas::FillRect(const TRect& r) {
  RequireBrush();
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  ::FillRect(Handle(), &rc, brush_.Handle());
}

void TCanvas::FrameRect(const TRect& r) {
  RequireBrush();
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  ::FrameRect(Handle(), &rc, brush_.Handle());
}

void TCanvas::DrawFocusRect(const TRect& r) {
  RequireBrush();
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  ::DrawFocusRect(Handle(), &rc);
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  RequireFont();
  RequireBrush();
  ::TextOutA(Handle(), x, y, text.data(), int(text.size()));
}

void TCanvas::TextOutW(int x, int y, const std::wstring& text) {
  RequireFont();
  RequireBrush();
  ::TextOutW(Handle(), x, y, text.data(), int(text.size()));
}

TPoint TCanvas::TextExtent(const std::string& text) {
  RequireFont();
  SIZE s{};
  ::GetTextExtentPoint32A(Handle(), text.data(), int(text.size()), &s);
  return {s.cx, s.cy};
}

TColor TCanvas::Pixel(int x, int y) { return TColor(::GetPixel(Handle(), x, y)); }

void TCanvas::SetPixel(int x, int y, TColor c) { ::SetPixel(Handle(), x, y, ColorToRGB(c)); }

void TCanvas::Draw(int x, int y, TGraphic* g) {
  if (g && !g->Empty()) g->Draw(*this, Bounds(x, y, g->Width(), g->Height()));
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* g) {
  if (g && !g->Empty()) g->Draw(*this, r);
}

void TCanvas::CopyRect(const TRect& d, TCanvas& src, const TRect& s) {
  ::StretchBlt(Handle(), d.Left, d.Top, d.Width(), d.Height(), src.Handle(), s.Left, s.Top, s.Width(), s.Height(),
               SRCCOPY);
}

// ---- TBitmap ------------------------------------------------------------------

// The bitmap's canvas draws on a memory DC that holds the bitmap selected.
class TBitmap::TBitmapCanvas : public TCanvas {
 public:
  explicit TBitmapCanvas(TBitmap& owner) : owner_(owner) {}
  ~TBitmapCanvas() override { Release(); }
  void Release() {
    if (!memDc_) return;
    SetHandle(nullptr);
    if (oldBitmap_) ::SelectObject(memDc_.get(), oldBitmap_);
    oldBitmap_ = nullptr;
    memDc_.reset();
  }

 protected:
  void CreateHandle() override {
    memDc_.reset(::CreateCompatibleDC(nullptr));
    if (!memDc_) throw EOutOfResources("Out of system resources");
    if (owner_.bitmap_) oldBitmap_ = ::SelectObject(memDc_.get(), owner_.bitmap_.get());
    SetHandle(memDc_.get());
  }

 private:
  TBitmap& owner_;
  UniqueMemoryDc memDc_;
  HGDIOBJ oldBitmap_ = nullptr;
};

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() { canvas_.reset(); }

const TClassInfo& TBitmap::StaticClassInfo() {
  static const TClassInfo info = [] {
    // A bitmap property is stored as its BMP file image.
    TClassInfo i("TBitmap", &TPersistent::StaticClassInfo());
    TPropInfo data;
    data.Name = "Data";
    data.Kind = TPropKind::Binary;
    data.Get = [](const TPersistent& o) { return TPropValue(static_cast<const TBitmap&>(o).SaveToBytes()); };
    data.Set = [](TPersistent& o, const TPropValue& v) {
      const auto& bytes = std::get<TBytes>(v);
      if (bytes.empty()) static_cast<TBitmap&>(o).SetSize(0, 0);
      else static_cast<TBitmap&>(o).LoadFromBytes(bytes);
    };
    data.Stored = [](const TPersistent& o) { return !static_cast<const TBitmap&>(o).Empty(); };
    i.Add(std::move(data));
    return i;
  }();
  return info;
}

void TBitmap::AdoptHandle(HBITMAP h) {
  if (canvas_) canvas_->Release();
  bitmap_.reset(h);
  bits_ = nullptr;
  stride_ = 0;
  format_ = TPixelFormat::pfDevice;
  BITMAP bm{};
  if (h && ::GetObjectW(h, sizeof bm, &bm)) {
    width_ = bm.bmWidth;
    height_ = bm.bmHeight;
  } else {
    width_ = height_ = 0;
    bitmap_.reset();
  }
  Changed();
}

TCanvas& TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TBitmapCanvas>(*this);
  return *canvas_;
}

void TBitmap::Recreate(int w, int h) {
  if (canvas_) canvas_->Release();
  bitmap_.reset();
  bits_ = nullptr;
  stride_ = 0;
  width_ = w < 0 ? 0 : w;
  height_ = h < 0 ? 0 : h;
  if (width_ == 0 || height_ == 0) { Changed(); return; }
  if (format_ == TPixelFormat::pf24bit || format_ == TPixelFormat::pf32bit) {
    const int bpp = format_ == TPixelFormat::pf24bit ? 24 : 32;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width_;
    bi.bmiHeader.biHeight = -height_;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = WORD(bpp);
    bi.bmiHeader.biCompression = BI_RGB;
    bitmap_.reset(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0));
    stride_ = ((width_ * bpp + 31) / 32) * 4;
  } else {
    ScopedGetDC screen(nullptr);
    bitmap_.reset(::CreateCompatibleBitmap(screen.get(), width_, height_));
  }
  if (!bitmap_) {
    width_ = height_ = 0;
    bits_ = nullptr;
    throw EOutOfResources("Out of system resources");
  }
  Changed();
}

void TBitmap::SetSize(int w, int h) {
  if (w == width_ && h == height_ && (bitmap_ || w == 0 || h == 0)) return;
  Recreate(w, h);
}

void TBitmap::SetPixelFormat(TPixelFormat f) {
  if (f == format_) return;
  format_ = f;
  if (bitmap_) Recreate(width_, height_);
}

std::uint8_t* TBitmap::ScanLine(int y) {
  if (!bits_ || y < 0 || y >= height_) return nullptr;
  ::GdiFlush();
  return static_cast<std::uint8_t*>(bits_) + size_t(y) * stride_;
}

void TBitmap::SetPixels24(int w, int h, const std::uint8_t* bgr) {
  format_ = TPixelFormat::pf24bit;
  Recreate(w, h);
  for (int y = 0; y < h; ++y) std::memcpy(ScanLine(y), bgr + size_t(y) * w * 3, size_t(w) * 3);
  Changed();
}

void TBitmap::Draw(TCanvas& canvas, const TRect& r) {
  if (!bitmap_) return;
  HDC dst = canvas.Handle();
  HDC src = Canvas().Handle();
  if (r.Width() == width_ && r.Height() == height_) {
    ::BitBlt(dst, r.Left, r.Top, width_, height_, src, 0, 0, SRCCOPY);
  } else {
    // Shrinking averages (halftone); enlarging replicates pixels, which loses nothing.
    const bool shrinking = r.Width() < width_ || r.Height() < height_;
    POINT org;
    int oldMode = ::SetStretchBltMode(dst, shrinking ? HALFTONE : COLORONCOLOR);
    ::SetBrushOrgEx(dst, 0, 0, &org);
    ::StretchBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, width_, height_, SRCCOPY);
    ::SetBrushOrgEx(dst, org.x, org.y, nullptr);
    ::SetStretchBltMode(dst, oldMode);
  }
}

void TBitmap::LoadFromBytes(const TBytes& data) {
  const TBmpLayout bmp = ParseBmp(data.data(), data.size());
  format_ = bmp.BitCount == 24 ? TPixelFormat::pf24bit : TPixelFormat::pf32bit;
  Recreate(bmp.Width, bmp.Height);
  for (int y = 0; y < bmp.Height; ++y) std::memcpy(ScanLine(y), data.data() + bmp.RowOffset(y), bmp.Stride);
  Changed();
}

TBytes TBitmap::SaveToBytes() const {
  if (!bitmap_) return {};
  // Written as a bottom-up 24-bit BMP.
  const int stride = ((width_ * 24 + 31) / 32) * 4;
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{};
  ih.biSize = sizeof ih;
  ih.biWidth = width_;
  ih.biHeight = height_;
  ih.biPlanes = 1;
  ih.biBitCount = 24;
  ih.biCompression = BI_RGB;
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof ih;
  fh.bfSize = DWORD(fh.bfOffBits + size_t(stride) * height_);
  TBytes out(fh.bfSize);
  std::memcpy(out.data(), &fh, sizeof fh);
  std::memcpy(out.data() + sizeof fh, &ih, sizeof ih);
  BITMAPINFO bi{};
  bi.bmiHeader = ih;
  ScopedGetDC screen(nullptr);
  ::GetDIBits(screen.get(), bitmap_.get(), 0, UINT(height_), out.data() + fh.bfOffBits, &bi, DIB_RGB_COLORS);
  return out;
}

void TBitmap::Assign(const TPersistent& source) {
  if (auto* b = dynamic_cast<const TBitmap*>(&source)) {
    if (b == this) return;
    format_ = b->format_;
    Recreate(b->width_, b->height_);
    if (bitmap_) {
      auto& src = const_cast<TBitmap&>(*b);
      ::BitBlt(Canvas().Handle(), 0, 0, width_, height_, src.Canvas().Handle(), 0, 0, SRCCOPY);
    }
    SetTransparent(b->Transparent());
    Changed();
    return;
  }
  if (auto* j = dynamic_cast<const TJPEGImage*>(&source)) {
    Assign(const_cast<TJPEGImage*>(j)->Bitmap());
    return;
  }
  TGraphic::Assign(source);
}

// ---- TJPEGImage -----------------------------------------------------------------

const TClassInfo& TJPEGImage::StaticClassInfo() {
  static const TClassInfo info("TJPEGImage", &TPersistent::StaticClassInfo());
  return info;
}

void TJPEGImage::LoadFromBytes(const TBytes& data) {
  TDecodedImage img = DecodeJpeg(data.data(), data.size());
  bitmap_.SetPixels24(img.Width, img.Height, img.Bgr.data());
  data_ = data;
  Changed();
}

void TJPEGImage::Draw(TCanvas& canvas, const TRect& r) { bitmap_.Draw(canvas, r); }

void TJPEGImage::Assign(const TPersistent& source) {
  if (auto* j = dynamic_cast<const TJPEGImage*>(&source)) {
    if (j != this) LoadFromBytes(j->data_);
    return;
  }
  TGraphic::Assign(source);
}

// ---- TPicture -------------------------------------------------------------------

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

const TClassInfo& TPicture::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TPicture", &TPersistent::StaticClassInfo());
    TPropInfo data;
    data.Name = "Data";
    data.Kind = TPropKind::Binary;
    data.Get = [](const TPersistent& o) { return TPropValue(static_cast<const TPicture&>(o).Data()); };
    data.Set = [](TPersistent& o, const TPropValue& v) { static_cast<TPicture&>(o).SetData(std::get<TBytes>(v)); };
    data.Stored = [](const TPersistent& o) {
      auto* g = static_cast<const TPicture&>(o).Graphic();
      return g && !g->Empty();
    };
    i.Add(std::move(data));
    return i;
  }();
  return info;
}

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> g) {
  graphic_ = std::move(g);
  if (graphic_) graphic_->OnChange = [this](TObject*) { Changed(); };
  Changed();
}

TBytes TPicture::Data() const {
  if (!graphic_) return {};
  const std::string name = graphic_->ClassName();
  TBytes out;
  out.push_back(std::uint8_t(name.size()));
  out.insert(out.end(), name.begin(), name.end());
  TBytes body = graphic_->SaveToBytes();
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

void TPicture::SetData(const TBytes& data) {
  if (data.empty()) { SetGraphic(nullptr); return; }
  const TStoredPicture stored = SplitPictureData(data.data(), data.size());
  const TBytes body(stored.Body, stored.Body + stored.BodySize);
  std::unique_ptr<TGraphic> g;
  if (stored.ClassName == "TJPEGImage") g = std::make_unique<TJPEGImage>();
  else if (stored.ClassName == "TBitmap") g = std::make_unique<TBitmap>();
  else throw EInvalidGraphic("Unknown picture file extension (" + stored.ClassName + ")");
  g->LoadFromBytes(body);
  SetGraphic(std::move(g));
}

void TPicture::Assign(const TPersistent& source) {
  if (auto* p = dynamic_cast<const TPicture*>(&source)) {
    if (p == this) return;
    SetData(p->Data());
    return;
  }
  if (auto* j = dynamic_cast<const TJPEGImage*>(&source)) {
    auto g = std::make_unique<TJPEGImage>();
    g->Assign(*j);
    SetGraphic(std::move(g));
    return;
  }
  if (auto* b = dynamic_cast<const TBitmap*>(&source)) {
    auto g = std::make_unique<TBitmap>();
    g->Assign(*b);
    SetGraphic(std::move(g));
    return;
  }
  TPersistent::Assign(source);
}

}  // namespace fw
