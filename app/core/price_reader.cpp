#include "app/core/price_reader.h"

#include <algorithm>
#include <stdexcept>

namespace naveko {

namespace {

// "select 0, salp, ... where guid= :k0 union all select 1, ... where guid= :k1 ...":
// each key keeps the update's own comparison, and its position tells the rows apart.
std::string SelectText(size_t keys) {
  std::string text;
  for (size_t i = 0; i < keys; ++i) {
    if (i) text += " union all ";
    text += "select " + std::to_string(i) + ", salp, price1, salp2, price2 from mat00 where guid= :k" + std::to_string(i);
  }
  return text;
}

void Collect(const std::vector<db::TTextRow>& rows, TRecordPrices* out, size_t count) {
  for (const db::TTextRow& r : rows) {
    if (r.size() != 5 || !r[0]) throw std::runtime_error("The price query returned a row of another shape");
    const size_t at = std::stoul(*r[0]);
    if (at >= count) throw std::runtime_error("The price query returned a row for no key");
    TRecordPrices& p = out[at];
    if (p.Records++ == 0)
      for (size_t k = 0; k < 4; ++k) p.Prices[k] = r[k + 1];
  }
}

}  // namespace

TPriceReader::TPriceReader(db::TDatabaseConnection& connection) {
  for (db::TDatabaseQuery* q : {&many_, &one_}) {
    q->SetCommandTimeout(connection.CommandTimeout());
    q->SetConnection(&connection);
  }
  one_.SetSQL(SelectText(1));
}

std::vector<TRecordPrices> TPriceReader::ReadAll(const std::vector<std::string>& keys) {
  std::vector<TRecordPrices> out(keys.size());
  for (size_t first = 0; first < keys.size(); first += kKeysPerStatement) {
    const size_t n = std::min(kKeysPerStatement, keys.size() - first);
    const std::string text = SelectText(n);
    if (many_.SQL() != text) many_.SetSQL(text);  // full chunks share one prepared statement
    for (size_t i = 0; i < n; ++i) many_.SetParam(int(i), keys[first + i]);
    Collect(many_.OpenRows(), out.data() + first, n);
  }
  return out;
}

TRecordPrices TPriceReader::Read(const std::string& key) {
  TRecordPrices out;
  one_.SetParam(0, key);
  Collect(one_.OpenRows(), &out, 1);
  return out;
}

}  // namespace naveko
