// The reader's one hand-over between threads, alone and under its two users:
// order kept, each side's error carried to the other, every wait ended by a
// stop, the owners' destruction mid-way included, and no thread left behind.
#include "spreadsheet/core/hand_over.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "spreadsheet/core/batch_worker.h"
#include "spreadsheet/core/read_ahead.h"
#include "spreadsheet/core/zip_package.h"
#include "tests/spreadsheet/packages.h"

using namespace sheet;

namespace {

// The threads of this process, where the system tells (Linux); -1 elsewhere.
int Threads() {
#ifdef __linux__
  int n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) ++n;
  return n;
#else
  return -1;
#endif
}

}  // namespace

TEST(HandOver, ValuesArriveInOrderAndEachSidesErrorReachesTheOther) {
  {
    THandOver<int> h(3);
    std::jthread producer([&] {
      for (int i = 0; i < 10000; ++i) h.Push(i);
      h.Push(-1);
      h.Fail(std::make_exception_ptr(std::runtime_error("the part is damaged")));
    });
    int expected = 0;
    try {
      while (std::optional<int> v = h.Pop()) {
        if (*v == -1) continue;
        ASSERT_EQ(*v, expected++);
      }
      ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "the part is damaged");
    }
    EXPECT_EQ(expected, 10000) << "every value pushed before the failure came out first";
  }
  {
    THandOver<int> h(2);
    std::atomic<int> pushed{0};
    std::jthread consumer([&] {
      h.Pop();
      h.Fail(std::make_exception_ptr(std::runtime_error("a bad value")));
    });
    try {
      for (;;) {
        h.Push(1);
        ++pushed;
      }
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "a bad value");
    }
    EXPECT_LE(pushed, 4) << "the pushing side learns of it at its next push";
  }
}

TEST(HandOver, AStopEndsEveryWait) {
  THandOver<int> empty(1), full(1);
  full.Push(1);
  std::optional<int> popped = 7;
  bool pushed = true;
  std::jthread popper([&] { popped = empty.Pop(); });
  std::jthread pusher([&] { pushed = full.Push(2); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  empty.Stop();
  full.Stop();
  popper.join();
  pusher.join();
  EXPECT_FALSE(popped.has_value());
  EXPECT_FALSE(pushed);
  EXPECT_FALSE(full.Pop().has_value()) << "nothing comes out of a stopped hand-over";
}

TEST(HandOver, TheBatchWorkerCarriesTheWorksErrorStopsWithBatchesWaitingAndWorksAloneWithoutAThread) {
  const int threads = Threads();
  using TBatch = std::vector<int>;
  {
    // The work fails on its second batch: the filling side hears of it at a later hand-over, or at the finish.
    std::atomic<int> batches{0};
    TBatchWorker<TBatch> worker([&](const TBatch&) {
      if (++batches == 2) throw std::runtime_error("not a number");
    });
    TBatch batch;
    bool heard = false;
    for (int i = 0; i < 50 && !heard; ++i) {
      batch.push_back(i);
      try {
        worker.Submit(batch);
      } catch (const std::runtime_error&) {
        heard = true;
      }
    }
    if (!heard) {
      EXPECT_THROW(worker.Finish(), std::runtime_error);
    }
    EXPECT_EQ(batches, 2) << "nothing after the first error is worked on";
  }
  {
    // Destroyed with batches still waiting behind a slow one: it ends at once.
    std::atomic<int> worked{0};
    const auto before = std::chrono::steady_clock::now();
    {
      TBatchWorker<TBatch> worker([&](const TBatch&) {
        ++worked;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      });
      TBatch batch{1};
      for (int i = 0; i < 3; ++i) worker.Submit(batch);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(1000));
    EXPECT_LT(worked, 3) << "the batches still waiting were dropped";
  }
  {
    // Where no thread starts, each batch is worked on as it is handed over.
    std::vector<int> seen;
    TBatchWorker<TBatch> worker([&](const TBatch& b) { seen.insert(seen.end(), b.begin(), b.end()); }, 3, false);
    TBatch batch{1, 2};
    worker.Submit(batch);
    EXPECT_TRUE(batch.empty());
    EXPECT_EQ(seen, (std::vector<int>{1, 2}));
    batch = {3};
    EXPECT_NO_THROW(worker.Submit(batch));
    worker.Finish();
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
  }
  EXPECT_EQ(Threads(), threads) << "no thread left behind";
}

TEST(HandOver, AReadAheadGivesThePartInOrderAndEndsWhenDestroyedHalfWay) {
  const int threads = Threads();
  std::string text;
  for (int i = 0; text.size() < (3u << 20); ++i) text += std::to_string(i) + ",";
  const std::string package = sheet_test::MakePackage({{"big.xml", text}});
  TZipPackage zip = TZipPackage::OpenMemory(package);
  {
    TPartStream part = zip.Open("big.xml", 1u << 30);
    TReadAhead ahead(part, 1 << 16);
    std::string read;
    for (std::string_view chunk = ahead.Next(); !chunk.empty(); chunk = ahead.Next()) read.append(chunk);
    EXPECT_EQ(read, text);
  }
  {
    TPartStream part = zip.Open("big.xml", 1u << 30);
    TReadAhead ahead(part, 1 << 16);
    EXPECT_EQ(ahead.Next().substr(0, 4), "0,1,");
  }  // destroyed with most of the part unread
  EXPECT_EQ(Threads(), threads) << "no thread left behind";
}
