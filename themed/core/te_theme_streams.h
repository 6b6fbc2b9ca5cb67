// The stream formats of a theme's tables, and the texts inside them: a
// colour as text, a font as a description. Windows-free: the theme's table
// classes hand their values in and out, so these readers (parsers of outside
// data) are tested natively and fuzzed.
//
// A table is written as its highest index (one byte: colours 21, fonts 65,
// options 1) or its count (32-bit little-endian: system colours 26), then one
// entry per position: three length-prefixed strings (the entry's name, ":",
// the value as text); options are one byte per flag instead.
#pragma once
#include <cstdint>
#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/types.h"

namespace te {

// The names the tables write for their entries.
extern const char* const kThemeColorNames[22];
extern const char* const kThemeSysColorNames[27];  // the 27th, "clWindowText", is never used
extern const char* const kThemeFontNames[66];

// Positions in the colour table, in the order of kThemeColorNames.
enum TThemeColorIndex : int {
  tcCaptionNormal,
  tcCaptionInactive,
  tcWindowBorder,
  tcWindow,
  tcBorder,
  tcPanelNormal,
  tcPanelDisabled,
  tcButtonNormal,
  tcButtonHot,
  tcButtonPressed,
  tcButtonFocused,
  tcButtonDisabled,
  tcEditNormal,
  tcEditHot,
  tcEditFocused,
  tcEditDisabled,
  tcEditSelection,
  tcHint,
  tcList,
  tcTree,
  tcGrid,
  tcBarDock
};
// The push button's caption fonts among the 66 of kThemeFontNames.
enum TThemeFontIndex : std::uint8_t {
  tfButtonTextNormal = 10,
  tfButtonTextPressed,
  tfButtonTextHot,
  tfButtonTextFocused,
  tfButtonTextDisabled
};

// A standard colour's name when the value is one ("clBlack" ... "clWindowText",
// searched in their order), else "$" and eight upper-case hexadecimal digits.
std::string ColorToString(fw::TColor color);
// A colour name (letter case ignored) or an integer text, decimal or
// "$"-hexadecimal; anything else raises fw::EConvertError.
fw::TColor StringToColor(const std::string& text);
// An integer text, decimal or "$"-hexadecimal, or fw::EConvertError.
std::int64_t StringToInt(const std::string& text);

// The font styles, as the framework numbers them.
enum TteFontStyle : std::uint32_t { kfsBold = 1, kfsItalic = 2, kfsUnderline = 4, kfsStrikeOut = 8 };

// Name "," Size "," Charset "," R "," G "," B, then ",bold", ",italic",
// ",underline", ",strikeout" for each style present (rgb already resolved).
std::string FontDescription(const std::string& name, int size, int charset, fw::TColor rgb, std::uint32_t style);

// What reading a description sets, in this order: name, size, colour, style.
struct TFontDescriptionTarget {
  std::function<void(const std::string&)> SetName;
  std::function<void(int)> SetSize;
  std::function<void(fw::TColor)> SetColor;
  std::function<void(std::uint32_t)> SetStyle;
};
// The name is the text before the first "," or ";"; the size the second field;
// red, green and blue the fourth to sixth (colour R + G*256 + B*65536); the
// charset is not read. Fields seven on name the styles: each of "bold",
// "italic", "underline", "strikeout" (letter case ignored) sets its style, so a
// description reads back as written. A size or colour field that is not an
// integer raises fw::EConvertError, after what was read before it was set.
void ReadFontDescription(const std::string& description, const TFontDescriptionTarget& target);

// Writes a table of named entries; `highestIndexByte` chooses the one-byte
// highest index, else the 32-bit count.
void WriteEntryTable(std::ostream& out, bool highestIndexByte,
                     const std::vector<std::pair<std::string, std::string>>& entries);

// Reads a table of `tableSize` positions: apply(position, value text) for each
// entry read. A stored size beyond the table is cut to it: the entries past
// the table are read and dropped (a table written by a later version with more
// entries still loads, and a stream holding more after the table stays in
// step), and no position past the table is ever written. A stream that ends
// early raises fw::EReadError; the entries applied before stay. An error that
// `apply` raises (a bad colour) stops the reading the same way.
void ReadEntryTable(std::istream& in, bool highestIndexByte, int tableSize,
                    const std::function<void(int, const std::string&)>& apply);

// The option flags: the highest index, then one byte per flag (0 or 1).
void WriteFlagTable(std::ostream& out, const bool* flags, int count);
// Reads flags into 0..count-1 (any non-zero byte is true); flags past the
// table are read and dropped, and a stream that ends early raises fw::EReadError.
void ReadFlagTable(std::istream& in, bool* flags, int count);

}  // namespace te
