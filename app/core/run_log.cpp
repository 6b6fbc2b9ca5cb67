#include "app/core/run_log.h"

namespace naveko {

namespace {

constexpr std::string_view kBlockStart = "==== ";

}  // namespace

TLogBlock::TLogBlock(std::string_view when, std::string_view version, std::string_view what) {
  text_.append(kBlockStart).append(when).append("  NAVEKO price update ").append(version).append("  ").append(what);
  text_ += "\r\n";
}

void TLogBlock::Add(std::string_view name, std::string_view value) {
  text_.append("  ").append(name).append(": ");
  // One line per value: a multi-line database message keeps its lines, indented.
  for (char c : value) {
    if (c == '\r') continue;
    text_ += c == '\n' ? std::string_view("\r\n    ") : std::string_view(&c, 1);
  }
  text_ += "\r\n";
}

std::string AppendBounded(std::string_view log, std::string_view block, size_t limit) {
  if (block.size() >= limit) return std::string(block.substr(0, limit));
  size_t from = 0;
  while (log.size() - from + block.size() > limit) {
    // Drop the oldest block: up to the next line that starts one.
    const size_t next = log.find(std::string("\n") + std::string(kBlockStart), from);
    from = next == std::string_view::npos ? log.size() : next + 1;
  }
  std::string out(log.substr(from));
  out.append(block);
  return out;
}

}  // namespace naveko
