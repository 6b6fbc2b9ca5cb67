#include "spreadsheet/core/xlsx_parts.h"

#include <charconv>
#include <cmath>

namespace sheet::xlsx {

namespace {

// A plain decimal of at most 15 digits ("-1234.25"), as most stored numbers
// are, without the general parser: its digits and its power of ten are both
// exact doubles, so their quotient is the correctly rounded value.
bool ParseShortDecimal(std::string_view s, double& out) {
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  size_t i = 0;
  const bool negative = !s.empty() && s[0] == '-';
  if (negative) ++i;
  std::uint64_t digits = 0;
  int count = 0, fraction = -1;  // fraction: digits after the point, -1 before it
  for (; i < s.size(); ++i) {
    const char ch = s[i];
    if (ch >= '0' && ch <= '9') {
      if (++count > 15) return false;
      digits = digits * 10 + std::uint64_t(ch - '0');
      if (fraction >= 0) ++fraction;
    } else if (ch == '.' && fraction < 0) {
      fraction = 0;
    } else {
      return false;  // an exponent, a blank, anything else: the general parser decides
    }
  }
  if (count == 0) return false;
  const double v = double(digits) / kPowers[fraction < 0 ? 0 : fraction];
  out = negative ? -v : v;
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The UTF-16 unit of an escape "_xHHHH_" at s[i], or -1 when there is none
// there (only a lowercase x; hexadecimal digits of either case).
int EscapeAt(std::string_view s, size_t i) {
  if (i + 7 > s.size() || s[i] != '_' || s[i + 1] != 'x' || s[i + 6] != '_') return -1;
  int unit = 0;
  for (size_t k = 2; k < 6; ++k) {
    const int d = HexDigit(s[i + k]);
    if (d < 0) return -1;
    unit = unit * 16 + d;
  }
  return unit;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

}  // namespace

bool ParseUnsigned(std::string_view s, std::uint64_t& out) {
  if (s.empty()) return false;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && p == s.data() + s.size();
}

bool ParseNumber(std::string_view s, double& out) {
  if (ParseShortDecimal(s, out)) return true;
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
    s.remove_suffix(1);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && p == s.data() + s.size() && std::isfinite(out);
}

void DecodeEscapes(std::string& text, size_t from) {
  if (text.find("_x", from) == std::string::npos) return;
  std::string out(text, 0, from);
  for (size_t i = from; i < text.size();) {
    int unit = EscapeAt(text, i);
    if (unit < 0) {
      out += text[i++];
      continue;
    }
    i += 7;
    char32_t cp = char32_t(unit);
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      const int low = EscapeAt(text, i);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        cp = 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(low) - 0xDC00);
        i += 7;
      } else {
        cp = 0xFFFD;
      }
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      cp = 0xFFFD;
    }
    AppendUtf8(out, cp);
  }
  text = std::move(out);
}

void TRichTextCollector::Start(std::string_view name) {
  if (NameIs(name, "rPh")) {
    ++phonetic_;
  } else if (NameIs(name, "t") && !phonetic_) {
    inText_ = true;
    textStart_ = text_.size();
  }
}

void TRichTextCollector::End(std::string_view name) {
  if (NameIs(name, "rPh")) {
    --phonetic_;
  } else if (NameIs(name, "t") && inText_) {
    inText_ = false;
    DecodeEscapes(text_, textStart_);
  }
}

std::string TRichTextCollector::Take() {
  std::string out = std::move(text_);
  text_.clear();
  inText_ = false;
  phonetic_ = 0;
  return out;
}

}  // namespace sheet::xlsx
