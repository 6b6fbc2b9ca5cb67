#include "framework/core/text.h"

#include <gtest/gtest.h>

using namespace fw;

TEST(Text, Utf8RoundTripsArabicAndAstralCharacters) {
  const std::wstring w = L"\x062A\x062D\x062F\x064A\x062B 26-3-2022 \xD83D\xDE00";
  EXPECT_EQ(Utf8ToWide(WideToUtf8(w)), w);
  EXPECT_EQ(WideToUtf8(L"\x062A"), "\xD8\xAA");
}

TEST(Text, InvalidUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(Utf8ToWide("a\xFF" "b"), std::wstring(L"a\xFFFD" L"b"));
  EXPECT_EQ(Utf8ToWide("\xC0\x80"), std::wstring(L"\xFFFD\xFFFD"));  // overlong
  EXPECT_EQ(Utf8ToWide("\xE2\x82"), std::wstring(L"\xFFFD\xFFFD"));  // truncated
  EXPECT_EQ(Utf8ToWide("\xED\xA0\x80"), std::wstring(L"\xFFFD\xFFFD\xFFFD"));  // a surrogate
}
