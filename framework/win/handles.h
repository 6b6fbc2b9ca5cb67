// Owning and scoped wrappers for Windows handles. Owning wrappers are move-only,
// so a handle is freed exactly once; scoped ones restore what they changed.
#pragma once
#include <windows.h>

#include <utility>

namespace fw {

template <class H, class Deleter>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(H h) : h_(h) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, H{})) {}
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    if (this != &o) {
      reset();
      h_ = std::exchange(o.h_, H{});
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  H get() const { return h_; }
  explicit operator bool() const { return h_ != H{}; }
  H release() { return std::exchange(h_, H{}); }
  void reset(H h = H{}) {
    if (h_) Deleter{}(h_);
    h_ = h;
  }

 private:
  H h_{};
};

// Every delete of a GDI object the framework owns passes this observer first,
// when one is set: tests use it to check that no object is still selected into
// a device context when it goes (Windows refuses such a delete and the handle
// leaks; Wine only postpones it).
using TGdiDeleteObserver = void (*)(HGDIOBJ);
inline TGdiDeleteObserver GdiDeleteObserver = nullptr;

struct GdiObjectDeleter {
  void operator()(HGDIOBJ h) const {
    if (GdiDeleteObserver) GdiDeleteObserver(h);
    ::DeleteObject(h);
  }
};
struct MemoryDcDeleter {
  void operator()(HDC h) const { ::DeleteDC(h); }
};
struct WindowDeleter {
  void operator()(HWND h) const { ::DestroyWindow(h); }
};
struct KernelHandleDeleter {
  void operator()(HANDLE h) const { ::CloseHandle(h); }
};

using UniqueFont = UniqueHandle<HFONT, GdiObjectDeleter>;
using UniquePen = UniqueHandle<HPEN, GdiObjectDeleter>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiObjectDeleter>;
using UniqueBitmap = UniqueHandle<HBITMAP, GdiObjectDeleter>;
using UniqueRegion = UniqueHandle<HRGN, GdiObjectDeleter>;
using UniqueMemoryDc = UniqueHandle<HDC, MemoryDcDeleter>;
// A file (or other kernel object); CreateFile's INVALID_HANDLE_VALUE becomes the empty handle.
using UniqueFile = UniqueHandle<HANDLE, KernelHandleDeleter>;
inline UniqueFile OwnFile(HANDLE h) { return UniqueFile(h == INVALID_HANDLE_VALUE ? nullptr : h); }

// A folder listing of FindFirstFile, closed with FindClose (never CloseHandle).
struct FindDeleter {
  void operator()(HANDLE h) const { ::FindClose(h); }
};
using UniqueFind = UniqueHandle<HANDLE, FindDeleter>;
inline UniqueFind OwnFind(HANDLE h) { return UniqueFind(h == INVALID_HANDLE_VALUE ? nullptr : h); }

// GetDC / ReleaseDC for a window (or the screen when hwnd is null).
class ScopedGetDC {
 public:
  explicit ScopedGetDC(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
  ~ScopedGetDC() {
    if (dc_) ::ReleaseDC(hwnd_, dc_);
  }
  ScopedGetDC(const ScopedGetDC&) = delete;
  ScopedGetDC& operator=(const ScopedGetDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// Selects a GDI object into a DC and puts the previous one back. Moving it
// hands the putting back on; it is never copied.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ obj) : dc_(dc), old_(::SelectObject(dc, obj)) {}
  ~ScopedSelectObject() {
    if (old_) ::SelectObject(dc_, old_);
  }
  ScopedSelectObject(ScopedSelectObject&& o) noexcept : dc_(o.dc_), old_(std::exchange(o.old_, nullptr)) {}
  ScopedSelectObject& operator=(ScopedSelectObject&&) = delete;
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;
  bool Selected() const { return old_ != nullptr; }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// BeginPaint / EndPaint of one WM_PAINT.
class ScopedPaint {
 public:
  explicit ScopedPaint(HWND hwnd) : hwnd_(hwnd), dc_(::BeginPaint(hwnd, &ps_)) {}
  ~ScopedPaint() { ::EndPaint(hwnd_, &ps_); }
  ScopedPaint(const ScopedPaint&) = delete;
  ScopedPaint& operator=(const ScopedPaint&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// SaveDC / RestoreDC around a block that changes clipping or origins.
class ScopedSaveDC {
 public:
  explicit ScopedSaveDC(HDC dc) : dc_(dc), id_(::SaveDC(dc)) {}
  ~ScopedSaveDC() {
    if (id_) ::RestoreDC(dc_, id_);
  }
  ScopedSaveDC(const ScopedSaveDC&) = delete;
  ScopedSaveDC& operator=(const ScopedSaveDC&) = delete;

 private:
  HDC dc_;
  int id_;
};

}  // namespace fw
