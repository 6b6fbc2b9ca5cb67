// The system clipboard as a persistent object: assigning a bitmap to it puts
// a copy of the bitmap there (CF_BITMAP); assigning it to a bitmap takes one.
#pragma once
#include "framework/core/persistent.h"

namespace fw {

class TClipboard : public TPersistent {
 public:
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  // A TBitmap source replaces the clipboard's contents; anything else is an assignment error.
  void Assign(const TPersistent& source) override;
  // Into a TBitmap: the clipboard's bitmap, as a device bitmap of its size.
  void AssignTo(TPersistent& dest) const override;
  bool HasBitmap() const;
};

TClipboard& Clipboard();

}  // namespace fw
