// Several threads invoke one multicast delegate while the main thread adds, removes and releases delegates;
// run under ThreadSanitizer in CI. A call that reached a released delegate would be a use after free.
#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <memory>
#include <thread>
#include <vector>

#include "Bexlan/MulticastDelegate.hpp"

namespace {

struct Listener {
  explicit Listener(long position) : order(position) {}
  const long order;
  std::atomic<long> calls{0};
};

TEST(MulticastDelegateStressTest, InvokesFromManyThreadsWhileTheTableChanges) {
  Bexlan::MulticastDelegate<Listener> delegates;
  const auto resident = std::make_shared<Listener>(0);
  delegates.add(resident);

  std::atomic<bool> done{false};
  std::atomic<long> badWalks{0};
  std::vector<std::thread> invokers;
  for (int t = 0; t < 4; ++t) {
    invokers.emplace_back([&] {
      while (!done) {
        // Delegates are added in increasing order, so one walk sees strictly decreasing orders, ending
        // with the resident one.
        long previous = LONG_MAX;
        delegates.invoke([&](Listener& listener) {
          if (listener.order >= previous) badWalks++;
          previous = listener.order;
          listener.calls++;
        });
        if (previous != 0) badWalks++;
      }
    });
  }
  std::vector<std::shared_ptr<Listener>> held;
  for (long round = 1; round <= 20000; ++round) {
    delegates.add(held.emplace_back(std::make_shared<Listener>(round)));
    if (held.size() > 8) {
      if (round % 2 == 0) delegates.remove(held.front());  // else it is just released
      held.erase(held.begin());
    }
  }
  done = true;
  for (auto& thread : invokers) thread.join();

  EXPECT_EQ(badWalks.load(), 0);
  EXPECT_GT(resident->calls.load(), 0);
  long reached = 0;
  delegates.invoke([&](Listener&) { ++reached; });
  EXPECT_EQ(reached, long(held.size()) + 1);
}

}  // namespace
