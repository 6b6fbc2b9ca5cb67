// mat00 as the price update and the way back see it: the four prices of a
// medicine by its key, read as the database spells them, written by one
// statement committed by itself. The run and the undo go through this
// interface alone, so that they can be tried against a database that fails
// or stops at any step. Windows-free.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "app/core/journal.h"
#include "db/param_value.h"

namespace naveko {

// What a statement sends for salp, price1, salp2 and price2.
using TValues = std::array<db::TParamValue, 4>;

struct TRecordPrices {
  int Records = 0;  // how many records have the key; the prices are the first one's
  TPrices Prices;
};

class TPriceStore {
 public:
  virtual ~TPriceStore() = default;
  // The prices of many keys (the snapshot). Keys are the table's 8-bit text.
  virtual std::vector<TRecordPrices> ReadAll(const std::vector<std::string>& keys) = 0;
  virtual TRecordPrices Read(const std::string& key) = 0;
  // The update's statement: every record with the key gets `values`; committed by itself.
  virtual void Update(const std::string& key, const TValues& values) = 0;
  // The way back's statement: the record gets `values` only if it holds
  // exactly `expected` when the statement runs (the condition is part of the
  // statement, so nothing can change in between); committed by itself.
  // Returns whether it changed a record.
  virtual bool PutBack(const std::string& key, const TValues& values, const TPrices& expected) = 0;
  // What the record would hold after Update(key, values), as the database
  // stores and spells it, found by doing it and undoing it: a numeric(18,2)
  // column keeps 12.35 for a sent 12.345, money rounds to four places, a float
  // keeps the double. Nothing changes.
  virtual TRecordPrices StoredForm(const std::string& key, const TValues& values) = 0;
};

// The values as the journal spells what was sent: the shortest text that reads
// back as the same double, "0" for the integer 0, the text itself, NULL as nullopt.
TPrices SentTexts(const TValues& values);
// The values a journal's sent texts stand for (the inverse of SentTexts for doubles).
TValues ValuesOfSent(const TPrices& sent);
// The values that put back prices the database spelled: its text, NULL as NULL.
TValues ValuesOfPrices(const TPrices& prices);

}  // namespace naveko
