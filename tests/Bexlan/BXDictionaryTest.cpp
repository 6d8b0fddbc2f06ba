#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "Bexlan/BXDictionary.hpp"

using Bexlan::BXDictionary;
using Bexlan::ThreadingType;
using testing::Pair;
using testing::UnorderedElementsAre;

TEST(BXDictionaryTest, ReadsBackItsOwnWritesOnBothKindsOfQueue) {
  BXDictionary<std::string, int> concurrent;
  BXDictionary<std::string, int> serial({}, ThreadingType::serial);
  EXPECT_EQ(concurrent.threadingType(), ThreadingType::concurrent);
  EXPECT_EQ(serial.queue()->kind(), platform::DispatchQueue::Kind::serial);
  for (auto* dictionary : {&concurrent, &serial}) {
    for (const std::optional<int> value : {std::optional(1), std::optional(2), std::optional<int>()}) {
      dictionary->set("cpu", value);
      EXPECT_EQ(dictionary->get("cpu"), value);
    }
    EXPECT_EQ(dictionary->get("never-set"), std::nullopt);
  }
  // A write submitted from inside a read cannot run inline; the next read of this thread must still see it.
  concurrent.syncRead([&](const auto&) {
    concurrent.set("late", 7);
    return 0;
  });
  EXPECT_EQ(concurrent.get("late"), 7);
}

TEST(BXDictionaryTest, WalksCountsChangesInPlaceAndEmpties) {
  BXDictionary<std::string, int> dictionary({{"a", 1}, {"b", 2}, {"c", 3}});
  EXPECT_THAT(dictionary.snapshot(), UnorderedElementsAre(Pair("a", 1), Pair("b", 2), Pair("c", 3)));
  EXPECT_THAT(dictionary.values(), UnorderedElementsAre(1, 2, 3));
  EXPECT_EQ(dictionary.count(), 3u);
  EXPECT_FALSE(dictionary.isEmpty());
  EXPECT_THAT(dictionary.first([](const auto& entry) { return entry.second % 2 == 0; }),
              testing::Optional(Pair("b", 2)));
  EXPECT_EQ(dictionary.first([](const auto& entry) { return entry.second > 3; }), std::nullopt);

  dictionary.modify("a", [](std::optional<int>& value) { *value += 10; });
  dictionary.modify("fresh", [](std::optional<int>& value) {
    EXPECT_FALSE(value.has_value());
    value = 5;
  });
  dictionary.modify("b", [](std::optional<int>& value) { value.reset(); });
  EXPECT_THAT(dictionary.snapshot(), UnorderedElementsAre(Pair("a", 11), Pair("c", 3), Pair("fresh", 5)));

  for (int pass = 0; pass < 2; ++pass) {  // the second on an empty dictionary
    dictionary.removeAll();
    EXPECT_TRUE(dictionary.isEmpty() && dictionary.values().empty() && dictionary.snapshot().empty());
    EXPECT_EQ(dictionary.count(), 0u);
    EXPECT_EQ(dictionary.get("a"), std::nullopt);
  }
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
