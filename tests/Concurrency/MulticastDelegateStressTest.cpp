// Several threads invoke one multicast delegate while the main thread adds, removes and releases delegates;
// run under ThreadSanitizer in CI. A call that reached a released delegate would be a use after free.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "Bexlan/MulticastDelegate.hpp"

namespace {

using Bexlan::MulticastDelegate;

constexpr int kInvokers = 4;
constexpr int kRounds = 20000;

class Listener {
 public:
  explicit Listener(int64_t order) : order_(order) {}
  ~Listener() { alive_ = false; }
  int64_t order() const { return alive_ ? order_ : -1; }
  void called() { calls_.fetch_add(1, std::memory_order_relaxed); }
  int64_t calls() const { return calls_.load(); }

 private:
  int64_t order_;
  bool alive_ = true;
  std::atomic<int64_t> calls_{0};
};

TEST(MulticastDelegateStressTest, InvokesFromManyThreadsWhileTheTableChanges) {
  MulticastDelegate<Listener> delegates;
  const auto resident = std::make_shared<Listener>(0);
  delegates.add(resident);

  std::atomic<bool> done{false};
  std::atomic<int64_t> invokesOutOfOrder{0};
  std::atomic<int64_t> invokesWithoutResident{0};
  std::vector<std::thread> invokers;
  for (int t = 0; t < kInvokers; ++t) {
    invokers.emplace_back([&] {
      while (!done.load()) {
        int64_t previous = INT64_MAX;
        bool sawResident = false;
        delegates.invoke([&](Listener& listener) {
          const int64_t order = listener.order();
          // Each delegate is added once, in increasing order, so one walk must see strictly decreasing orders.
          if (order < 0 || order >= previous) invokesOutOfOrder++;
          previous = order;
          sawResident = sawResident || &listener == resident.get();
          listener.called();
        });
        if (!sawResident) invokesWithoutResident++;
      }
    });
  }

  std::vector<std::shared_ptr<Listener>> held;
  for (int round = 1; round <= kRounds; ++round) {
    held.push_back(std::make_shared<Listener>(round));
    delegates.add(held.back());
    if (held.size() > 8) {
      // Alternately take the oldest out explicitly and just let it go.
      if (round % 2 == 0) delegates.remove(held.front());
      held.erase(held.begin());
    }
  }
  done = true;
  for (auto& thread : invokers) thread.join();

  EXPECT_EQ(invokesOutOfOrder.load(), 0);
  EXPECT_EQ(invokesWithoutResident.load(), 0);
  EXPECT_GT(resident->calls(), 0);
  int64_t calledNow = 0;
  delegates.invoke([&](Listener&) { ++calledNow; });
  EXPECT_EQ(calledNow, int64_t(held.size()) + 1);
}

}  // namespace
