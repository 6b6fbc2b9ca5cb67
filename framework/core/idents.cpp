#include "framework/core/idents.h"

#include "framework/core/text.h"
#include "framework/core/types.h"

namespace fw {

namespace {
struct Entry { std::int64_t Value; const char* Name; };

constexpr Entry kColors[] = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clNone, "clNone"}, {clDefault, "clDefault"},
    {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"}, {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"}, {clMenu, "clMenu"}, {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"}, {clMenuText, "clMenuText"}, {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"}, {clActiveBorder, "clActiveBorder"}, {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"}, {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"}, {clBtnShadow, "clBtnShadow"}, {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"}, {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"}, {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"}, {clInfoBk, "clInfoBk"},
};

constexpr Entry kCharsets[] = {
    {0, "ANSI_CHARSET"}, {1, "DEFAULT_CHARSET"}, {2, "SYMBOL_CHARSET"}, {77, "MAC_CHARSET"},
    {128, "SHIFTJIS_CHARSET"}, {129, "HANGEUL_CHARSET"}, {130, "JOHAB_CHARSET"}, {134, "GB2312_CHARSET"},
    {136, "CHINESEBIG5_CHARSET"}, {161, "GREEK_CHARSET"}, {162, "TURKISH_CHARSET"},
    {163, "VIETNAMESE_CHARSET"}, {177, "HEBREW_CHARSET"}, {178, "ARABIC_CHARSET"}, {186, "BALTIC_CHARSET"},
    {204, "RUSSIAN_CHARSET"}, {222, "THAI_CHARSET"}, {238, "EASTEUROPE_CHARSET"}, {255, "OEM_CHARSET"},
};

template <size_t N>
std::optional<std::string> ToIdent(const Entry (&table)[N], std::int64_t v) {
  for (const auto& e : table)
    if (e.Value == v) return std::string(e.Name);
  return std::nullopt;
}

template <size_t N>
std::optional<std::int64_t> FromIdent(const Entry (&table)[N], const std::string& name) {
  for (const auto& e : table)
    if (name == e.Name) return e.Value;
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ColorToIdent(std::int64_t c) { return ToIdent(kColors, c); }
std::optional<std::int64_t> IdentToColor(const std::string& n) { return FromIdent(kColors, n); }
std::optional<std::int64_t> IdentToColorIgnoringCase(const std::string& n) {
  for (const auto& e : kColors)
    if (SameText(n, e.Name)) return e.Value;
  return std::nullopt;
}
std::optional<std::string> CharsetToIdent(std::int64_t c) { return ToIdent(kCharsets, c); }
std::optional<std::int64_t> IdentToCharset(const std::string& n) { return FromIdent(kCharsets, n); }

}  // namespace fw
