// The small types of a form's published settings, for code that names them
// without needing the forms themselves.
#pragma once
#include <cstdint>

namespace fw {

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon : std::uint32_t { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
enum class TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
using TModalResult = std::int32_t;

}  // namespace fw
