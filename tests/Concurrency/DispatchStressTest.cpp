#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "Platform/Dispatch/DispatchQueue.hpp"
#include "Platform/Dispatch/RunLoop.hpp"
#include "Platform/Dispatch/Timer.hpp"

using namespace std::chrono_literals;
using platform::DispatchQueue;
using platform::RunLoop;

class QueueStressTest : public ::testing::TestWithParam<DispatchQueue::Kind> {};
INSTANTIATE_TEST_SUITE_P(Kinds, QueueStressTest,
                         ::testing::Values(DispatchQueue::Kind::serial, DispatchQueue::Kind::concurrent));

// Writers use every kind of write; readers read synchronously. Inside the blocks, counters of who else is
// inside check the exclusion rules; at the end every write has happened exactly once.
TEST_P(QueueStressTest, ManyReadersAndWritersKeepExclusionAndLoseNoWrite) {
  const auto queue = DispatchQueue::create("com.test.stress", GetParam());
  const bool serial = GetParam() == DispatchQueue::Kind::serial;
  constexpr int threadsPerRole = 4;
  constexpr int operations = 1500;
  std::atomic<int> readersInside{0}, writersInside{0}, violations{0};
  long total = 0;  // guarded by the queue
  const auto write = [&] {
    violations += ++writersInside != 1 || readersInside.load() != 0;
    ++total;
    --writersInside;
  };
  std::vector<std::jthread> threads;
  for (int t = 0; t < threadsPerRole; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < operations; ++i) {
        if (i % 4 == 3) {
          queue->syncBarrier(write);
        } else {
          i % 4 == 2 ? queue->async(write) : queue->asyncBarrier(write, i % 4 == 0);
        }
      }
    });
    threads.emplace_back([&] {
      long last = 0;
      for (int i = 0; i < operations; ++i) {
        const long seen = queue->sync([&] {
          violations += writersInside.load() != 0 || (++readersInside > 1 && serial);
          const long value = total;
          --readersInside;
          return value;
        });
        violations += seen < last;  // writes never go backwards
        last = seen;
      }
    });
  }
  threads.clear();  // joins
  EXPECT_EQ(queue->sync([&] { return total; }), long{threadsPerRole} * operations);
  EXPECT_EQ(violations.load(), 0);
}

TEST(DispatchMainQueueStressTest, WorkersSyncAndAsyncToThePumpedMainQueue) {
  constexpr int workers = 4;
  constexpr int rounds = 200;
  int counter = 0;  // touched only on the main thread
  std::atomic<int> finished{0};
  std::vector<std::jthread> threads;
  for (int t = 0; t < workers; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < rounds; ++i) {
        DispatchQueue::main().sync([&] { ++counter; });
        DispatchQueue::main().async([&] { ++counter; });
      }
      DispatchQueue::main().async([&] { ++finished; });
    });
  }
  EXPECT_TRUE(RunLoop::main().runUntil([&] { return finished.load() == workers; }, 30s));
  threads.clear();  // joins
  EXPECT_EQ(counter, 2 * workers * rounds);
}

TEST(DispatchTimerStressTest, InvalidateFromAnotherThreadWhileTheLoopFires) {
  std::atomic<int> fires{0};
  const auto timer = platform::Timer::scheduled(0.0001, true, [&](platform::Timer&) { ++fires; });
  std::thread invalidator([&] {
    while (fires.load() < 50) std::this_thread::yield();
    timer->invalidate();
  });
  EXPECT_TRUE(RunLoop::main().runUntil([&] { return !timer->isValid(); }, 30s));
  invalidator.join();
  const int atInvalidation = fires.load();
  RunLoop::main().runFor(5ms);
  EXPECT_EQ(fires.load(), atInvalidation);
}
