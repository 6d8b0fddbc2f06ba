// Threads shift samples into one entry's history while others copy and restart it; run under
// ThreadSanitizer in CI. Only the history is guarded, so only history operations run at once here.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "Bexlan/NumberIdentifier.hpp"

namespace {

constexpr int kWriters = 4;
constexpr int kRounds = 5000;

TEST(NumberIdentifierHistoryStressTest, EveryChangeOfTheHistoryIsOneStep) {
  Bexlan::NumberIdentifier entry("CPU_T");
  std::atomic<bool> writing{true};
  std::atomic<int> tornCopies{0};
  std::vector<std::thread> changers;
  for (int t = 0; t < kWriters; ++t) {
    changers.emplace_back([&entry, t] {
      for (int round = 0; round < kRounds; ++round) entry.addToHistory(t * kRounds + round);
    });
  }
  changers.emplace_back([&entry] {
    for (int round = 0; round < 200; ++round) entry.setHistorySize(round % 2 == 0 ? 30 : 60);
  });
  // Present samples keep the length, so every copy holds exactly one of the sizes the restarts use.
  std::thread reader([&] {
    while (writing) {
      const auto size = entry.history().size();
      if (size != 60 && size != 30) tornCopies++;
    }
  });
  for (auto& changer : changers) changer.join();
  writing = false;
  reader.join();
  EXPECT_EQ(tornCopies, 0);
  EXPECT_EQ(entry.history().size(), 60u);
}

}  // namespace
