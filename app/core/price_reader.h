// Reads the four prices of medicines from mat00 as the database spells them,
// matching each key with the same "guid=" comparison the update uses, so that
// what it reads is what the update will change. Windows-free.
#pragma once
#include <string>
#include <vector>

#include "app/core/journal.h"
#include "db/query.h"

namespace naveko {

struct TRecordPrices {
  int Records = 0;  // how many records have the key; the prices are the first one's
  TPrices Prices;
};

class TPriceReader {
 public:
  explicit TPriceReader(db::TDatabaseConnection& connection);
  // Many keys in a few statements (each names up to kKeysPerStatement keys).
  std::vector<TRecordPrices> ReadAll(const std::vector<std::string>& keys);
  // One key, through a statement prepared once.
  TRecordPrices Read(const std::string& key);

  static constexpr size_t kKeysPerStatement = 100;

 private:
  db::TDatabaseQuery many_{nullptr}, one_{nullptr};
};

}  // namespace naveko
