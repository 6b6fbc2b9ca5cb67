// Batches of work done on a thread of its own while the one that fills them
// goes on: the sheet's cells are converted while the parser reads on. At
// most `depth` batches wait; batches come back emptied for refilling. The
// first error the work throws reaches the filling thread at its next hand-over
// or at Finish. Where no thread starts, each batch is worked on as it is
// handed over. Windows-free.
#pragma once
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace sheet {

template <class Batch>  // Batch: movable, with clear()
class TBatchWorker {
 public:
  explicit TBatchWorker(std::function<void(const Batch&)> work, size_t depth = 3)
      : work_(std::move(work)), depth_(depth) {
    try {
      thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
      // no thread: Submit works on each batch itself
    }
  }
  ~TBatchWorker() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
  }
  TBatchWorker(const TBatchWorker&) = delete;
  TBatchWorker& operator=(const TBatchWorker&) = delete;

  // Hands the batch over; it comes back empty, ready to be filled again.
  void Submit(Batch& batch) {
    if (!thread_.joinable()) {
      work_(batch);
      batch.clear();
      return;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return error_ || pending_.size() < depth_; });
    if (error_) std::rethrow_exception(error_);
    pending_.push_back(std::move(batch));
    if (spare_.empty()) {
      batch = Batch();
    } else {
      batch = std::move(spare_.back());
      spare_.pop_back();
    }
    batch.clear();
    changed_.notify_all();
  }

  // Waits for every batch handed over; throws the first error of the work.
  void Finish() {
    if (!thread_.joinable()) return;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      finishing_ = true;
    }
    changed_.notify_all();
    thread_.join();
    if (error_) std::rethrow_exception(error_);
  }

 private:
  void Run() {
    for (;;) {
      Batch batch;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return stop_ || finishing_ || !pending_.empty(); });
        if (stop_ || pending_.empty()) return;
        batch = std::move(pending_.front());
        pending_.pop_front();
      }
      changed_.notify_all();
      try {
        work_(batch);
      } catch (...) {
        std::lock_guard<std::mutex> lock(mutex_);
        error_ = std::current_exception();
        pending_.clear();  // nothing after the first error is worked on
        changed_.notify_all();
        return;
      }
      batch.clear();
      std::lock_guard<std::mutex> lock(mutex_);
      spare_.push_back(std::move(batch));
    }
  }

  std::function<void(const Batch&)> work_;
  size_t depth_;
  std::deque<Batch> pending_;
  std::vector<Batch> spare_;
  bool stop_ = false, finishing_ = false;
  std::exception_ptr error_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::thread thread_;  // last: it starts once everything above exists
};

}  // namespace sheet
