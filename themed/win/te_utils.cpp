#include "themed/win/te_utils.h"

#include <cmath>

#include "framework/win/handles.h"
#include "framework/win/sysutils.h"
#include "themed/win/te_bitmap.h"
#include "themed/win/te_winapi.h"

namespace te {

namespace {
int gCaptureCount = 0;
HWND gCaptureWindow = nullptr;
int gScreenPixelFormat = 0;

void SolidPen(fw::TCanvas& c, fw::TColor color) {
  c.Pen().SetStyle(fw::TPenStyle::psSolid);
  c.Pen().SetColor(color);
}
}  // namespace

void LineToColor(fw::TCanvas& canvas, int x, int y, fw::TColor color) {
  SolidPen(canvas, color);
  canvas.LineTo(x, y);
}

void DrawFrame3D(fw::TCanvas& canvas, const fw::TRect& r, fw::TColor topLeft, fw::TColor bottomRight) {
  canvas.Brush().SetStyle(fw::TBrushStyle::bsClear);
  SolidPen(canvas, topLeft);
  canvas.MoveTo(r.Left, r.Bottom - 2);
  canvas.LineTo(r.Left, r.Top);
  canvas.LineTo(r.Right - 1, r.Top);
  canvas.Pen().SetColor(bottomRight);
  canvas.MoveTo(r.Right - 1, r.Top);
  canvas.LineTo(r.Right - 1, r.Bottom - 1);
  canvas.LineTo(r.Left - 1, r.Bottom - 1);
}

void DrawRectOutline(fw::TCanvas& canvas, const fw::TRect& r, fw::TColor color) {
  DrawRectOutline(canvas, r.Left, r.Top, r.Right, r.Bottom, color);
}

void DrawRectOutline(fw::TCanvas& canvas, int x1, int y1, int x2, int y2, fw::TColor color) {
  canvas.Brush().SetStyle(fw::TBrushStyle::bsClear);
  SolidPen(canvas, color);
  canvas.Rectangle(x1, y1, x2, y2);
}

void DrawFocusRectColor(fw::TCanvas& canvas, const fw::TRect& r, fw::TColor color) {
  canvas.Brush().SetStyle(fw::TBrushStyle::bsSolid);
  canvas.Brush().SetColor(color);
  canvas.DrawFocusRect(r);
}

void FillRectColor(fw::TCanvas& canvas, const fw::TRect& r, fw::TColor color) {
  canvas.Brush().SetStyle(fw::TBrushStyle::bsSolid);
  canvas.Brush().SetColor(color);
  canvas.FillRect(r);
}

void FillRectColor(fw::TCanvas& canvas, int x1, int y1, int x2, int y2, fw::TColor color) {
  FillRectColor(canvas, fw::Rect(x1, y1, x2, y2), color);
}

void DrawRoundRectOutline(fw::TCanvas& canvas, const fw::TRect& r, int radius, fw::TColor color) {
  canvas.Brush().SetStyle(fw::TBrushStyle::bsClear);
  SolidPen(canvas, color);
  canvas.RoundRect(r.Left, r.Top, r.Right, r.Bottom, radius, radius);
}

void FillRoundRect(fw::TCanvas& canvas, const fw::TRect& r, int radius, fw::TColor color) {
  canvas.Brush().SetStyle(fw::TBrushStyle::bsSolid);
  canvas.Brush().SetColor(color);
  canvas.Pen().SetColor(color);
  canvas.RoundRect(r.Left, r.Top, r.Right, r.Bottom, radius, radius);
}

void DrawPolygonOutline(fw::TCanvas& canvas, const std::vector<fw::TPoint>& points, fw::TColor color) {
  canvas.Brush().SetStyle(fw::TBrushStyle::bsClear);
  SolidPen(canvas, color);
  canvas.Polygon(points.data(), int(points.size()));
}

void FillPolygon(fw::TCanvas& canvas, const std::vector<fw::TPoint>& points, fw::TColor color) {
  canvas.Brush().SetStyle(fw::TBrushStyle::bsSolid);
  canvas.Brush().SetColor(color);
  SolidPen(canvas, color);
  canvas.Polygon(points.data(), int(points.size()));
}

void FillGradient(fw::TCanvas& canvas, const fw::TRect& r, fw::TColor start, fw::TColor end, bool vertical) {
  if (RectWidth(r) <= 0 || RectHeight(r) <= 0) return;
  const int extent = vertical ? RectHeight(r) : RectWidth(r);
  const int n = extent < 255 ? extent : 255;
  const COLORREF s = fw::ColorToRGB(start), e = fw::ColorToRGB(end);
  auto channel = [n](int k, int sc, int ec) {
    return int(std::nearbyint(((double(k) * (ec - sc) * 255.0) / n + sc * 255.0) / 255.0));
  };
  HDC dc = canvas.Handle();
  const int origin = vertical ? r.Top : r.Left;
  for (int k = 0; k <= n; ++k) {
    const int a = origin + fw::MulDiv(k, extent, n), b = origin + fw::MulDiv(k + 1, extent, n);
    RECT band = vertical ? RECT{r.Left, a, r.Right, b} : RECT{a, r.Top, b, r.Bottom};
    if (k == 0 || k == n) {
      const RECT bounds{r.Left, r.Top, r.Right, r.Bottom};
      if (!::IntersectRect(&band, &band, &bounds)) continue;
    }
    const COLORREF c = RGB(channel(k, GetRValue(s), GetRValue(e)), channel(k, GetGValue(s), GetGValue(e)),
                           channel(k, GetBValue(s), GetBValue(e)));
    fw::UniqueBrush brush(::CreateSolidBrush(c));
    ::FillRect(dc, &band, brush.get());
  }
}

void FillChecker(fw::TCanvas& canvas, fw::TRect r, fw::TColor base, fw::TColor dot) {
  if (r.Left < 0) r.Left = 0;
  if (r.Top < 0) r.Top = 0;
  if (RectWidth(r) <= 0 || RectHeight(r) <= 0) return;
  const COLORREF b = fw::ColorToRGB(base), d = fw::ColorToRGB(dot);
  HDC dc = canvas.Handle();
  fw::UniqueBitmap pattern(::CreateCompatibleBitmap(dc, 8, 8));
  {
    fw::UniqueMemoryDc mem(::CreateCompatibleDC(dc));
    fw::ScopedSelectObject select(mem.get(), pattern.get());
    for (int j = 0; j < 8; ++j)
      for (int i = 0; i < 8; ++i) ::SetPixelV(mem.get(), i, j, (i + j) % 2 == 0 ? d : b);
  }
  fw::UniqueBrush brush(::CreatePatternBrush(pattern.get()));
  const RECT rr{r.Left, r.Top, r.Right, r.Bottom};
  ::FillRect(dc, &rr, brush.get());
}

void DrawFrameGlyph(fw::TCanvas& canvas, const fw::TRect& r, UINT frameType, UINT frameState, fw::TColor color) {
  TteBitmap glyph;
  glyph.SetSize(RectWidth(r), RectHeight(r));
  if (glyph.Empty()) return;
  RECT area{0, 0, glyph.Width(), glyph.Height()};
  ::DrawFrameControl(glyph.DC(), &area, frameType, frameState);
  ::GdiFlush();
  const TteColor ink = ColorToTeColor(color, 255);
  for (int x = 0; x < glyph.Width(); ++x)
    for (int y = 0; y < glyph.Height(); ++y) {
      TteColor* p = glyph.PixelPtr(x, y);
      *p = *p == 0 ? ink : TransparentKey;
    }
  glyph.Transparent = true;
  glyph.Draw(canvas.Handle(), r.Left, r.Top);
}

void DrawSmallIcon(HDC dc, const fw::TRect& r, HICON icon) {
  if (!icon) return;
  fw::TRect box{0, 0, ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON)}, placed;
  CenterRect(box, r, placed);
  ::DrawIconEx(dc, placed.Left, placed.Top, icon, 0, 0, 0, nullptr, DI_NORMAL);
}

void DrawSmallIcon(fw::TCanvas& canvas, const fw::TRect& r, HICON icon) {
  if (icon) DrawSmallIcon(canvas.Handle(), r, icon);
}

int DrawTextWide(fw::TCanvas& canvas, const std::wstring& text, fw::TRect& r, UINT format) {
  canvas.RequireFont();
  HDC dc = canvas.Handle();
  ::SetBkMode(dc, TRANSPARENT);
  RECT rr{r.Left, r.Top, r.Right, r.Bottom};
  int result;
  if (IsWinNT()) {
    result = ::DrawTextW(dc, text.c_str(), int(text.size()), &rr, format);
  } else {
    const std::string ansi = fw::WideToAnsi(text);
    result = ::DrawTextA(dc, ansi.c_str(), int(ansi.size()), &rr, format);
  }
  r = {rr.left, rr.top, rr.right, rr.bottom};
  return result;
}

int DrawRotatedText(fw::TCanvas& canvas, const std::wstring& text, const fw::TRect& r, UINT format, bool clockwise) {
  const int w = RectWidth(r), h = RectHeight(r);
  TteBitmap work, result;
  work.SetSize(h, w);
  result.SetSize(w, h);
  if (work.Empty() || result.Empty()) return 0;
  work.FillRect(fw::Rect(0, 0, work.Width(), work.Height()), TransparentKey);
  result.FillRect(fw::Rect(0, 0, result.Width(), result.Height()), TransparentKey);
  int height;
  {
    // The canvas's font, in the work bitmap's default (black) text colour.
    fw::TCanvas temp;
    temp.Font().Assign(canvas.Font());
    temp.Font().SetColor(fw::clBlack);
    fw::TCanvasBinding bind(temp, work.DC());
    fw::TRect all = fw::Rect(0, 0, work.Width(), work.Height());
    height = DrawTextWide(temp, text, all, format);
  }
  ::GdiFlush();
  for (int y = 0; y < work.Height(); ++y)
    for (int x = 0; x < work.Width(); ++x) {
      const TteColor p = *work.PixelPtr(x, y);
      if (p == TransparentKey) continue;
      if (clockwise)
        result.SetPixel(w - 1 - y, x, p);
      else
        result.SetPixel(y, h - 1 - x, p);
    }
  result.Transparent = true;
  result.Draw(canvas.Handle(), r.Left, r.Top);
  return height;
}

int TextWidthWide(fw::TCanvas& canvas, const std::wstring& text, UINT format) {
  canvas.RequireFont();
  HDC dc = canvas.Handle();
  if (format == 0) {
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    return size.cx;
  }
  std::string ansi(text.size(), '\0');
  const int n = text.empty() ? 0
                             : ::WideCharToMultiByte(CP_ACP, 0x200, text.c_str(), int(text.size()), ansi.data(),
                                                     int(ansi.size()), nullptr, nullptr);
  RECT rr{0, 0, 0, 0};
  ::DrawTextA(dc, ansi.c_str(), n, &rr, format | DT_CALCRECT);
  return rr.right;
}

int TextHeightWide(fw::TCanvas& canvas, const std::wstring& text) {
  canvas.RequireFont();
  SIZE size{};
  ::GetTextExtentPoint32W(canvas.Handle(), text.c_str(), int(text.size()), &size);
  return size.cy;
}

void EllipsisText(HDC dc, const std::wstring& text, int maxWidth, std::wstring& result) {
  auto width = [dc](const std::wstring& s) {
    SIZE size{};
    ::GetTextExtentPoint32W(dc, s.c_str(), int(s.size()), &size);
    return size.cx;
  };
  if (width(text) <= maxWidth) {
    result = text;
    return;
  }
  result.clear();
  for (wchar_t c : text) {
    if (width(result + c + L"...") > maxWidth) break;
    result += c;
  }
  result += L"...";
}

void AnsiToWideCP(UINT codePage, const std::string& s, std::wstring& w) {
  w.clear();
  if (s.empty()) return;
  constexpr DWORD kFlags = MB_PRECOMPOSED | MB_USEGLYPHCHARS;
  UINT cp = codePage;
  int n = ::MultiByteToWideChar(cp, kFlags, s.data(), int(s.size()), nullptr, 0);
  if (n == 0 && codePage != 0) {
    cp = CP_ACP;
    n = ::MultiByteToWideChar(cp, kFlags, s.data(), int(s.size()), nullptr, 0);
  }
  if (n > 0) {
    w.resize(size_t(n));
    ::MultiByteToWideChar(cp, kFlags, s.data(), int(s.size()), w.data(), n);
  } else {
    w.assign(s.size(), L'?');
  }
}

int KeyboardDelayMs() {
  int v = 0;
  ::SystemParametersInfoA(SPI_GETKEYBOARDDELAY, 0, &v, 0);
  return KeyboardDelayFromSetting(v);
}

int KeyboardRepeatMs() {
  DWORD v = 0;
  ::SystemParametersInfoA(SPI_GETKEYBOARDSPEED, 0, &v, 0);
  return KeyboardRepeatFromSetting(int(v));
}

void BeginCapture(HWND wnd) {
  if (gCaptureCount == 0) {
    gCaptureWindow = wnd;
    ::SetCapture(wnd);
  }
  ++gCaptureCount;
}

void EndCapture() {
  --gCaptureCount;
  if (gCaptureCount == 0) {
    if (::GetCapture() == gCaptureWindow) ::ReleaseCapture();
    gCaptureWindow = nullptr;
  }
}

int CaptureCount() { return gCaptureCount; }

int PixelFormatFromBitCount(int bits) {
  switch (bits) {
    case 1: return 1;
    case 4: return 2;
    case 8: return 3;
    case 15: return 4;
    case 16: return 5;
    case 24: return 6;
    case 32: return 7;
    default: return 8;
  }
}

int DetectScreenPixelFormat() {
  fw::ScopedGetDC screen(nullptr);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 4;
  info.bmiHeader.biHeight = 4;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = WORD(::GetDeviceCaps(screen.get(), BITSPIXEL) * ::GetDeviceCaps(screen.get(), PLANES));
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  fw::UniqueBitmap dib(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  DIBSECTION ds{};
  if (!dib || ::GetObjectA(dib.get(), sizeof ds, &ds) != int(sizeof ds)) return 8;
  return PixelFormatFromBitCount(ds.dsBmih.biBitCount);
}

int ScreenPixelFormat() { return gScreenPixelFormat; }

void InitUtilsUnit() {
  gScreenPixelFormat = DetectScreenPixelFormat();
  InitMachineFacts();
}

void FinalizeUtilsUnit() {}

}  // namespace te
