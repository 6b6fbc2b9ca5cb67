#include "framework/win/clipbrd.h"

#include <windows.h>

#include "framework/core/exception.h"
#include "framework/win/graphics.h"

namespace fw {

namespace {

// The clipboard is opened by one owner at a time; it is closed on every path.
class TOpenClipboard {
 public:
  TOpenClipboard() {
    for (int attempt = 0; attempt < 10 && !open_; ++attempt) {
      open_ = ::OpenClipboard(nullptr) != 0;
      if (!open_) ::Sleep(10);
    }
    if (!open_) throw EOutOfResources("Cannot open clipboard");
  }
  ~TOpenClipboard() { ::CloseClipboard(); }

 private:
  bool open_ = false;
};

}  // namespace

const TClassInfo& TClipboard::StaticClassInfo() {
  static const TClassInfo info("TClipboard", &TPersistent::StaticClassInfo(), nullptr);
  return info;
}

void TClipboard::Assign(const TPersistent& source) {
  const auto* bmp = dynamic_cast<const TBitmap*>(&source);
  if (!bmp) return TPersistent::Assign(source);
  HANDLE copy = ::CopyImage(bmp->Handle(), IMAGE_BITMAP, 0, 0, 0);
  if (!copy) throw EOutOfResources("Cannot copy the bitmap for the clipboard");
  TOpenClipboard open;
  ::EmptyClipboard();
  if (!::SetClipboardData(CF_BITMAP, copy)) {
    ::DeleteObject(copy);
    throw EOutOfResources("Cannot put the bitmap on the clipboard");
  }
}

void TClipboard::AssignTo(TPersistent& dest) const {
  auto* bmp = dynamic_cast<TBitmap*>(&dest);
  if (!bmp) return TPersistent::AssignTo(dest);
  TOpenClipboard open;
  HBITMAP h = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
  if (!h) throw EInvalidGraphic("The clipboard holds no bitmap");
  BITMAP info{};
  ::GetObjectW(h, sizeof info, &info);
  bmp->SetSize(info.bmWidth, info.bmHeight);
  HDC src = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(src, h);
  ::BitBlt(bmp->Canvas().Handle(), 0, 0, info.bmWidth, info.bmHeight, src, 0, 0, SRCCOPY);
  ::SelectObject(src, old);
  ::DeleteDC(src);
}

bool TClipboard::HasBitmap() const { return ::IsClipboardFormatAvailable(CF_BITMAP) != 0; }

TClipboard& Clipboard() {
  static TClipboard clipboard;
  return clipboard;
}

}  // namespace fw
