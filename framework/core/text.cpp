#include "framework/core/text.h"

#include <algorithm>
#include <charconv>
#include <cctype>
#include <cstdint>

namespace fw {

std::wstring Utf8ToWide(std::string_view s) {
  std::wstring out;
  out.reserve(s.size());
  auto put = [&out](char32_t cp) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(wchar_t(0xD800 + (cp >> 10)));
      out.push_back(wchar_t(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(wchar_t(cp));
    }
  };
  for (size_t i = 0; i < s.size();) {
    auto c = static_cast<unsigned char>(s[i]);
    int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + len > s.size()) {
      put(0xFFFD);
      ++i;
      continue;
    }
    char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    bool ok = true;
    for (int k = 1; k < len; ++k) {
      auto cc = static_cast<unsigned char>(s[i + k]);
      if ((cc & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (cc & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (!ok || cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      put(0xFFFD);
      ++i;
      continue;
    }
    put(cp);
    i += len;
  }
  return out;
}

std::string WideToUtf8(std::wstring_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t cp = static_cast<std::uint16_t>(s[i]);
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size()) {
      char32_t lo = static_cast<std::uint16_t>(s[i + 1]);
      if (lo >= 0xDC00 && lo <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
        ++i;
      } else
        cp = 0xFFFD;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80)
      out.push_back(char(cp));
    else if (cp < 0x800) {
      out.push_back(char(0xC0 | (cp >> 6)));
      out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(char(0xE0 | (cp >> 12)));
      out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(char(0xF0 | (cp >> 18)));
      out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(char(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view s) {
  const std::wstring w = Utf8ToWide(s);  // UTF-16 units, whatever the width of wchar_t
  return std::u16string(w.begin(), w.end());
}

std::string Utf16ToUtf8(std::u16string_view s) { return WideToUtf8(std::wstring(s.begin(), s.end())); }

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string ShortestDoubleText(double d) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, d);
  return std::string(buf, r.ptr);
}

}  // namespace fw
