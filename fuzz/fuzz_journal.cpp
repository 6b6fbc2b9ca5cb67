// libFuzzer target: the journal reader on arbitrary bytes (a journal is a file
// a person may open and edit). What it accepts must write back to the same rows.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/core/journal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  naveko::TJournal journal;
  try {
    journal = naveko::ReadJournal(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const naveko::EJournalError&) {
    return 0;
  }
  const naveko::TJournal again = naveko::ReadJournal(naveko::FormatJournal(journal.Rows, journal.Kind));
  if (again.Rows != journal.Rows || again.Kind != journal.Kind) __builtin_trap();
  return 0;
}
