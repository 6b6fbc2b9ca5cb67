#include "spreadsheet/core/read_ahead.h"

namespace sheet {

TReadAhead::TReadAhead(TPartStream& part, size_t chunk, int depth)
    : part_(part), read_(size_t(depth)), free_(size_t(depth)) {
  for (int i = 0; i < depth; ++i) free_.Push(TChunk{std::vector<char>(chunk), 0});
  thread_ = std::jthread([this] { Run(); });
}

TReadAhead::~TReadAhead() {
  // Ends the reading thread's waits; the thread is joined as it goes.
  read_.Stop();
  free_.Stop();
}

void TReadAhead::Run() {
  try {
    while (std::optional<TChunk> chunk = free_.Pop()) {
      chunk->Size = part_.Read(chunk->Bytes.data(), chunk->Bytes.size());
      if (chunk->Size == 0) {
        read_.Close();
        return;
      }
      if (!read_.Push(std::move(*chunk))) return;
    }
  } catch (...) {
    read_.Fail(std::current_exception());
  }
}

std::string_view TReadAhead::Next() {
  if (given_) {  // the chunk given out last is done with
    free_.Push(std::move(current_));
    given_ = false;
  }
  std::optional<TChunk> chunk = read_.Pop();
  if (!chunk) return {};
  current_ = std::move(*chunk);
  given_ = true;
  return std::string_view(current_.Bytes.data(), current_.Size);
}

}  // namespace sheet
