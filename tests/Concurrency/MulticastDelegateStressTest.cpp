// Several threads invoke one multicast delegate while the main thread adds, removes and releases delegates;
// run under ThreadSanitizer in CI. A call that reached a released delegate would be a use after free, and a
// delegate that unregisters in its destructor must not deadlock, whichever thread drops it last.
#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <memory>
#include <thread>
#include <vector>

#include "Bexlan/MulticastDelegate.hpp"

namespace {

struct Listener {
  Listener(long position, Bexlan::MulticastDelegate<Listener>* registeredIn)
      : order(position), table(registeredIn) {}
  ~Listener() {
    if (table) table->remove(nullptr);
  }
  const long order;
  Bexlan::MulticastDelegate<Listener>* const table;
  std::atomic<long> calls{0};
};

TEST(MulticastDelegateStressTest, InvokesFromManyThreadsWhileTheTableChanges) {
  Bexlan::MulticastDelegate<Listener> delegates;
  const auto resident = std::make_shared<Listener>(0, nullptr);
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
    if (round % 1000 == 0) {
      // Let the invokers walk at least once more, so walks surely overlap the changes.
      const long walks = resident->calls.load();
      while (resident->calls.load() == walks) std::this_thread::yield();
    }
    delegates.add(held.emplace_back(std::make_shared<Listener>(round, &delegates)));
    if (held.size() > 8) {
      if (round % 2 == 0) delegates.remove(held.front());  // else it is just released
      held.erase(held.begin());
    }
  }
  done = true;
  for (auto& thread : invokers) thread.join();

  EXPECT_EQ(badWalks.load(), 0);
  long reached = 0;
  delegates.invoke([&](Listener&) { ++reached; });
  EXPECT_EQ(reached, long(held.size()) + 1);
}

}  // namespace
