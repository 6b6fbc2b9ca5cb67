// The library's toolbox of free functions: one-colour canvas primitives,
// gradients and checkers, wide and rotated text, the frame-control glyph in any
// colour, small icons, nested mouse capture, keyboard timings, and the screen's
// pixel format measured at start. The rectangle functions, tokenizers and
// stream strings are the Windows-free te_rects.h and te_text_rules.h.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/win/graphics.h"
#include "themed/core/te_cpu.h"
#include "themed/core/te_rects.h"
#include "themed/core/te_text_rules.h"

namespace te {

void LineToColor(fw::TCanvas& canvas, int x, int y, fw::TColor color);
void DrawFrame3D(fw::TCanvas& canvas, const fw::TRect& r, fw::TColor topLeft, fw::TColor bottomRight);
void DrawRectOutline(fw::TCanvas& canvas, const fw::TRect& r, fw::TColor color);
void DrawRectOutline(fw::TCanvas& canvas, int x1, int y1, int x2, int y2, fw::TColor color);
void DrawFocusRectColor(fw::TCanvas& canvas, const fw::TRect& r, fw::TColor color);
void FillRectColor(fw::TCanvas& canvas, const fw::TRect& r, fw::TColor color);
void FillRectColor(fw::TCanvas& canvas, int x1, int y1, int x2, int y2, fw::TColor color);
void DrawRoundRectOutline(fw::TCanvas& canvas, const fw::TRect& r, int radius, fw::TColor color);
void FillRoundRect(fw::TCanvas& canvas, const fw::TRect& r, int radius, fw::TColor color);
void DrawPolygonOutline(fw::TCanvas& canvas, const std::vector<fw::TPoint>& points, fw::TColor color);
void FillPolygon(fw::TCanvas& canvas, const std::vector<fw::TPoint>& points, fw::TColor color);
// N + 1 bands, N = min(255, extent along the axis); the last lies past the end.
void FillGradient(fw::TCanvas& canvas, const fw::TRect& r, fw::TColor start, fw::TColor end, bool vertical);
void FillChecker(fw::TCanvas& canvas, fw::TRect r, fw::TColor base, fw::TColor dot);
// A DrawFrameControl glyph: its black ink in color, everything else untouched.
void DrawFrameGlyph(fw::TCanvas& canvas, const fw::TRect& r, UINT frameType, UINT frameState, fw::TColor color);
void DrawSmallIcon(fw::TCanvas& canvas, const fw::TRect& r, HICON icon);
void DrawSmallIcon(HDC dc, const fw::TRect& r, HICON icon);

int DrawTextWide(fw::TCanvas& canvas, const std::wstring& text, fw::TRect& r, UINT format);
int DrawRotatedText(fw::TCanvas& canvas, const std::wstring& text, const fw::TRect& r, UINT format, bool clockwise);
int TextWidthWide(fw::TCanvas& canvas, const std::wstring& text, UINT format);
int TextHeightWide(fw::TCanvas& canvas, const std::wstring& text);
void EllipsisText(HDC dc, const std::wstring& text, int maxWidth, std::wstring& result);
void AnsiToWideCP(UINT codePage, const std::string& s, std::wstring& w);

int KeyboardDelayMs();
int KeyboardRepeatMs();

// Nested capture: only the outermost Begin captures, only the matching End releases.
void BeginCapture(HWND wnd);
void EndCapture();
int CaptureCount();

// The pixel format of a screen-compatible DIB, as the framework's enumeration
// numbers it (1 1-bit ... 6 24-bit, 7 32-bit, 8 custom); measured at start.
int ScreenPixelFormat();
int DetectScreenPixelFormat();
// From a DIB's bit count: 1, 4, 8, 15, 16, 24, 32 -> 1 to 7; anything else 8.
int PixelFormatFromBitCount(int bits);

void InitUtilsUnit();
void FinalizeUtilsUnit();

}  // namespace te
