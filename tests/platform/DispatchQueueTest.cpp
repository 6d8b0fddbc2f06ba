#include "Platform/Dispatch/DispatchQueue.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <numeric>
#include <stdexcept>
#include <thread>
#include <vector>

#include "Platform/Dispatch/DispatchSemaphore.hpp"
#include "Platform/Dispatch/RunLoop.hpp"

using namespace std::chrono_literals;
using platform::DispatchQueue;
using platform::DispatchSemaphore;
using platform::QualityOfService;
using platform::RunLoop;
using Kind = DispatchQueue::Kind;

namespace {

constexpr auto patience = 5s;

// Keeps a synchronous read running on the queue from another thread until released, so the queue is busy.
class BusyReader {
 public:
  explicit BusyReader(std::shared_ptr<DispatchQueue> queue)
      : thread_([this, queue] {
          queue->sync([this] {
            entered_.signal();
            release_.waitFor(patience);
          });
        }) {
    EXPECT_TRUE(entered_.waitFor(patience));
  }
  ~BusyReader() { release(); }
  void release() {
    if (thread_.joinable()) {
      release_.signal();
      thread_.join();
    }
  }

 private:
  DispatchSemaphore entered_{0};
  DispatchSemaphore release_{0};
  std::thread thread_;
};

bool eventually(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (!condition() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(1ms);
  }
  return condition();
}

// async runs the block on another thread; asyncAfter runs it no sooner than its delay.
void expectAsyncRunsOnAnotherThreadAndAfterTheDelay(DispatchQueue& queue) {
  DispatchSemaphore done(0);
  std::thread::id ranOn;
  queue.async([&] { ranOn = std::this_thread::get_id(), done.signal(); });
  ASSERT_TRUE(done.waitFor(patience));
  EXPECT_NE(ranOn, std::this_thread::get_id());
  const auto start = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point ranAt;
  queue.asyncAfter(20ms, [&] { ranAt = std::chrono::steady_clock::now(), done.signal(); });
  ASSERT_TRUE(done.waitFor(patience));
  EXPECT_GE(ranAt - start, 20ms);
}

class PrivateQueueTest : public ::testing::TestWithParam<Kind> {
 protected:
  std::shared_ptr<DispatchQueue> queue_ = DispatchQueue::create("com.test.queue", GetParam());
};

INSTANTIATE_TEST_SUITE_P(Kinds, PrivateQueueTest, ::testing::Values(Kind::serial, Kind::concurrent));

}  // namespace

TEST(DispatchQueueTest, CreatesOnlyPrivateQueuesAndRejectsEmptyBlocks) {
  EXPECT_THROW(DispatchQueue::create("m", Kind::main), std::invalid_argument);
  EXPECT_THROW(DispatchQueue::create("g", Kind::global), std::invalid_argument);
  EXPECT_THROW(DispatchQueue::create("c", Kind::concurrent)->asyncBarrier(nullptr), std::invalid_argument);
  EXPECT_EQ(&DispatchQueue::global(), &DispatchQueue::global(QualityOfService::unspecified));
  EXPECT_NE(&DispatchQueue::global(QualityOfService::background), &DispatchQueue::global());
}

TEST_P(PrivateQueueTest, WritesRunInSubmissionOrder) {
  std::vector<int> seen;
  for (int i = 0; i < 600; ++i) {
    auto append = [&seen, i] { seen.push_back(i); };
    if (i % 3 == 0) {
      queue_->async(append);
    } else {
      queue_->asyncBarrier(append, i % 3 == 1);
    }
  }
  std::vector<int> expected(600);
  std::iota(expected.begin(), expected.end(), 0);
  EXPECT_EQ(queue_->sync([&] { return seen; }), expected);
}

TEST_P(PrivateQueueTest, SyncRunsInlineAndHandsBackValuesReferencesAndExceptions) {
  int value = 7;
  EXPECT_EQ(queue_->sync([] { return std::this_thread::get_id(); }), std::this_thread::get_id());
  EXPECT_EQ(queue_->syncBarrier([&] { return value * 6; }), 42);
  int& same = queue_->sync([&]() -> int& { return value; });
  EXPECT_EQ(&same, &value);
  EXPECT_THROW(queue_->sync([] { throw std::runtime_error("read failed"); }), std::runtime_error);
  EXPECT_THROW(queue_->syncBarrier([]() -> int { throw std::runtime_error("write failed"); }),
               std::runtime_error);
  bool ranInline = false;
  queue_->asyncBarrier([&] { ranInline = true; }, true);  // only an idle, unlocked queue runs it inline
  EXPECT_TRUE(ranInline);
}

TEST_P(PrivateQueueTest, ThreadsReadTheirOwnWrites) {
  constexpr int threads = 6;
  std::vector<int> slots(threads, -1);
  std::atomic<int> stale{0};
  std::vector<std::thread> writers;
  for (int t = 0; t < threads; ++t) {
    writers.emplace_back([&, t] {
      for (int i = 0; i < 300; ++i) {
        queue_->asyncBarrier([&slots, t, i] { slots[t] = i; }, i % 2 == 0);
        stale += queue_->sync([&] { return slots[t]; }) != i;
      }
    });
  }
  for (auto& writer : writers) {
    writer.join();
  }
  EXPECT_EQ(stale.load(), 0);
}

TEST_P(PrivateQueueTest, BusyQueueTakesWritesWithoutBlockingAndRunsThemBeforeALaterBarrier) {
  std::vector<char> order;
  std::atomic<int> ran{0};
  BusyReader reader(queue_);
  queue_->asyncBarrier([&] { order.push_back('a'), ++ran; }, true);
  queue_->async([&] { order.push_back('b'), ++ran; });
  EXPECT_EQ(ran.load(), 0);  // neither ran, and the caller did not wait for the reader
  reader.release();
  queue_->syncBarrier([&] { order.push_back('c'); });
  EXPECT_EQ(order, (std::vector<char>{'a', 'b', 'c'}));
}

TEST_P(PrivateQueueTest, BarrierSubmittedFromItsOwnBlockRunsAfterIt) {
  DispatchSemaphore done(0);
  std::vector<int> order;
  queue_->sync([&] {
    queue_->asyncBarrier([&] { order.push_back(2), done.signal(); }, true);
    order.push_back(1);
  });
  ASSERT_TRUE(done.waitFor(patience));
  queue_->async([&] {
    queue_->asyncBarrier([&] { order.push_back(4), done.signal(); }, true);
    order.push_back(3);
  });
  ASSERT_TRUE(done.waitFor(patience));
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4}));
}

TEST_P(PrivateQueueTest, AsyncRunsOnThePoolAndAsyncAfterWaitsForItsDelay) {
  expectAsyncRunsOnAnotherThreadAndAfterTheDelay(*queue_);
}

TEST_P(PrivateQueueTest, WaitingBlocksKeepTheQueueAndTheirCapturesAlive) {
  const std::weak_ptr<DispatchQueue> weak = queue_;
  auto token = std::make_shared<int>(42);
  std::atomic<int> seen{0};
  {
    BusyReader reader(queue_);
    queue_->asyncBarrier([token, &seen] { seen = *token; }, true);
    token.reset();
    queue_.reset();
  }
  EXPECT_TRUE(eventually([&] { return seen.load() == 42 && weak.expired(); }));
}

TEST(DispatchQueueTest, ConcurrentReadersOverlap) {
  const auto queue = DispatchQueue::create("com.test.readers", Kind::concurrent);
  std::atomic<int> inside{0};
  std::atomic<int> sawBoth{0};
  const auto read = [&] {
    queue->sync([&] {
      ++inside;
      sawBoth += eventually([&] { return inside.load() == 2; });
    });
  };
  std::thread other(read);
  read();
  other.join();
  EXPECT_EQ(sawBoth.load(), 2);
}

TEST(DispatchQueueTest, GlobalQueuesRunSyncInlineAndAsyncOnThePool) {
  DispatchQueue& queue = DispatchQueue::global(QualityOfService::userInitiated);
  const auto caller = std::this_thread::get_id();
  EXPECT_EQ(queue.sync([&] { return queue.syncBarrier([] { return std::this_thread::get_id(); }); }), caller);
  expectAsyncRunsOnAnotherThreadAndAfterTheDelay(queue);
}

TEST(DispatchMainQueueTest, AsyncBlocksRunInOrderOnThePumpedMainLoop) {
  std::vector<int> order;
  bool allOnMain = true;
  for (int i = 0; i < 3; ++i) {
    DispatchQueue::main().async(
        [&, i] { order.push_back(i), allOnMain = allOnMain && platform::isMainThread(); });
  }
  EXPECT_TRUE(order.empty());
  EXPECT_TRUE(RunLoop::main().runUntil([&] { return order.size() == 3; }, patience));
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
  EXPECT_TRUE(allOnMain);
  const auto start = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point firedAt;
  DispatchQueue::main().asyncAfter(20ms, [&] { firedAt = std::chrono::steady_clock::now(); });
  EXPECT_TRUE(RunLoop::main().runUntil([&] { return firedAt.time_since_epoch().count() != 0; }, patience));
  EXPECT_GE(firedAt - start, 20ms);
}

TEST(DispatchMainQueueTest, SyncFromAWorkerWaitsForTheMainLoop) {
  bool done = false;
  bool ranOnMain = false;
  bool threw = false;
  std::thread worker([&] {
    ranOnMain = DispatchQueue::main().sync([] { return platform::isMainThread(); });
    try {
      DispatchQueue::main().syncBarrier([] { throw std::runtime_error("main failed"); });
    } catch (const std::runtime_error&) {
      threw = true;
    }
    DispatchQueue::main().async([&] { done = true; });
  });
  EXPECT_TRUE(RunLoop::main().runUntil([&] { return done; }, patience));
  worker.join();
  EXPECT_TRUE(ranOnMain);
  EXPECT_TRUE(threw);
}

TEST(DispatchQueueDeathTest, SynchronousCallFromABlockOfTheSameQueueIsFatal) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto serial = DispatchQueue::create("com.test.serial", Kind::serial);
  const auto concurrent = DispatchQueue::create("com.test.concurrent", Kind::concurrent);
  const auto other = DispatchQueue::create("com.test.other", Kind::concurrent);
  const char* const onSerial =
      "synchronous call on queue com\\.test\\.serial from a block already running on it";
  const char* const onConcurrent =
      "synchronous call on queue com\\.test\\.concurrent from a block already running on it";
  EXPECT_DEATH(serial->sync([&] { serial->sync([] {}); }), onSerial);
  EXPECT_DEATH(concurrent->sync([&] { other->sync([&] { concurrent->syncBarrier([] {}); }); }), onConcurrent);
  EXPECT_DEATH(concurrent->asyncBarrier([&] { concurrent->sync([] {}); }, true), onConcurrent);
  EXPECT_DEATH(
      {
        serial->async([&] { serial->sync([] {}); });
        DispatchSemaphore(0).waitFor(patience);
      },
      onSerial);
  EXPECT_DEATH(DispatchQueue::main().sync([] {}),
               "synchronous call on queue main from a block already running on it");
  EXPECT_DEATH(
      {
        serial->async([] { throw std::runtime_error("boom"); });
        DispatchSemaphore(0).waitFor(patience);
      },
      "uncaught exception in a block on queue com\\.test\\.serial: boom");
}
