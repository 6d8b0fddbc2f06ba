#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <numeric>
#include <semaphore>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "Platform/Dispatch/DispatchQueue.hpp"
#include "Platform/Dispatch/RunLoop.hpp"

using namespace std::chrono_literals;
using platform::DispatchQueue;
using platform::QualityOfService;
using Kind = DispatchQueue::Kind;

namespace {

constexpr auto patience = 5s;

// Holds a synchronous read on the queue from another thread until released, so the queue stays busy.
struct BusyReader {
  explicit BusyReader(std::shared_ptr<DispatchQueue> queue)
      : thread([this, queue] { queue->sync([this] { entered.release(), released.acquire(); }); }) {
    EXPECT_TRUE(entered.try_acquire_for(patience));
  }
  ~BusyReader() { released.release(), thread.join(); }
  std::binary_semaphore entered{0};
  std::binary_semaphore released{0};
  std::thread thread;
};

bool eventually(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (!condition() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
  return condition();
}

class PrivateQueueTest : public ::testing::TestWithParam<Kind> {
 protected:
  std::shared_ptr<DispatchQueue> queue_ = DispatchQueue::create("com.test.queue", GetParam());
};

INSTANTIATE_TEST_SUITE_P(Kinds, PrivateQueueTest, ::testing::Values(Kind::serial, Kind::concurrent));

}  // namespace

TEST(DispatchQueueTest, CreatesOnlyPrivateQueuesAndRejectsEmptyBlocks) {
  EXPECT_THROW(DispatchQueue::create("m", Kind::main), std::invalid_argument);
  EXPECT_THROW(DispatchQueue::create("c", Kind::concurrent)->asyncBarrier(nullptr), std::invalid_argument);
  EXPECT_EQ(&DispatchQueue::global(), &DispatchQueue::global(QualityOfService::unspecified));
  EXPECT_NE(&DispatchQueue::global(QualityOfService::background), &DispatchQueue::global());
}

TEST_P(PrivateQueueTest, WritesRunInSubmissionOrder) {
  std::vector<int> seen;
  for (int i = 0; i < 600; ++i) {
    auto append = [&seen, i] { seen.push_back(i); };
    i % 3 == 0 ? queue_->async(append) : queue_->asyncBarrier(append, i % 3 == 1);
  }
  std::vector<int> expected(600);
  std::iota(expected.begin(), expected.end(), 0);
  EXPECT_EQ(queue_->sync([&] { return seen; }), expected);
}

TEST_P(PrivateQueueTest, SyncRunsInlineAndHandsBackValuesReferencesAndExceptions) {
  int value = 7;
  EXPECT_EQ(queue_->sync([] { return std::this_thread::get_id(); }), std::this_thread::get_id());
  EXPECT_EQ(queue_->syncBarrier([&] { return value * 6; }), 42);
  EXPECT_EQ(&queue_->sync([&]() -> int& { return value; }), &value);
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
  for (auto& writer : writers) writer.join();
  EXPECT_EQ(stale.load(), 0);
}

// A barrier from inside a block of its own queue must neither run inline nor try_lock a held lock.
TEST_P(PrivateQueueTest, BarrierSubmittedFromItsOwnBlockRunsAfterIt) {
  std::binary_semaphore done(0);
  std::vector<int> order;
  queue_->sync([&] {
    queue_->asyncBarrier([&] { order.push_back(2), done.release(); }, true);
    order.push_back(1);
  });
  ASSERT_TRUE(done.try_acquire_for(patience));
  queue_->async([&] {
    queue_->asyncBarrier([&] { order.push_back(4), done.release(); }, true);
    order.push_back(3);
  });
  ASSERT_TRUE(done.try_acquire_for(patience));
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4}));
}

TEST_P(PrivateQueueTest, BusyQueueTakesWritesWithoutBlockingAndKeepsThemAliveUntilTheyRun) {
  const std::weak_ptr<DispatchQueue> weak = queue_;
  auto token = std::make_shared<char>('a');
  std::string order;
  std::atomic<int> ran{0};
  {
    BusyReader reader(queue_);
    queue_->asyncBarrier([&, token] { order += *token, ++ran; }, true);
    queue_->async([&] { order += 'b', ++ran; });
    queue_->asyncBarrier([&] { order += 'c', ++ran; });
    EXPECT_EQ(ran.load(), 0);  // none ran, and the caller did not wait for the reader
    token.reset();
    queue_.reset();
  }
  EXPECT_TRUE(eventually([&] { return ran.load() == 3 && weak.expired(); }));
  EXPECT_EQ(order, "abc");
}

TEST(DispatchQueueTest, ConcurrentReadersOverlap) {
  const auto queue = DispatchQueue::create("com.test.readers", Kind::concurrent);
  std::atomic<int> inside{0};
  std::atomic<int> sawBoth{0};
  const auto read = [&] {
    queue->sync([&] { ++inside, sawBoth += eventually([&] { return inside.load() == 2; }); });
  };
  std::thread other(read);
  read();
  other.join();
  EXPECT_EQ(sawBoth.load(), 2);
}

TEST(DispatchQueueTest, GlobalSyncRunsInlineAndEveryAsyncRunsOnThePool) {
  DispatchQueue& global = DispatchQueue::global(QualityOfService::userInitiated);
  const auto caller = std::this_thread::get_id();
  EXPECT_EQ(global.sync([&] { return global.syncBarrier([] { return std::this_thread::get_id(); }); }),
            caller);
  const auto serial = DispatchQueue::create("com.test.serial", Kind::serial);
  const auto concurrent = DispatchQueue::create("com.test.concurrent", Kind::concurrent);
  for (DispatchQueue* queue : {serial.get(), concurrent.get(), &global}) {
    SCOPED_TRACE(queue->label());
    std::binary_semaphore done(0);
    std::thread::id ranOn;
    queue->async([&] { ranOn = std::this_thread::get_id(), done.release(); });
    ASSERT_TRUE(done.try_acquire_for(patience));
    EXPECT_NE(ranOn, caller);
  }
}

// A worker's sync on the main queue waits for the pumped main loop to run it, for its value or exception.
TEST(DispatchMainQueueTest, WorkersSyncRunsOnThePumpedMainLoop) {
  DispatchQueue& mainQueue = DispatchQueue::main();
  bool done = false;
  std::thread worker([&] {
    EXPECT_TRUE(mainQueue.sync([] { return platform::isMainThread(); }));
    EXPECT_THROW(mainQueue.syncBarrier([] { throw std::runtime_error("main failed"); }), std::runtime_error);
    mainQueue.async([&] { done = true; });
  });
  EXPECT_TRUE(platform::RunLoop::main().runUntil([&] { return done; }, patience));
  worker.join();
}

TEST(DispatchQueueDeathTest, SynchronousCallFromABlockOfTheSameQueueIsFatal) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto serial = DispatchQueue::create("com.test.serial", Kind::serial);
  const auto concurrent = DispatchQueue::create("com.test.concurrent", Kind::concurrent);
  const auto other = DispatchQueue::create("com.test.other", Kind::concurrent);
  const auto nested = [](const std::string& label) {
    return "synchronous call on queue " + label + " from a block already running on it";
  };
  EXPECT_DEATH(serial->sync([&] { serial->sync([] {}); }), nested("com\\.test\\.serial"));
  EXPECT_DEATH(concurrent->sync([&] { other->sync([&] { concurrent->syncBarrier([] {}); }); }),
               nested("com\\.test\\.concurrent"));
  EXPECT_DEATH(concurrent->asyncBarrier([&] { concurrent->sync([] {}); }, true),
               nested("com\\.test\\.concurrent"));
  const auto waitForTheBlock = [] { std::this_thread::sleep_for(patience); };
  EXPECT_DEATH((serial->async([&] { serial->sync([] {}); }), waitForTheBlock()),
               nested("com\\.test\\.serial"));
  EXPECT_DEATH(DispatchQueue::main().sync([] {}), nested("main"));
  EXPECT_DEATH((serial->async([] { throw std::runtime_error("boom"); }), waitForTheBlock()),
               "uncaught exception in a block on queue com\\.test\\.serial: boom");
}
