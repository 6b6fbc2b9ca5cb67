// Benchmark driver: the update run of 1499 rows through ODBC (unixODBC with
// the SQLite driver) on a database the calling script prepared. Prints the
// elapsed seconds of RunPriceUpdate alone.
//   update_run DATABASE_FILE
#include <chrono>
#include <cstdio>
#include <string>

#include "app/core/price_update.h"
#include "db/connection.h"
#include "db/query.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: update_run DATABASE_FILE\n");
    return 2;
  }
  db::TDatabaseConnection connection(nullptr);
  std::string connectionString = "Driver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so;Database=";
  connectionString += argv[1];
  connection.SetConnectionString(connectionString);
  connection.Open();
  db::TDatabaseQuery query(nullptr);
  query.SetConnection(&connection);
  fw::TStringTable table(30, 1500);
  for (int row = 1; row < 1500; ++row) {
    std::string key = "G", price = std::to_string(row);
    key += price;
    price += ".5";
    table.SetCell(0, row, key);
    for (int k = 1; k <= 4; ++k) table.SetCell(k, row, price);
  }
  const auto start = std::chrono::steady_clock::now();
  const naveko::TUpdateResult result = naveko::RunPriceUpdate(table, query, ".");
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (result.Outcome != naveko::TUpdateOutcome::Success) {
    std::fprintf(stderr, "update run failed at row %d: %s\n", result.FailedRow, result.Error.c_str());
    return 1;
  }
  std::printf("{\"seconds\": %.6f, \"statements\": %d}\n", seconds, result.StatementsRun);
  return 0;
}
