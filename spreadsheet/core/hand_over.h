// A bounded hand-over of values from one thread to another, the one way the
// reader's threads meet: the part read ahead of the parser, the cells
// converted behind it. Push waits while `depth` values wait; Pop waits for one.
// The pushing side closes it when it has no more (Pop then gives the rest and
// then nothing). Either side may fail it: the values pushed before the failure
// still come out of Pop, which then throws the error, and Push throws it at
// once. Stop ends every wait, and Push and Pop give up from then on: it is how
// an owner ends a hand-over on every path, its own destruction included.
// Windows-free.
#pragma once
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <utility>

namespace sheet {

template <class T>
class THandOver {
 public:
  explicit THandOver(size_t depth) : depth_(depth) {}
  THandOver(const THandOver&) = delete;
  THandOver& operator=(const THandOver&) = delete;

  // Waits for room; false when the hand-over was stopped (the value is dropped).
  // Throws the error it was failed with.
  bool Push(T value) {
    std::unique_lock lock(mutex_);
    room_.wait(lock, [&] { return stopped_ || error_ || values_.size() < depth_; });
    if (error_) std::rethrow_exception(error_);
    if (stopped_) return false;
    values_.push_back(std::move(value));
    ready_.notify_one();
    return true;
  }

  // Waits for a value; nullopt once it is closed and empty, or stopped.
  // Throws the error it was failed with once the values before it are taken.
  std::optional<T> Pop() {
    std::unique_lock lock(mutex_);
    ready_.wait(lock, [&] { return stopped_ || closed_ || error_ || !values_.empty(); });
    return TakeFront();
  }

  // A value if one waits, without waiting.
  std::optional<T> TryPop() {
    std::lock_guard lock(mutex_);
    if (values_.empty()) return std::nullopt;
    return TakeFront();
  }

  void Close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    ready_.notify_all();
  }

  void Fail(std::exception_ptr error) {
    std::lock_guard lock(mutex_);
    if (!error_) error_ = std::move(error);
    ready_.notify_all();
    room_.notify_all();
  }

  void Stop() {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    ready_.notify_all();
    room_.notify_all();
  }

 private:
  // With the lock held, and a value or an end to give.
  std::optional<T> TakeFront() {
    if (stopped_) return std::nullopt;
    if (values_.empty()) {
      if (error_) std::rethrow_exception(error_);
      return std::nullopt;
    }
    std::optional<T> value(std::move(values_.front()));
    values_.pop_front();
    room_.notify_one();
    return value;
  }

  const size_t depth_;
  std::mutex mutex_;
  std::condition_variable ready_, room_;
  std::deque<T> values_;
  bool closed_ = false, stopped_ = false;
  std::exception_ptr error_;
};

}  // namespace sheet
