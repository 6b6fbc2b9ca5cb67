// A part read on a thread of its own, a few chunks ahead of the one parsing it,
// so that inflating a large part (a tenth of reading a big sheet) overlaps
// with parsing it instead of adding to it. Windows-free.
#pragma once
#include <string_view>
#include <thread>
#include <vector>

#include "spreadsheet/core/hand_over.h"
#include "spreadsheet/core/zip_package.h"

namespace sheet {

class TReadAhead {
 public:
  // Starts reading at once; throws std::system_error when no thread can start.
  TReadAhead(TPartStream& part, size_t chunk, int depth = 3);
  // Stops the reading thread and waits for it, on every path.
  ~TReadAhead();
  TReadAhead(const TReadAhead&) = delete;
  TReadAhead& operator=(const TReadAhead&) = delete;

  // The next chunk of the part, empty at its end; valid until the next call.
  // The reading thread's error (a damaged part, a limit) is thrown here, after
  // the chunks read before it.
  std::string_view Next();

 private:
  struct TChunk {
    std::vector<char> Bytes;
    size_t Size = 0;
  };
  void Run();

  TPartStream& part_;
  THandOver<TChunk> read_, free_;  // chunks read and not yet parsed; buffers to read into again
  TChunk current_;                 // the chunk given out last, while given_
  bool given_ = false;
  std::jthread thread_;  // last: it starts once everything above exists, and is joined first
};

}  // namespace sheet
