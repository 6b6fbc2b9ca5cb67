#include "themed/core/te_theme_streams.h"

#include <cctype>
#include <cstdio>

#include "framework/core/exception.h"
#include "framework/core/idents.h"
#include "framework/core/text.h"
#include "themed/core/te_text_rules.h"

namespace te {

const char* const kThemeColorNames[22] = {
    "CaptionNormal", "CaptionInactive", "WindowBorder", "Window",       "Border",        "PanelNormal",
    "PanelDisabled", "ButtonNormal",    "ButtonHot",    "ButtonPressed", "ButtonFocused", "ButtonDisabled",
    "EditNormal",    "EditHot",         "EditFocused",  "EditDisabled",  "EditSelection", "Hint",
    "List",          "Tree",            "Grid",         "BarDock"};

const char* const kThemeSysColorNames[27] = {
    "clActiveBorder", "clActiveCaption",  "clAppWorkSpace",   "clBackground",      "clBtnFace",
    "clBtnHighlight", "clBtnShadow",      "clBtnText",        "clCaptionText",     "clDefault",
    "clActiveCaption", "clGrayText",      "clHighlight",      "clHighlightText",   "clInactiveBorder",
    "clInactiveCaption", "clInactiveCaptionText", "clInfoBk", "clInfoText",        "clMenu",
    "clMenuText",     "clScrollBar",      "cl3DDkShadow",     "cl3DLight",         "clWindow",
    "clWindowFrame",  "clWindowText"};

const char* const kThemeFontNames[66] = {
    "CaptionTextNormal", "CaptionTextInactive", "SmCaptionTextNormal", "SmCaptionTextInactive",
    "StaticTextNormal", "StaticTextHot", "StaticTextFocused", "StaticTextDisabled",
    "PanelTextNormal", "PanelTextDisabled",
    "ButtonTextNormal", "ButtonTextPressed", "ButtonTextHot", "ButtonTextFocused", "ButtonTextDisabled",
    "CheckBoxTextNormal", "CheckBoxTextPressed", "CheckBoxTextHot", "CheckBoxTextFocused", "CheckBoxTextDisabled",
    "RadioButtonTextNormal", "RadioButtonTextPressed", "RadioButtonTextHot", "RadioButtonTextFocused",
    "RadioButtonTextDisabled",
    "GroupBoxTextNormal", "GroupBoxTextDisabled", "WindowTextNormal", "WindowTextDisabled",
    "EditBoxTextNormal", "EditBoxTextFocused", "EditBoxTextHot", "EditBoxTextDisabled", "EditBoxTextSelected",
    "MenuItemTextNormal", "MenuItemTextSelected", "MenuItemTextHot", "MenuItemTextDisabled",
    "ToolItemTextNormal", "ToolItemTextSelected", "ToolItemTextHot", "ToolItemTextDisabled",
    "HeaderSectionTextNormal", "HeaderSectionTextPressed", "HeaderSectionTextDraggedOut",
    "HeaderSectionTextDragging", "HeaderSectionTextHot", "HeaderSectionTextUnderDrag", "HeaderSectionTextDisabled",
    "StatusPanelTextNormal", "StatusPanelTextDisabled",
    "TabTextInactiveNormal", "TabTextInactiveHot", "TabTextInactiveDisabled",
    "TabTextActiveNormal", "TabTextActiveHot", "TabTextActiveDisabled",
    "ListItemTextNormal", "ListItemTextHot", "ListItemTextSelected", "ListItemTextFocused", "ListItemTextDisabled",
    "PopupMenuItemTextNormal", "PopupMenuItemTextSelected", "PopupMenuItemTextHot", "PopupMenuItemTextDisabled"};

namespace {

struct TNamedColor {
  fw::TColor Value;
  const char* Name;
};

constexpr fw::TColor Sys(unsigned index) { return fw::clSystemColor | index; }

// The standard colours that the framework's layout streams leave unnamed; the
// theme streams name them too.
constexpr TNamedColor kMoreNamedColors[] = {
    {0xC0DCC0, "clMoneyGreen"}, {0xF0CAA6, "clSkyBlue"},  {0xF0FBFF, "clCream"},
    {0xA4A0A0, "clMedGray"},    {Sys(27), "clGradientActiveCaption"}, {Sys(28), "clGradientInactiveCaption"},
    {Sys(26), "clHotLight"},    {Sys(30), "clMenuBar"},   {Sys(29), "clMenuHighlight"}};

[[noreturn]] void NotAnInteger(const std::string& text) {
  throw fw::EConvertError("'" + text + "' is not a valid integer value");
}

std::uint8_t ReadByte(std::istream& in) {
  char b;
  if (!in.get(b)) throw fw::EReadError("Stream read error: the table is cut short");
  return std::uint8_t(b);
}

}  // namespace

std::string ColorToString(fw::TColor color) {
  if (auto name = fw::ColorToIdent(color)) return *name;
  for (const auto& c : kMoreNamedColors)
    if (c.Value == color) return c.Name;
  char text[16];
  std::snprintf(text, sizeof text, "$%08X", unsigned(color));
  return text;
}

std::int64_t StringToInt(const std::string& raw) {
  const std::string text = Trim(raw);
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  const bool hex = i < text.size() && text[i] == '$';
  if (hex) ++i;
  if (i >= text.size()) NotAnInteger(raw);
  std::uint64_t v = 0;
  for (; i < text.size(); ++i) {
    const unsigned char ch = (unsigned char)text[i];
    int digit;
    if (ch >= '0' && ch <= '9') digit = ch - '0';
    else if (hex && std::isxdigit(ch)) digit = std::tolower(ch) - 'a' + 10;
    else NotAnInteger(raw);
    v = v * (hex ? 16 : 10) + std::uint64_t(digit);
    if (v > 0xFFFFFFFFull) NotAnInteger(raw);  // beyond 32 bits
  }
  // A 32-bit value: hexadecimal and large decimal texts wrap as unsigned 32-bit.
  const std::int64_t value = negative ? -std::int64_t(v) : std::int64_t(v);
  if (value < -2147483648LL) NotAnInteger(raw);
  return value;
}

fw::TColor StringToColor(const std::string& text) {
  const std::string t = Trim(text);
  if (auto value = fw::IdentToColorIgnoringCase(t)) return fw::TColor(*value);
  for (const auto& c : kMoreNamedColors)
    if (fw::SameText(t, c.Name)) return c.Value;
  return fw::TColor(std::uint32_t(StringToInt(text)));
}

std::string FontDescription(const std::string& name, int size, int charset, fw::TColor rgb, std::uint32_t style) {
  std::string d = name + "," + std::to_string(size) + "," + std::to_string(charset) + "," +
                  std::to_string(rgb & 0xFF) + "," + std::to_string((rgb >> 8) & 0xFF) + "," +
                  std::to_string((rgb >> 16) & 0xFF);
  if (style & kfsBold) d += ",bold";
  if (style & kfsItalic) d += ",italic";
  if (style & kfsUnderline) d += ",underline";
  if (style & kfsStrikeOut) d += ",strikeout";
  return d;
}

void ReadFontDescription(const std::string& description, const TFontDescriptionTarget& target) {
  std::string rest = description, field;
  ExtractToken(rest, ",;", field);
  target.SetName(field);
  ExtractWord(rest, field);
  target.SetSize(int(StringToInt(field)));
  ExtractWord(rest, field);  // the charset is not read back
  std::int64_t rgb[3];
  for (auto& channel : rgb) {
    ExtractWord(rest, field);
    channel = StringToInt(field);
  }
  target.SetColor(fw::TColor(std::uint32_t(rgb[0] + rgb[1] * 256 + rgb[2] * 65536)));
  std::uint32_t style = 0;
  while (!rest.empty()) {
    ExtractWord(rest, field);
    if (fw::SameText(field, "bold")) style |= kfsBold;
    else if (fw::SameText(field, "italic")) style |= kfsItalic;
    else if (fw::SameText(field, "underline")) style |= kfsUnderline;
    else if (fw::SameText(field, "strikeout")) style |= kfsStrikeOut;
  }
  target.SetStyle(style);
}

void WriteEntryTable(std::ostream& out, bool highestIndexByte,
                     const std::vector<std::pair<std::string, std::string>>& entries) {
  const auto n = std::uint32_t(entries.size());
  if (highestIndexByte) {
    out.put(char(std::uint8_t(n - 1)));
  } else {
    const char count[4] = {char(n & 0xFF), char((n >> 8) & 0xFF), char((n >> 16) & 0xFF), char((n >> 24) & 0xFF)};
    out.write(count, 4);
  }
  for (const auto& [name, value] : entries) {
    WriteStreamString(out, name);
    WriteStreamString(out, ":");
    WriteStreamString(out, value);
  }
}

void ReadEntryTable(std::istream& in, bool highestIndexByte, int tableSize,
                    const std::function<void(int, const std::string&)>& apply) {
  std::int64_t stored;
  if (highestIndexByte) {
    stored = std::int64_t(ReadByte(in)) + 1;
  } else {
    std::uint32_t n = 0;
    for (int i = 0; i < 4; ++i) n |= std::uint32_t(ReadByte(in)) << (8 * i);
    stored = std::int32_t(n) < 0 ? 0 : std::int64_t(std::int32_t(n));
  }
  std::string name, separator, value;
  for (std::int64_t i = 0; i < stored; ++i) {
    ReadStreamString(in, name);
    ReadStreamString(in, separator);
    ReadStreamString(in, value);
    if (i < tableSize) apply(int(i), value);
  }
}

void WriteFlagTable(std::ostream& out, const bool* flags, int count) {
  out.put(char(std::uint8_t(count - 1)));
  for (int i = 0; i < count; ++i) out.put(flags[i] ? 1 : 0);
}

void ReadFlagTable(std::istream& in, bool* flags, int count) {
  const int stored = ReadByte(in) + 1;
  for (int i = 0; i < stored; ++i) {
    const std::uint8_t b = ReadByte(in);
    if (i < count) flags[i] = b != 0;
  }
}

}  // namespace te
