// Many threads read, write, change and walk one guarded dictionary at once; run under ThreadSanitizer in CI.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "Bexlan/BXDictionary.hpp"

using Bexlan::ThreadingType;

TEST(BXDictionaryStressTest, BothKindsOfQueueLoseNoUpdateAndWalksStayValid) {
  constexpr int kThreads = 8;
  constexpr int kRounds = 2000;
  for (const ThreadingType type : {ThreadingType::concurrent, ThreadingType::serial}) {
    Bexlan::BXDictionary<std::string, int64_t> dictionary({}, type);
    std::vector<std::thread> threads;
    std::atomic<int> walksThatSawATornEntry{0};
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&, t] {
        const std::string own = "own" + std::to_string(t);
        for (int round = 1; round <= kRounds; ++round) {
          // Changes of one shared key from every thread: none may be lost.
          dictionary.modify("shared", [](std::optional<int64_t>& value) { value = value.value_or(0) + 1; });
          // Each thread's own key: it must always read back its own latest write.
          dictionary.set(own, round);
          if (dictionary.get(own) != round) walksThatSawATornEntry++;
          // Keys that come and go while others walk the dictionary.
          const std::string transient = "transient" + std::to_string(round % 16);
          dictionary.set(transient, round);
          if (round % 3 == 0) dictionary.set(transient, std::nullopt);
          for (const auto& [key, value] : dictionary.snapshot()) {
            if (key.empty() || value < 0) walksThatSawATornEntry++;
          }
        }
      });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(walksThatSawATornEntry.load(), 0);
    EXPECT_EQ(dictionary.get("shared"), int64_t{kThreads} * kRounds);
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(dictionary.get("own" + std::to_string(t)), kRounds);
  }
}
