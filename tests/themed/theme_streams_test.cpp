// The theme tables' stream formats and the texts inside them.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "framework/core/exception.h"
#include "themed/core/te_text_rules.h"
#include "themed/core/te_theme_streams.h"

using namespace te;

TEST(ColorText, NamesSearchedInOrderElseHex) {
  EXPECT_EQ(ColorToString(0x000000), "clBlack");
  EXPECT_EQ(ColorToString(0xC0DCC0), "clMoneyGreen");
  EXPECT_EQ(ColorToString(fw::clBtnFace), "clBtnFace");
  EXPECT_EQ(ColorToString(fw::clDefault), "clDefault");
  EXPECT_EQ(ColorToString(fw::clNone), "clNone");
  EXPECT_EQ(ColorToString(0xFF00001B), "clGradientActiveCaption");
  EXPECT_EQ(ColorToString(0x123456), "$00123456");
  EXPECT_EQ(ColorToString(0xFF000040), "$FF000040") << "a system index with no name";
}

TEST(ColorText, ReadingTakesNamesInAnyCaseAndIntegerTexts) {
  EXPECT_EQ(StringToColor("clbtnface"), fw::clBtnFace);
  EXPECT_EQ(StringToColor(" CLWHITE "), 0xFFFFFFu);
  EXPECT_EQ(StringToColor("$00123456"), 0x123456u);
  EXPECT_EQ(StringToColor("$ff00000f"), fw::clBtnFace);
  EXPECT_EQ(StringToColor("255"), 255u);
  EXPECT_EQ(StringToColor("-1"), 0xFFFFFFFFu);
  for (const char* bad : {"", "clNoSuchColour", "12x", "$", "$1G", "0x10", "99999999999", "1.5"})
    EXPECT_THROW(StringToColor(bad), fw::EConvertError) << bad;
  try {
    StringToColor("blue-ish");
  } catch (const fw::EConvertError& e) {
    EXPECT_STREQ(e.what(), "'blue-ish' is not a valid integer value");
  }
}

TEST(ColorText, EveryNamedColourRoundTrips) {
  for (fw::TColor c : {0x000080u, 0x808000u, 0xF0FBFFu, 0xA4A0A0u, fw::clInfoBk, fw::cl3DLight, fw::clWindowText,
                       0xFF00001Du, 0xFF00001Eu, 0xFF00001Au, fw::clScrollBar, 0xABCDEFu})
    EXPECT_EQ(StringToColor(ColorToString(c)), c) << ColorToString(c);
}

TEST(ColorText, All52StandardColoursHaveTheirNames) {
  std::vector<fw::TColor> named = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000,
                                   0x808080, 0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF,
                                   0xFFFF00, 0xFFFFFF, 0xC0DCC0, 0xF0CAA6, 0xF0FBFF, 0xA4A0A0,
                                   fw::clDefault, fw::clNone};
  for (unsigned index = 0; index <= 30; ++index)
    if (index != 25) named.push_back(fw::clSystemColor | index);  // 25 has no name
  ASSERT_EQ(named.size(), 52u);
  for (fw::TColor c : named) {
    const std::string name = ColorToString(c);
    EXPECT_EQ(name.rfind("cl", 0), 0u) << std::hex << c << " is " << name;
    EXPECT_EQ(StringToColor(name), c) << name;
  }
  EXPECT_EQ(ColorToString(fw::clSystemColor | 25), "$FF000019");
}

namespace {
struct TFontFields {
  std::string name = "unset";
  int size = -1;
  fw::TColor color = 0xDEADBEEF;
  std::uint32_t style = 0xFF;
  std::vector<std::string> order;
  TFontDescriptionTarget Target() {
    return {[this](const std::string& n) { name = n; order.push_back("name"); },
            [this](int s) { size = s; order.push_back("size"); },
            [this](fw::TColor c) { color = c; order.push_back("color"); },
            [this](std::uint32_t s) { style = s; order.push_back("style"); }};
  }
};
}  // namespace

TEST(FontDescription, WrittenAsNameSizeCharsetRgbAndStyleWords) {
  EXPECT_EQ(FontDescription("Tahoma", 8, 1, 0x000000, kfsBold), "Tahoma,8,1,0,0,0,bold");
  EXPECT_EQ(FontDescription("MS Sans Serif", 10, 178, 0x203040, kfsBold | kfsItalic | kfsUnderline | kfsStrikeOut),
            "MS Sans Serif,10,178,64,48,32,bold,italic,underline,strikeout");
}

TEST(FontDescription, ReadBackInOrderWithTheStylesByTheirWords) {
  TFontFields f;
  ReadFontDescription("Tahoma,8,1,0,0,0,bold", f.Target());
  EXPECT_EQ(f.name, "Tahoma");
  EXPECT_EQ(f.size, 8);
  EXPECT_EQ(f.color, 0u);
  EXPECT_EQ(f.style, kfsBold);
  EXPECT_EQ(f.order, (std::vector<std::string>{"name", "size", "color", "style"}));

  TFontFields g;
  ReadFontDescription("  MS Sans Serif ;12,0,1,2,3,italic", g.Target());
  EXPECT_EQ(g.name, "MS Sans Serif");
  EXPECT_EQ(g.size, 12);
  EXPECT_EQ(g.color, 1u + 2u * 256 + 3u * 65536);
  EXPECT_EQ(g.style, kfsItalic) << "italic alone reads back italic";

  TFontFields h;
  ReadFontDescription("Arial,9,1,0,0,0,STRIKEOUT,Underline,shadow", h.Target());
  EXPECT_EQ(h.style, kfsStrikeOut | kfsUnderline) << "unknown words are passed over";
}

TEST(FontDescription, ABadNumberRaisesAfterWhatCameBefore) {
  TFontFields f;
  EXPECT_THROW(ReadFontDescription("Tahoma,big,1,0,0,0", f.Target()), fw::EConvertError);
  EXPECT_EQ(f.order, std::vector<std::string>{"name"});
  TFontFields g;
  EXPECT_THROW(ReadFontDescription("Tahoma,8,1,0,green,0", g.Target()), fw::EConvertError);
  EXPECT_EQ(g.order, (std::vector<std::string>{"name", "size"}));
  TFontFields h;
  EXPECT_THROW(ReadFontDescription("Tahoma", h.Target()), fw::EConvertError) << "no size at all";
}

namespace {

std::string Table(bool byteIndex, int entries) {
  std::ostringstream out;
  std::vector<std::pair<std::string, std::string>> e;
  for (int i = 0; i < entries; ++i) e.emplace_back("Name" + std::to_string(i), std::to_string(i * 10));
  WriteEntryTable(out, byteIndex, e);
  return out.str();
}

std::map<int, std::string> Read(const std::string& bytes, bool byteIndex, int size, std::istream** left = nullptr) {
  static std::istringstream in;
  in = std::istringstream(bytes);
  std::map<int, std::string> got;
  ReadEntryTable(in, byteIndex, size, [&](int i, const std::string& v) { got[i] = v; });
  if (left) *left = &in;
  return got;
}

}  // namespace

TEST(TableStreams, HighestIndexByteOrCountThenThreeStringsAnEntry) {
  const std::string colours = Table(true, 22);
  EXPECT_EQ(std::uint8_t(colours[0]), 21) << "the highest index";
  std::istringstream in(colours.substr(1));
  std::string s;
  ReadStreamString(in, s);
  EXPECT_EQ(s, "Name0");
  ReadStreamString(in, s);
  EXPECT_EQ(s, ":");
  ReadStreamString(in, s);
  EXPECT_EQ(s, "0");
  const std::string sys = Table(false, 26);
  EXPECT_EQ(sys.substr(0, 4), std::string("\x1A\0\0\0", 4)) << "a 32-bit count";
  const auto back = Read(sys, false, 26);
  ASSERT_EQ(back.size(), 26u);
  EXPECT_EQ(back.at(25), "250");
}

TEST(TableStreams, ATableLargerThanOursIsCutAndTheStreamStaysInStep) {
  std::string bytes = Table(true, 40) + "NEXT";
  std::istream* rest = nullptr;
  const auto got = Read(bytes, true, 22, &rest);
  EXPECT_EQ(got.size(), 22u);
  EXPECT_EQ(got.rbegin()->first, 21) << "nothing past the table is written";
  char next[5] = {};
  rest->read(next, 4);
  EXPECT_STREQ(next, "NEXT") << "the entries past the table were read and dropped";

  const auto counted = Read(Table(false, 30), false, 26);
  EXPECT_EQ(counted.size(), 26u);
}

TEST(TableStreams, AStreamThatEndsEarlyRaisesAndKeepsWhatWasRead) {
  const std::string full = Table(true, 22);
  for (size_t cut : {size_t(0), size_t(1), full.size() / 2, full.size() - 1}) {
    std::istringstream in(full.substr(0, cut));
    std::map<int, std::string> got;
    EXPECT_THROW(ReadEntryTable(in, true, 22, [&](int i, const std::string& v) { got[i] = v; }), fw::EReadError)
        << cut;
    for (const auto& [i, v] : got) EXPECT_EQ(v, std::to_string(i * 10));
  }
  // A hostile count: the stream's end stops it, whatever it says.
  std::istringstream hostile(std::string("\xFF\xFF\xFF\x7F", 4) + Table(true, 3).substr(1));
  int applied = 0;
  EXPECT_THROW(ReadEntryTable(hostile, false, 26, [&](int, const std::string&) { ++applied; }), fw::EReadError);
  EXPECT_EQ(applied, 3);
  std::istringstream negative(std::string("\xFF\xFF\xFF\xFF", 4));
  EXPECT_NO_THROW(ReadEntryTable(negative, false, 26, [&](int, const std::string&) { ++applied; }))
      << "a negative count is no entries";
}

TEST(TableStreams, AnErrorOfTheValueStopsTheReadingAfterTheEntriesBefore) {
  std::ostringstream out;
  WriteEntryTable(out, true, {{"A", "clRed"}, {"B", "not a colour"}, {"C", "clBlue"}});
  std::istringstream in(out.str());
  std::map<int, fw::TColor> got;
  EXPECT_THROW(ReadEntryTable(in, true, 22, [&](int i, const std::string& v) { got[i] = StringToColor(v); }),
               fw::EConvertError);
  EXPECT_EQ(got, (std::map<int, fw::TColor>{{0, 0x0000FF}}));
}

TEST(TableStreams, OptionFlags) {
  const bool flags[2] = {true, false};
  std::ostringstream out;
  WriteFlagTable(out, flags, 2);
  EXPECT_EQ(out.str(), std::string("\x01\x01\x00", 3));
  bool back[2] = {false, true};
  std::istringstream in(out.str());
  ReadFlagTable(in, back, 2);
  EXPECT_TRUE(back[0]);
  EXPECT_FALSE(back[1]);
  std::istringstream more(std::string("\x04\x00\x07\x01\x01\x01", 6));
  ReadFlagTable(more, back, 2);
  EXPECT_FALSE(back[0]);
  EXPECT_TRUE(back[1]) << "any non-zero byte; flags past the table dropped";
  std::istringstream cut(std::string("\x01\x01", 2));
  back[1] = false;
  EXPECT_THROW(ReadFlagTable(cut, back, 2), fw::EReadError);
  EXPECT_TRUE(back[0]);
}
