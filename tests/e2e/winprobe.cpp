// Test helper that runs inside the bench's Wine prefix beside the program under
// test and reports what Windows sees, as JSON on standard output:
//   winprobe windows   the visible top-level windows with their child windows
//                      (class, UTF-8 text, window and client rectangles, enabled state)
//   winprobe locale    the ANSI code page, user locale and decimal separator
//   winprobe screen    the primary screen's size
//   winprobe colors    the button face's system colours
//   winprobe themepart CLASS PART STATE W H FILE
//                      a visual-style part drawn over the button face into a BMP
//   winprobe ping SECONDS
//                      sends WM_NULL to the main window (class TForm1) every
//                      250 ms, each waiting at most 1 s, until its process shows
//                      a message box or SECONDS pass: how many were sent and
//                      unanswered, the longest wait, and whether its button was
//                      ever seen taking input
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(size_t(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

std::string Json(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') { out += '\\'; out += char(c); }
    else if (c < 0x20) { char b[8]; std::snprintf(b, sizeof b, "\\u%04x", c); out += b; }
    else out += char(c);
  }
  return out + "\"";
}

std::string WindowText(HWND h) {
  wchar_t buf[4096];
  // WM_GETTEXT works across processes for the standard classes (the message box's static text).
  // A window whose thread does not answer within a second reports its cached text.
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutW(h, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 1000, &n))
    n = DWORD_PTR(GetWindowTextW(h, buf, 4096));
  return Utf8(std::wstring(buf, size_t(n)));
}

std::string ClassOf(HWND h) {
  wchar_t buf[256];
  int n = GetClassNameW(h, buf, 256);
  return Utf8(std::wstring(buf, size_t(n)));
}

std::string RectJson(const RECT& r) {
  char b[96];
  std::snprintf(b, sizeof b, "[%ld,%ld,%ld,%ld]", long(r.left), long(r.top), long(r.right), long(r.bottom));
  return b;
}

std::string Describe(HWND h) {
  RECT wr, cr;
  GetWindowRect(h, &wr);
  GetClientRect(h, &cr);
  POINT o{0, 0};
  ClientToScreen(h, &o);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  char b[160];
  std::snprintf(b, sizeof b, ",\"hwnd\":%llu,\"pid\":%lu,\"visible\":%s,\"enabled\":%s,\"client_origin\":[%ld,%ld]",
                (unsigned long long)(ULONG_PTR)h, (unsigned long)pid, IsWindowVisible(h) ? "true" : "false",
                IsWindowEnabled(h) ? "true" : "false", long(o.x), long(o.y));
  return "{\"class\":" + Json(ClassOf(h)) + ",\"text\":" + Json(WindowText(h)) + ",\"rect\":" + RectJson(wr) +
         ",\"client\":" + RectJson(cr) + b;
}

BOOL CALLBACK CollectChild(HWND h, LPARAM lp) {
  reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
  return TRUE;
}

BOOL CALLBACK CollectTop(HWND h, LPARAM lp) {
  if (IsWindowVisible(h)) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
  return TRUE;
}

void Print(const std::string& s) {
  DWORD written;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), s.data(), DWORD(s.size()), &written, nullptr);
}

BOOL CALLBACK FindBox(HWND h, LPARAM lp) {
  auto* want = reinterpret_cast<std::pair<DWORD, bool>*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid == want->first && IsWindowVisible(h) && ClassOf(h) == "#32770") want->second = true;
  return TRUE;
}

int Ping(double seconds) {
  const HWND main = FindWindowW(L"TForm1", nullptr);
  if (!main) {
    Print("{\"error\":\"no main window\"}\n");
    return 1;
  }
  DWORD pid = 0;
  GetWindowThreadProcessId(main, &pid);
  const HWND button = FindWindowExW(main, nullptr, L"TTeButton", nullptr);
  LARGE_INTEGER freq, start, now;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&start);
  int sent = 0, unanswered = 0;
  double longest = 0;
  bool buttonTookInput = false, boxSeen = false;
  for (;;) {
    std::pair<DWORD, bool> box{pid, false};
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&box));
    if (box.second) {
      boxSeen = true;
      break;
    }
    QueryPerformanceCounter(&now);
    if (double(now.QuadPart - start.QuadPart) / double(freq.QuadPart) > seconds) break;
    LARGE_INTEGER before, after;
    QueryPerformanceCounter(&before);
    DWORD_PTR result = 0;
    ++sent;
    if (!SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL, 1000, &result)) ++unanswered;
    QueryPerformanceCounter(&after);
    const double ms = 1000.0 * double(after.QuadPart - before.QuadPart) / double(freq.QuadPart);
    if (ms > longest) longest = ms;
    buttonTookInput |= button && IsWindowEnabled(button);
    Sleep(250);
  }
  char b[256];
  std::snprintf(b, sizeof b,
                "{\"sent\":%d,\"unanswered\":%d,\"longest_ms\":%.1f,\"button_took_input\":%s,"
                "\"message_box\":%s}\n",
                sent, unanswered, longest, buttonTookInput ? "true" : "false", boxSeen ? "true" : "false");
  Print(b);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && std::string(argv[1]) == "ping") return Ping(std::atof(argv[2]));
  std::string cmd = argc > 1 ? argv[1] : "windows";
  if (cmd == "locale") {
    wchar_t dec[8] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, dec, 8);
    char b[64];
    std::snprintf(b, sizeof b, "{\"acp\":%u,\"lcid\":%lu,\"decimal\":", GetACP(), (unsigned long)GetUserDefaultLCID());
    Print(std::string(b) + Json(Utf8(dec)) + "}\n");
    return 0;
  }
  if (cmd == "urlcache" && argc == 3) {
    // Whether the user's internet cache holds an entry for URL (what a later download could be served from).
    const std::wstring url(argv[2], argv[2] + std::strlen(argv[2]));
    DWORD size = 0;
    const BOOL found = GetUrlCacheEntryInfoW(url.c_str(), nullptr, &size) || GetLastError() == ERROR_INSUFFICIENT_BUFFER;
    Print(std::string("{\"cached\":") + (found ? "true" : "false") + "}\n");
    return 0;
  }
  if (cmd == "colors") {
    // The system colours a classic face is drawn in, as 0xRRGGBB.
    auto rgb = [](int index) {
      const COLORREF c = GetSysColor(index);
      return std::to_string((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
    };
    Print("{\"btnface\":" + rgb(COLOR_BTNFACE) + ",\"btnhighlight\":" + rgb(COLOR_BTNHIGHLIGHT) +
          ",\"btnshadow\":" + rgb(COLOR_BTNSHADOW) + "}\n");
    return 0;
  }
  if (cmd == "themepart" && argc == 8) {
    // themepart CLASS PART STATE WIDTH HEIGHT FILE: the visual style's part drawn over
    // the button face colour into a 24-bit BMP, as DrawThemeBackground draws it.
    const std::wstring cls(argv[2], argv[2] + std::strlen(argv[2]));
    const int part = std::atoi(argv[3]), state = std::atoi(argv[4]), w = std::atoi(argv[5]), h = std::atoi(argv[6]);
    HMODULE ux = LoadLibraryA("uxtheme.dll");
    using Open = HANDLE(WINAPI*)(HWND, LPCWSTR);
    using Draw = HRESULT(WINAPI*)(HANDLE, HDC, int, int, const RECT*, const RECT*);
    using Close = HRESULT(WINAPI*)(HANDLE);
    using Active = BOOL(WINAPI*)();
    auto open = ux ? reinterpret_cast<Open>(reinterpret_cast<void*>(GetProcAddress(ux, "OpenThemeData"))) : nullptr;
    auto draw = ux ? reinterpret_cast<Draw>(reinterpret_cast<void*>(GetProcAddress(ux, "DrawThemeBackground"))) : nullptr;
    auto close = ux ? reinterpret_cast<Close>(reinterpret_cast<void*>(GetProcAddress(ux, "CloseThemeData"))) : nullptr;
    auto active = ux ? reinterpret_cast<Active>(reinterpret_cast<void*>(GetProcAddress(ux, "IsThemeActive"))) : nullptr;
    const bool on = active && active();
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    RECT r{0, 0, w, h};
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    if (on && open && draw && close) {
      if (HANDLE theme = open(nullptr, cls.c_str())) {
        draw(theme, dc, part, state, &r, nullptr);
        close(theme);
      }
    }
    GdiFlush();
    const DWORD size = DWORD(((w * 24 + 31) / 32) * 4 * h);
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof(BITMAPINFOHEADER);
    fh.bfSize = fh.bfOffBits + size;
    FILE* f = std::fopen(argv[7], "wb");
    if (f) {
      std::fwrite(&fh, sizeof fh, 1, f);
      std::fwrite(&bi.bmiHeader, sizeof(BITMAPINFOHEADER), 1, f);
      std::fwrite(bits, size, 1, f);
      std::fclose(f);
    }
    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);
    Print(std::string("{\"active\":") + (on ? "true" : "false") + "}\n");
    return 0;
  }
  if (cmd == "screen") {
    char b[64];
    std::snprintf(b, sizeof b, "{\"width\":%d,\"height\":%d}\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    Print(b);
    return 0;
  }
  std::vector<HWND> tops;
  EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&tops));
  std::string out = "[";
  for (size_t i = 0; i < tops.size(); ++i) {
    std::vector<HWND> kids;
    EnumChildWindows(tops[i], CollectChild, reinterpret_cast<LPARAM>(&kids));
    std::string d = Describe(tops[i]);
    d += ",\"children\":[";
    for (size_t k = 0; k < kids.size(); ++k) d += (k ? "," : "") + Describe(kids[k]) + "}";
    d += "]}";
    out += (i ? ",\n" : "\n") + d;
  }
  Print(out + "\n]\n");
  return 0;
}
