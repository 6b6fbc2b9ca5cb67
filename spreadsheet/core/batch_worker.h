// Batches of work done on a thread of its own while the one that fills them
// goes on: the sheet's cells are converted while the parser reads on. At
// most `depth` batches wait; batches come back emptied for refilling. The
// first error the work throws reaches the filling thread at its next hand-over
// or at Finish. Where no thread starts, each batch is worked on as it is
// handed over. Windows-free.
#pragma once
#include <exception>
#include <functional>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "spreadsheet/core/hand_over.h"

namespace sheet {

template <class Batch>  // Batch: movable, with clear()
class TBatchWorker {
 public:
  // `threaded` false works on each batch as it is handed over, as when no thread can start.
  explicit TBatchWorker(std::function<void(const Batch&)> work, size_t depth = 3, bool threaded = true)
      : work_(std::move(work)), pending_(depth), spare_(depth + 2) {
    if (!threaded) return;
    try {
      thread_ = std::jthread([this] { Run(); });
    } catch (const std::system_error&) {
      // no thread: Submit works on each batch itself
    }
  }
  // Ends the worker's waits; batches still waiting are dropped; the thread is joined as it goes.
  ~TBatchWorker() {
    pending_.Stop();
    spare_.Stop();
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
    pending_.Push(std::move(batch));  // throws the work's error
    batch = spare_.TryPop().value_or(Batch());
    batch.clear();
  }

  // Waits for every batch handed over; throws the first error of the work.
  void Finish() {
    if (!thread_.joinable()) return;
    pending_.Close();
    thread_.join();
    if (error_) std::rethrow_exception(error_);  // written before the join
  }

 private:
  void Run() {
    while (std::optional<Batch> batch = pending_.Pop()) {
      try {
        work_(*batch);
      } catch (...) {
        error_ = std::current_exception();
        pending_.Fail(error_);  // nothing after the first error is worked on
        return;
      }
      batch->clear();
      spare_.Push(std::move(*batch));
    }
  }

  std::function<void(const Batch&)> work_;
  THandOver<Batch> pending_, spare_;
  std::exception_ptr error_;  // the worker's, read after the join
  std::jthread thread_;       // last: it starts once everything above exists, and is joined first
};

}  // namespace sheet
