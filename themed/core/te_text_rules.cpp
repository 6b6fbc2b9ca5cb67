#include "themed/core/te_text_rules.h"

#include <cmath>
#include <cstdint>

#include "framework/core/exception.h"

namespace te {

namespace {

void Extract(std::string& s, std::string& token, bool (*isEnd)(char, const std::string&), const std::string& delims) {
  token.clear();
  size_t i = 0;
  for (; i < s.size(); ++i) {
    if (isEnd(s[i], delims)) {
      ++i;  // the separator goes too
      break;
    }
    token += s[i];
  }
  s.erase(0, i);
  token = Trim(token);
  s = Trim(s);
}

}  // namespace

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && (unsigned char)s[b] <= ' ') ++b;
  while (e > b && (unsigned char)s[e - 1] <= ' ') --e;
  return s.substr(b, e - b);
}

void ExtractWord(std::string& s, std::string& token) {
  Extract(
      s, token,
      [](char c, const std::string&) {
        return c == ' ' || c == '(' || c == ')' || c == ',' || c == ':' || c == ';' || c == '=';
      },
      std::string());
}

void ExtractToken(std::string& s, const std::string& delimiters, std::string& token) {
  Extract(
      s, token, [](char c, const std::string& d) { return d.find(c) != std::string::npos; }, delimiters);
}

void WriteStreamString(std::ostream& out, const std::string& s) {
  const std::uint32_t n = std::uint32_t(std::int32_t(s.size()));
  const char len[4] = {char(n & 0xFF), char((n >> 8) & 0xFF), char((n >> 16) & 0xFF), char((n >> 24) & 0xFF)};
  out.write(len, 4);
  out.write(s.data(), std::streamsize(s.size()));
}

void ReadStreamString(std::istream& in, std::string& s) {
  s.clear();
  unsigned char len[4];
  if (!in.read(reinterpret_cast<char*>(len), 4)) throw fw::EReadError("Stream read error: no string length");
  const std::int32_t n = std::int32_t(std::uint32_t(len[0]) | std::uint32_t(len[1]) << 8 | std::uint32_t(len[2]) << 16 |
                                      std::uint32_t(len[3]) << 24);
  if (n < 0) throw fw::EReadError("Stream read error: negative string length");
  // Read in pieces so that a lying length cannot allocate more than the stream holds.
  std::string out;
  char buf[4096];
  for (std::int32_t left = n; left > 0;) {
    const std::streamsize want = left < std::int32_t(sizeof buf) ? left : std::streamsize(sizeof buf);
    if (!in.read(buf, want)) throw fw::EReadError("Stream read error: the string is cut short");
    out.append(buf, size_t(want));
    left -= std::int32_t(want);
  }
  s = std::move(out);
}

int KeyboardDelayFromSetting(int v) { return (v + 1) * 200; }
int KeyboardRepeatFromSetting(int v) { return int(std::lrint(1000.0 / ((v + 1) * 2.3))); }

}  // namespace te
