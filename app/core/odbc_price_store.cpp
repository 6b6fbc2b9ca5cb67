#include "app/core/odbc_price_store.h"

#include <algorithm>
#include <stdexcept>

#include "db/query.h"

namespace naveko {

namespace {

// "select 0, salp, ... where guid= :k0 union all select 1, ... where guid= :k1 ...":
// each key keeps the update's own comparison, and its position tells the rows apart.
std::string SelectText(size_t keys) {
  std::string text;
  for (size_t i = 0; i < keys; ++i) {
    if (i) text += " union all ";
    text +=
        "select " + std::to_string(i) + ", salp, price1, salp2, price2 from mat00 where guid= :k" + std::to_string(i);
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

constexpr const char* kColumns[] = {"salp", "price1", "salp2", "price2"};

// The update's statement with the condition that the record still holds
// `expected`, in the database's own terms (its text converted to the column's
// type); a NULL price is matched with "is null".
std::string PutBackText(const TPrices& expected) {
  std::string text = std::string(kUpdateStatement);
  for (size_t k = 0; k < 4; ++k) {
    text += std::string(" and ") + kColumns[k];
    text += expected[k] ? "= :c" + std::to_string(k) : std::string(" is null");
  }
  return text;
}

}  // namespace

struct TOdbcPriceStore::TQueries {
  db::TDatabaseQuery many{nullptr}, one{nullptr}, putBack{nullptr};
};

TOdbcPriceStore::TOdbcPriceStore(db::TDatabaseQuery& update) : update_(update), queries_(std::make_unique<TQueries>()) {
  db::TDatabaseConnection* connection = update.Connection();
  if (!connection) throw std::runtime_error("The query has no connection");
  for (db::TDatabaseQuery* q : {&queries_->many, &queries_->one, &queries_->putBack}) {
    q->SetCommandTimeout(update.CommandTimeout());
    q->SetConnection(connection);
  }
  queries_->one.SetSQL(SelectText(1));
}

TOdbcPriceStore::~TOdbcPriceStore() = default;

namespace {

// A data exception (SQLSTATE class 22): the database refused to compare a
// value with the key's column ("Conversion failed when converting from a
// character string to uniqueidentifier", "invalid input syntax for type
// uuid", a text too long for the column).
bool RefusedKey(const db::EDatabaseError& e) { return e.HasState("22"); }

}  // namespace

// The keys go a hundred to a statement. When the database refuses one of a
// hundred (a footer such as a total, a note, a text that is no GUID), that
// hundred is read again a key at a time, and a key it still refuses matches no
// record: one odd key costs a hundred single reads, not the other keys.
std::vector<TRecordPrices> TOdbcPriceStore::ReadAll(const std::vector<std::string>& keys) {
  std::vector<TRecordPrices> out(keys.size());
  db::TDatabaseQuery& many = queries_->many;
  for (size_t first = 0; first < keys.size(); first += kKeysPerStatement) {
    const size_t n = std::min(kKeysPerStatement, keys.size() - first);
    const std::string text = SelectText(n);
    if (many.SQL() != text) many.SetSQL(text);  // full chunks share one prepared statement
    for (size_t i = 0; i < n; ++i) many.SetParam(int(i), keys[first + i]);
    try {
      Collect(many.OpenRows(), out.data() + first, n);
    } catch (const db::EDatabaseError& e) {
      if (!RefusedKey(e)) throw;
      for (size_t i = 0; i < n; ++i) {
        out[first + i] = TRecordPrices{};
        try {
          out[first + i] = Read(keys[first + i]);
        } catch (const db::EDatabaseError& single) {
          if (!RefusedKey(single)) throw;
        }
      }
    }
  }
  return out;
}

TRecordPrices TOdbcPriceStore::Read(const std::string& key) {
  TRecordPrices out;
  queries_->one.SetParam(0, key);
  Collect(queries_->one.OpenRows(), &out, 1);
  return out;
}

void TOdbcPriceStore::Update(const std::string& key, const TValues& values) {
  // The text is set again for every row, so the parameters are described anew.
  update_.ClearSQL();
  update_.SetSQL(kUpdateStatement);
  for (int k = 0; k < 4; ++k) update_.SetParam(k, values[size_t(k)]);
  update_.SetParam(4, key);
  update_.ExecSQL();
}

bool TOdbcPriceStore::PutBack(const std::string& key, const TValues& values, const TPrices& expected) {
  db::TDatabaseQuery& q = queries_->putBack;
  const std::string text = PutBackText(expected);
  if (q.SQL() != text) q.SetSQL(text);
  for (int k = 0; k < 4; ++k) q.SetParam(k, values[size_t(k)]);
  q.SetParam(4, key);
  int at = 5;
  for (const TPrice& p : expected)
    if (p) q.SetParam(at++, *p);
  return q.ExecSQL() != 0;
}

TRecordPrices TOdbcPriceStore::StoredForm(const std::string& key, const TValues& values) {
  db::TTransaction transaction(*update_.Connection());
  Update(key, values);
  return Read(key);  // the transaction is rolled back as it goes
}

}  // namespace naveko
