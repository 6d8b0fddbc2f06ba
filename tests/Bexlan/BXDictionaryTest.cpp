#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "Bexlan/BXDictionary.hpp"

using Bexlan::BXDictionary;
using testing::Pair;
using testing::UnorderedElementsAre;

// Reads of one's own writes and changes of absent entries on both kinds of queue are
// BXDictionaryStressTest's.
TEST(BXDictionaryTest, AWriteFromInsideAReadAndChangesInPlaceAreSeenByTheNextRead) {
  BXDictionary<std::string, int> dictionary({{"a", 1}, {"b", 2}, {"c", 3}});
  // A write submitted from inside a read cannot run inline; the next read of this thread must still see it.
  dictionary.syncRead([&](const auto&) {
    dictionary.set("late", 7);
    return 0;
  });
  dictionary.modify("a", [](std::optional<int>& value) { *value += 10; });
  dictionary.modify("b", [](std::optional<int>& value) { value.reset(); });
  dictionary.set("c", std::nullopt);
  EXPECT_THAT(dictionary.snapshot(), UnorderedElementsAre(Pair("a", 11), Pair("late", 7)));
  EXPECT_THAT(dictionary.values(), UnorderedElementsAre(11, 7));
  EXPECT_THAT(dictionary.first([](const auto& entry) { return entry.second < 10; }),
              testing::Optional(Pair("late", 7)));
  EXPECT_EQ(dictionary.first([](const auto& entry) { return entry.second > 11; }), std::nullopt);
  EXPECT_EQ(dictionary.count(), 2u);
  dictionary.removeAll();
  EXPECT_TRUE(dictionary.isEmpty() && dictionary.snapshot().empty());
  EXPECT_EQ(dictionary.get("a"), std::nullopt);
}

TEST(BXDictionaryTest, PendingWritesKeepTheValueAliveAfterTheDictionaryIsGone) {
  auto entry = std::make_shared<int>(3);
  const std::weak_ptr<int> watch = entry;
  {
    BXDictionary<std::string, std::shared_ptr<int>> dictionary;
    // Hold a read on another thread so that the writes below are queued rather than run inline.
    std::atomic<bool> reading{false}, release{false};
    std::thread reader([&] {
      dictionary.syncRead([&](const auto&) {
        reading = true;
        while (!release) std::this_thread::yield();
        return 0;
      });
    });
    while (!reading) std::this_thread::yield();
    dictionary.set("entry", std::move(entry));
    dictionary.set("other", std::make_shared<int>(4));
    release = true;
    reader.join();
  }
  // The dictionary and the queued writes are gone; nothing may still hold the entry.
  for (int spin = 0; spin < 1000 && !watch.expired(); ++spin) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_TRUE(watch.expired());
}

TEST(BXDictionaryDeathTest, ASynchronousCallFromItsOwnQueueStopsNamingTheQueue) {
  using Dictionary = BXDictionary<std::string, int>;
  EXPECT_DEATH(
      {
        Dictionary dictionary;
        dictionary.syncRead([&](const auto&) { return dictionary.get("nested").value_or(0); });
      },
      "synchronous call on queue com\\.threading\\.dispatchqueue_[0-9]+ from a block already running on it");
}
