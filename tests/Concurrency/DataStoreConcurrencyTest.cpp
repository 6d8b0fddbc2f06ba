// Several threads use one data store at once: writers of their own entries and of one shared history,
// a registrar, a resizer and a merger; run under ThreadSanitizer in CI.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Bexlan/DataStore.hpp"
#include "Bexlan/NumberIdentifier.hpp"
#include "Bexlan/StringIdentifier.hpp"

namespace {

using Bexlan::DataStore;
using Bexlan::NumberIdentifier;

constexpr int kWriters = 4;
constexpr int kKeysPerWriter = 4;
constexpr int kRounds = 2000;

std::string writerKey(int writer, int key) {
  return "W" + std::to_string(writer) + "_" + std::to_string(key);
}

TEST(DataStoreConcurrencyTest, WritersRegistrarsMergersAndReadersShareOneStore) {
  DataStore store, merged;
  for (int w = 0; w < kWriters; ++w) {
    for (int k = 0; k < kKeysPerWriter; ++k) store.add(std::make_shared<NumberIdentifier>(writerKey(w, k)));
  }
  const auto shared = std::make_shared<NumberIdentifier>("shared");
  store.add(shared);
  std::atomic<int> faults{0};
  std::vector<std::thread> threads;
  for (int w = 0; w < kWriters; ++w) {
    threads.emplace_back([&, w] {
      for (int round = 1; round <= kRounds; ++round) {
        const std::string key = writerKey(w, round % kKeysPerWriter);
        store.setInt(key, round);
        store.incrementInt(key, 1);
        if (store.intValue(key) != round + 1) faults++;
        shared->addToHistory(round);  // only the history is guarded: every writer shifts samples into it
      }
    });
  }
  // Registers and removes entries of its own while the writers run.
  threads.emplace_back([&] {
    for (int round = 0; round < kRounds; ++round) {
      const std::string key = "T" + std::to_string(round % 8);
      store.add(std::make_shared<Bexlan::StringIdentifier>(key, key, "text"));
      store.setString(key, std::to_string(round));
      if (round % 3 == 0) store.remove(key);
    }
  });
  // Restarts every history, ending at 60 samples.
  threads.emplace_back([&] {
    for (int round = 0; round < 200; ++round) store.setHistorySize(round % 2 == 0 ? 30 : 60);
  });
  // Merges the store and reads the histories, which the entries guard: a copy taken while samples shift
  // and sizes change holds exactly one of the sizes.
  threads.emplace_back([&] {
    for (int round = 0; round < kRounds; ++round) {
      merged.merge(store);
      for (const std::string& key : {writerKey(round % kWriters, 0), std::string("shared")}) {
        const auto history = store.history(key);
        if (!history || (history->size() != 60u && history->size() != 30u)) faults++;
      }
      if (!merged.contains(writerKey(round % kWriters, 1))) faults++;
    }
  });
  for (auto& thread : threads) thread.join();

  EXPECT_EQ(faults.load(), 0);
  for (int w = 0; w < kWriters; ++w) {
    const std::string key = writerKey(w, kRounds % kKeysPerWriter);
    EXPECT_EQ(store.intValue(key), kRounds + 1);
    EXPECT_EQ(merged.identifier(key), store.identifier(key));
    EXPECT_EQ(store.history(key)->size(), 60u);
  }
  EXPECT_EQ(store.history("shared")->size(), 60u);
}

}  // namespace
