#include "themed/core/te_theme_rules.h"

namespace te {

TteTextInfo MakeTextInfo(const TRect& rect, const std::wstring& text, std::uint32_t format) {
  TteTextInfo info;
  info.Rect = rect;
  info.Text = text;
  const bool centre = format & dt::Center, right = format & dt::Right;
  if (format & dt::VCenter)
    info.Alignment = centre ? 4 : right ? 7 : 1;
  else if (format & dt::Bottom)
    info.Alignment = centre ? 5 : right ? 8 : 2;
  else
    info.Alignment = centre ? 3 : right ? 6 : 0;
  if (format & dt::RtlReading) info.Options |= ktoRtlReading;
  if (format & dt::NoPrefix) info.Options |= ktoNoPrefix;
  if (format & dt::SingleLine) info.Options |= ktoSingleLine;
  if (format & dt::WordBreak) info.Options |= ktoWordBreak;
  info.Orientation = 0;
  return info;
}

std::uint32_t TextInfoDrawFlags(const TteTextInfo& info, std::uint8_t& alignment) {
  std::uint32_t flags = 0;
  alignment = info.Alignment;
  if (info.Options & ktoRtlReading) {
    flags |= dt::RtlReading;
    if (alignment <= 2) alignment = std::uint8_t(alignment + 6);
  }
  if (info.Options & ktoNoPrefix) flags |= dt::NoPrefix;
  if (info.Options & ktoWordBreak) flags |= dt::WordBreak;
  if (info.Options & ktoSingleLine) flags |= dt::SingleLine;
  return flags;
}

bool AlignedTextOffset(std::uint8_t alignment, int W, int H, int w, int h, int& dx, int& dy) {
  if (alignment > 8) return false;
  const int column = alignment / 3, row = alignment % 3;  // 0 left/top, 1 centre/middle, 2 right/bottom
  dx = column == 0 ? 0 : column == 1 ? (W - w) / 2 : W - w;
  dy = row == 0 ? 0 : row == 1 ? (H - h) / 2 : H - h;
  return true;
}

std::uint8_t WindowButtonHitCode(int index) {
  switch (index) {
    case 0: return 17;
    case 1: return 11;
    case 2: return 12;
    case 3:
    case 4: return 13;
    case 5:
    case 6: return 14;
    case 7:
    case 8: return 15;
    case 9: return 16;
    default: return 0;
  }
}

TRect BaseWindowButtonRect(const TRect& cr, std::uint16_t icons, int index) {
  const TRect none{-1, -1, -1, -1};
  auto has = [icons](int bit) { return (icons >> bit) & 1; };
  if (index == 0) return has(0) ? TRect{cr.Left, 4, cr.Left + 22, cr.Top - 1} : none;
  // The groups from the right, each with the bits that make it present.
  const bool close = has(1), maximize = has(5) || has(6), minimize = has(3) || has(4), roll = has(7) || has(8),
             tray = has(9), help = has(2);
  const bool groups[] = {close, maximize, minimize, roll, tray, help};
  int group;
  switch (index) {
    case 1: group = 0; break;
    case 5:
    case 6: group = 1; break;
    case 3:
    case 4: group = 2; break;
    case 7:
    case 8: group = 3; break;
    case 9: group = 4; break;
    case 2: group = 5; break;
    default: return none;
  }
  if (!groups[group]) return none;
  int shift = 0;
  for (int g = 0; g < group; ++g)
    if (groups[g]) shift += 22;
  return TRect{cr.Right - 23 - shift, 4, cr.Right - 1 - shift, cr.Top - 1};
}

int ChooseClassHook(const std::vector<const fw::TClassInfo*>& classes, const fw::TClassInfo& parent) {
  int chosen = -1;
  for (int i = int(classes.size()) - 1; i >= 0; --i) {
    if (!parent.InheritsFrom(*classes[size_t(i)])) continue;
    if (chosen < 0 || classes[size_t(i)]->InheritsFrom(*classes[size_t(chosen)])) chosen = i;
  }
  return chosen;
}

TRect BorderInnerRect(int width, int height, int borderWidth, int bevelWidth, int bevelCount, std::uint8_t sides) {
  TRect r{borderWidth, borderWidth, width - borderWidth, height - borderWidth};
  const int b = bevelWidth * bevelCount;
  if (sides & kbsLeft) r.Left += b;
  if (sides & kbsTop) r.Top += b;
  if (sides & kbsRight) r.Right -= b;
  if (sides & kbsBottom) r.Bottom -= b;
  return r;
}

TEditTextState EditFrameState(bool enabled, bool focused, bool hot) {
  if (!enabled) return kEtsDisabled;
  if (focused) return kEtsSelected;
  if (hot) return kEtsHot;
  return kEtsNormal;
}

}  // namespace te
