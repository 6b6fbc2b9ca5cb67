// libFuzzer target: statement markers, connection strings and key trimming on
// arbitrary bytes (price text has a target of its own).
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/core/price_text.h"
#include "db/connection_string.h"
#include "db/sql_markers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string s(reinterpret_cast<const char*>(data), size);
  auto parsed = db::ParseMarkers(s);
  // Each marker takes at least two characters and leaves one.
  if (parsed.Text.size() + parsed.Names.size() > s.size()) __builtin_trap();
  (void)db::OleDbToOdbc(s);
  (void)naveko::TrimKey(s);
  return 0;
}
