// The run log for whoever supports the pharmacy: one block per start, per
// update run and per undo, each a heading line and "name: value" lines, in
// UTF-8. The log keeps to a bounded size by dropping its oldest blocks.
// Windows-free.
#pragma once
#include <string>
#include <string_view>

namespace naveko {

inline constexpr size_t kLogLimit = 1024 * 1024;

class TLogBlock {
 public:
  // `when` is the local time as "2026-12-10 08:30:15"; `what` is "start", "update" or "undo".
  TLogBlock(std::string_view when, std::string_view version, std::string_view what);
  void Add(std::string_view name, std::string_view value);
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

// The log `log` with `block` added at its end, less as many of its oldest
// blocks as it takes to keep within `limit` bytes (a block larger than the
// limit is kept alone, cut to it).
std::string AppendBounded(std::string_view log, std::string_view block, size_t limit = kLogLimit);

}  // namespace naveko
