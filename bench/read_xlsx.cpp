// Benchmark driver: the built-in reader on one workbook, or the floor of
// only inflating the sheet part and scanning its bytes. Prints one JSON line
// with the elapsed seconds of the work itself; the calling script adds the
// process's peak memory.
//   read_xlsx reader FILE   |   read_xlsx floor FILE
#include <zip.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "spreadsheet/core/xlsx_reader.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: read_xlsx reader|floor FILE\n");
    return 2;
  }
  const std::string mode = argv[1], path = argv[2];
  const auto start = std::chrono::steady_clock::now();
  unsigned long long cells = 0, bytes = 0;
  if (mode == "reader") {
    const sheet::TValueBlock b = sheet::ReadFirstSheetFromFile(path);
    cells = b.Cells.size();
    bytes = std::uint64_t(b.R) * std::uint64_t(b.N);
  } else {
    // The floor: inflate xl/worksheets/sheet1.xml and count its '<'.
    int err = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_RDONLY, &err);
    if (!z) return 1;
    zip_file_t* f = zip_fopen(z, "xl/worksheets/sheet1.xml", 0);
    if (!f) return 1;
    static char buf[1 << 16];
    zip_int64_t n;
    while ((n = zip_fread(f, buf, sizeof buf)) > 0) {
      bytes += std::uint64_t(n);
      for (zip_int64_t i = 0; i < n; ++i) cells += buf[i] == '<';
    }
    zip_fclose(f);
    zip_discard(z);
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("{\"seconds\": %.6f, \"count\": %llu, \"size\": %llu}\n", seconds, cells, bytes);
  return 0;
}
