// mat00 through ODBC: the update's statement through the window's query
// component (its text set anew for every row, so that its parameters are
// described anew), the reads and the way back through queries of their own on
// the same connection. Windows-free; ODBC stays in the .cpp.
#pragma once
#include <memory>

#include "app/core/price_store.h"

namespace db {
class TDatabaseQuery;
}

namespace naveko {

// The statement of every row of an update, word for word.
inline constexpr const char* kUpdateStatement =
    "update mat00 set salp= :a0,price1= :a1,salp2= :a2,price2= :a3  where guid= :a4";

class TOdbcPriceStore : public TPriceStore {
 public:
  // `update` must have an open connection; the store keeps no reference to anything else.
  explicit TOdbcPriceStore(db::TDatabaseQuery& update);
  ~TOdbcPriceStore() override;
  TOdbcPriceStore(const TOdbcPriceStore&) = delete;
  TOdbcPriceStore& operator=(const TOdbcPriceStore&) = delete;

  // A statement per kKeysPerStatement keys, each keeping the update's own "guid=" comparison.
  std::vector<TRecordPrices> ReadAll(const std::vector<std::string>& keys) override;
  TRecordPrices Read(const std::string& key) override;  // through a statement prepared once
  void Update(const std::string& key, const TValues& values) override;
  bool PutBack(const std::string& key, const TValues& values, const TPrices& expected) override;
  TRecordPrices StoredForm(const std::string& key, const TValues& values) override;

  static constexpr size_t kKeysPerStatement = 100;

 private:
  struct TQueries;
  db::TDatabaseQuery& update_;
  std::unique_ptr<TQueries> queries_;
};

}  // namespace naveko
