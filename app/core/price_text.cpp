#include "app/core/price_text.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <locale>
#include <sstream>

namespace naveko {

namespace {
bool Digit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

std::optional<double> ParsePrice(std::string_view text, std::string_view sep) {
  size_t b = 0, e = text.size();
  while (b < e && text[b] == ' ') ++b;
  while (e > b && text[e - 1] == ' ') --e;
  std::string_view s = text.substr(b, e - b);
  if (s.empty() || sep.empty()) return std::nullopt;

  // Rebuilt in the C locale's spelling as it is checked.
  std::string canonical;
  size_t i = 0;
  if (s[i] == '+' || s[i] == '-') canonical.push_back(s[i++]);
  int digits = 0;
  bool separator = false;
  while (i < s.size()) {
    if (Digit(s[i])) {
      canonical.push_back(s[i++]);
      ++digits;
    } else if (!separator && s.substr(i, sep.size()) == sep) {
      canonical.push_back('.');
      i += sep.size();
      separator = true;
    } else {
      break;
    }
  }
  if (digits == 0) return std::nullopt;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    canonical.push_back('e');
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) canonical.push_back(s[i++]);
    int expDigits = 0;
    while (i < s.size() && Digit(s[i])) {
      canonical.push_back(s[i++]);
      ++expDigits;
    }
    if (expDigits == 0) return std::nullopt;
  }
  if (i != s.size()) return std::nullopt;

  std::istringstream in(canonical);
  in.imbue(std::locale::classic());
  double v = 0;
  in >> v;
  if (in.fail() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::string TrimKey(std::string_view key) {
  size_t b = 0, e = key.size();
  while (b < e && static_cast<unsigned char>(key[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(key[e - 1]) <= 32) --e;
  return std::string(key.substr(b, e - b));
}

}  // namespace naveko
