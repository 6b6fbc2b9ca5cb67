#include "app/core/price_text.h"

#include <gtest/gtest.h>

using naveko::ParsePrice;
using naveko::TrimKey;

TEST(PriceText, NumbersWithTheRegionalSeparatorSignAndExponent) {
  EXPECT_EQ(ParsePrice("12.5", "."), 12.5);
  EXPECT_EQ(ParsePrice("  -3.25  ", "."), -3.25);
  EXPECT_EQ(ParsePrice("+7", "."), 7.0);
  EXPECT_EQ(ParsePrice("1.5E3", "."), 1500.0);
  EXPECT_EQ(ParsePrice("2e-2", "."), 0.02);
  EXPECT_EQ(ParsePrice(".5", "."), 0.5);
  EXPECT_EQ(ParsePrice("5.", "."), 5.0);
  EXPECT_EQ(ParsePrice("12,5", ","), 12.5);
  EXPECT_EQ(ParsePrice("1250", ","), 1250.0);
}

TEST(PriceText, EverythingElseFails) {
  for (const char* bad : {"", "   ", "1,250", "12.5", "1.2.3", "abc", "12a", "1e", "1e+", "--1", "+", ".", "1 2",
                          "\t5", "1e999", "0x10", "١٢"}) {
    const char* sep = std::string(bad) == "12.5" ? "," : ".";
    EXPECT_FALSE(ParsePrice(bad, sep).has_value()) << "'" << bad << "'";
  }
  EXPECT_FALSE(ParsePrice("1,250.5", ".").has_value()) << "thousands separators fail";
  EXPECT_FALSE(ParsePrice("12.5", ",").has_value()) << "only the regional separator counts";
}

TEST(PriceText, KeysLoseControlCharactersAndBlanksAtBothEnds) {
  EXPECT_EQ(TrimKey("  M1\t"), "M1");
  EXPECT_EQ(TrimKey(std::string("\x01 A B \x1f", 7)), "A B");
  EXPECT_EQ(TrimKey("   "), "");
  EXPECT_EQ(TrimKey("\xC7\xE1"), "\xC7\xE1") << "code page 1256 letters stay";
}
