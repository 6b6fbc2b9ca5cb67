// A part read on a thread of its own, a few chunks ahead of the one parsing it,
// so that inflating a large part (a tenth of reading a big sheet) overlaps
// with parsing it instead of adding to it. Windows-free.
#pragma once
#include <condition_variable>
#include <exception>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

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
  // The reading thread's error (a damaged part, a limit) is thrown here.
  std::string_view Next();

 private:
  void Run();

  TPartStream& part_;
  std::vector<std::vector<char>> buffers_;
  std::vector<size_t> sizes_;
  size_t head_ = 0;    // the slot Next() last gave out
  size_t filled_ = 0;  // slots read and not yet released, the one given out included
  bool given_ = false, done_ = false, stop_ = false;
  std::exception_ptr error_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::thread thread_;  // last: it starts once everything above exists
};

}  // namespace sheet
