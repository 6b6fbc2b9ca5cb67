#include "spreadsheet/core/read_ahead.h"

namespace sheet {

TReadAhead::TReadAhead(TPartStream& part, size_t chunk, int depth)
    : part_(part), buffers_(size_t(depth), std::vector<char>(chunk)), sizes_(size_t(depth), 0) {
  thread_ = std::thread([this] { Run(); });
}

TReadAhead::~TReadAhead() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void TReadAhead::Run() {
  const size_t depth = buffers_.size();
  for (;;) {
    size_t slot;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [&] { return stop_ || filled_ < depth; });
      if (stop_) return;
      slot = (head_ + filled_) % depth;
    }
    // The slot is neither given out nor waiting: only this thread touches it now.
    size_t n = 0;
    std::exception_ptr error;
    try {
      n = part_.Read(buffers_[slot].data(), buffers_[slot].size());
    } catch (...) {
      error = std::current_exception();
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (error || n == 0) {
        error_ = error;
        done_ = true;
      } else {
        sizes_[slot] = n;
        ++filled_;
      }
    }
    changed_.notify_all();
    if (error || n == 0) return;
  }
}

std::string_view TReadAhead::Next() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (given_) {  // the chunk given out last is done with
    head_ = (head_ + 1) % buffers_.size();
    --filled_;
    given_ = false;
    changed_.notify_all();
  }
  changed_.wait(lock, [&] { return filled_ > 0 || done_; });
  if (filled_ == 0) {
    if (error_) std::rethrow_exception(error_);
    return {};
  }
  given_ = true;
  return std::string_view(buffers_[head_].data(), sizes_[head_]);
}

}  // namespace sheet
