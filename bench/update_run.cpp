// Benchmark driver: the update run and its snapshot through ODBC (unixODBC
// with the SQLite driver) on a database the calling script prepared, keys
// G1, G2, ... Prints the elapsed seconds of the measured work alone.
//   update_run DATABASE_FILE update         the run of 1499 rows, no journal
//   update_run DATABASE_FILE journal        the same run with its snapshot and journal (fsync per write)
//   update_run DATABASE_FILE snapshot N     the snapshot of N keys (a statement per 100 keys)
//   update_run DATABASE_FILE per-key N      baseline: one prepared select per key
//   update_run DATABASE_FILE scan           baseline: all of mat00 in one statement
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "app/core/odbc_price_store.h"
#include "app/core/price_update.h"
#include "db/connection.h"
#include "db/query.h"

namespace {

// The journal on a POSIX file as the program keeps its own: written as it
// goes, on the disk at each flush (fsync), the final form by a flushed
// temporary file renamed into place.
class FileSink : public naveko::TJournalSink {
 public:
  explicit FileSink(std::string path) : path_(std::move(path)) {}
  ~FileSink() override {
    if (fd_ >= 0) ::close(fd_);
  }
  void Append(std::string_view b) override {
    if (fd_ < 0) fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd_ < 0 || ::write(fd_, b.data(), b.size()) != ssize_t(b.size())) throw std::runtime_error("write");
  }
  void Flush() override {
    if (::fsync(fd_) != 0) throw std::runtime_error("fsync");
  }
  void Replace(std::string_view b) override {
    const std::string temp = path_ + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const bool ok = fd >= 0 && ::write(fd, b.data(), b.size()) == ssize_t(b.size()) && ::fsync(fd) == 0;
    if (fd >= 0) ::close(fd);
    if (!ok || std::rename(temp.c_str(), path_.c_str()) != 0) throw std::runtime_error("replace");
  }

 private:
  std::string path_;
  int fd_ = -1;
};

std::vector<std::string> Keys(int n) {
  std::vector<std::string> keys;
  for (int i = 1; i <= n; ++i) {
    std::string key = "G";  // appended, not added: GCC 12 warns falsely about "G" + text
    key += std::to_string(i);
    keys.push_back(key);
  }
  return keys;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: update_run DATABASE_FILE update|journal|snapshot N|per-key N|scan\n");
    return 2;
  }
  const std::string mode = argv[2];
  const int n = argc > 3 ? std::atoi(argv[3]) : 0;
  db::TDatabaseConnection connection(nullptr);
  std::string connectionString = "Driver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so;Database=";
  connectionString += argv[1];
  connection.SetConnectionString(connectionString);
  connection.Open();
  db::TDatabaseQuery query(nullptr);
  query.SetConnection(&connection);
  naveko::TOdbcPriceStore store(query);
  fw::TStringTable table(30, 1500);
  for (int row = 1; row < 1500; ++row) {
    std::string key = "G", price = std::to_string(row);
    key += price;
    price += ".5";
    table.SetCell(0, row, key);
    for (int k = 1; k <= 4; ++k) table.SetCell(k, row, price);
  }
  FileSink sink(std::string(argv[1]) + ".journal.csv");
  naveko::TRunJournal journal(sink);
  const std::vector<std::string> keys = Keys(n);
  size_t found = 0;

  const auto start = std::chrono::steady_clock::now();
  if (mode == "update" || mode == "journal") {
    const naveko::TUpdateResult result =
        naveko::RunPriceUpdate(table, store, ".", mode == "journal" ? &journal : nullptr);
    if (result.Outcome != naveko::TUpdateOutcome::Success) {
      std::fprintf(stderr, "update run failed at row %d: %s\n", result.FailedRow, result.Error.c_str());
      return 1;
    }
    found = size_t(result.StatementsRun);
  } else if (mode == "snapshot") {
    for (const auto& p : store.ReadAll(keys)) found += p.Records;
  } else if (mode == "per-key") {
    for (const auto& k : keys) found += store.Read(k).Records;
  } else if (mode == "scan") {
    query.SetSQL("select guid, salp, price1, salp2, price2 from mat00");
    found = query.OpenRows().size();
  } else {
    std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
    return 2;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("{\"seconds\": %.6f, \"count\": %zu}\n", seconds, found);
  return 0;
}
