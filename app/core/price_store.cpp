#include "app/core/price_store.h"

#include <charconv>

#include "framework/core/text.h"

namespace naveko {

TPrices SentTexts(const TValues& values) {
  TPrices out;
  for (size_t k = 0; k < 4; ++k) {
    if (const double* d = std::get_if<double>(&values[k])) {
      out[k] = fw::ShortestDoubleText(*d);  // as a decimal column receives it
    } else if (const std::uint8_t* u = std::get_if<std::uint8_t>(&values[k])) {
      out[k] = std::to_string(unsigned(*u));
    } else if (const std::string* s = std::get_if<std::string>(&values[k])) {
      out[k] = *s;
    }
  }
  return out;
}

TValues ValuesOfSent(const TPrices& sent) {
  TValues out;
  for (size_t k = 0; k < 4; ++k) {
    if (!sent[k]) continue;
    double d = 0;
    const std::string& s = *sent[k];
    const auto r = std::from_chars(s.data(), s.data() + s.size(), d);
    if (r.ec == std::errc() && r.ptr == s.data() + s.size())
      out[k] = d;
    else
      out[k] = s;
  }
  return out;
}

TValues ValuesOfPrices(const TPrices& prices) {
  TValues out;
  for (size_t k = 0; k < 4; ++k)
    if (prices[k]) out[k] = *prices[k];
  return out;
}

}  // namespace naveko
