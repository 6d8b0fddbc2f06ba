#include "Bexlan/BXDictionary.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>

using Bexlan::BXDictionary;
using Bexlan::ThreadingType;
using testing::Pair;
using testing::UnorderedElementsAre;

namespace {

template <class Dictionary>
void expectReadsBackWhatWasJustWritten(Dictionary& dictionary) {
  dictionary.set("cpu", 1);
  EXPECT_EQ(dictionary.get("cpu"), 1);
  dictionary.set("cpu", 2);
  EXPECT_EQ(dictionary.get("cpu"), 2);
  dictionary.set("cpu", std::nullopt);
  EXPECT_EQ(dictionary.get("cpu"), std::nullopt);
  EXPECT_EQ(dictionary.get("never-set"), std::nullopt);
}

}  // namespace

TEST(BXDictionaryTest, ReadsBackItsOwnWritesOnBothKindsOfQueue) {
  BXDictionary<std::string, int> concurrent;
  EXPECT_EQ(concurrent.threadingType(), ThreadingType::concurrent);
  expectReadsBackWhatWasJustWritten(concurrent);

  BXDictionary<std::string, int> serial({}, ThreadingType::serial);
  EXPECT_EQ(serial.threadingType(), ThreadingType::serial);
  EXPECT_EQ(serial.queue()->kind(), platform::DispatchQueue::Kind::serial);
  expectReadsBackWhatWasJustWritten(serial);
}

TEST(BXDictionaryTest, ReadsSeeWritesMadeWhileTheQueueWasBusy) {
  BXDictionary<std::string, int> dictionary;
  // A write submitted from inside a read cannot run inline; the next read of this thread must still see it.
  dictionary.syncRead([&](const auto&) {
    dictionary.set("late", 7);
    return 0;
  });
  EXPECT_EQ(dictionary.get("late"), 7);
}

TEST(BXDictionaryTest, WalksEachEntryOnceAndCountsThem) {
  BXDictionary<std::string, int> dictionary({{"a", 1}, {"b", 2}, {"c", 3}});
  EXPECT_THAT(dictionary.snapshot(), UnorderedElementsAre(Pair("a", 1), Pair("b", 2), Pair("c", 3)));
  EXPECT_THAT(dictionary.values(), UnorderedElementsAre(1, 2, 3));
  EXPECT_EQ(dictionary.count(), 3u);
  EXPECT_FALSE(dictionary.isEmpty());

  auto even = dictionary.first([](const auto& entry) { return entry.second % 2 == 0; });
  ASSERT_TRUE(even.has_value());
  EXPECT_EQ(even->first, "b");
  EXPECT_EQ(dictionary.first([](const auto& entry) { return entry.second > 3; }), std::nullopt);
}

TEST(BXDictionaryTest, RemoveAllEmptiesAndToleratesAnEmptyDictionary) {
  BXDictionary<std::string, int> dictionary;
  dictionary.removeAll();
  EXPECT_TRUE(dictionary.isEmpty());
  EXPECT_TRUE(dictionary.values().empty());

  dictionary.set("a", 1);
  dictionary.set("b", 2);
  dictionary.removeAll();
  EXPECT_TRUE(dictionary.snapshot().empty());
  EXPECT_EQ(dictionary.count(), 0u);
  EXPECT_EQ(dictionary.get("a"), std::nullopt);
}

TEST(BXDictionaryTest, ModifyChangesInsertsAndRemovesInPlace) {
  BXDictionary<std::string, int> dictionary({{"n", 1}});
  dictionary.modify("n", [](std::optional<int>& value) { *value += 10; });
  EXPECT_EQ(dictionary.get("n"), 11);

  dictionary.modify("fresh", [](std::optional<int>& value) {
    EXPECT_FALSE(value.has_value());
    value = 5;
  });
  EXPECT_EQ(dictionary.get("fresh"), 5);

  dictionary.modify("n", [](std::optional<int>& value) { value.reset(); });
  EXPECT_EQ(dictionary.get("n"), std::nullopt);
  EXPECT_EQ(dictionary.count(), 1u);
}

TEST(BXDictionaryTest, EntriesOfClassTypeAreSharedNotCopied) {
  BXDictionary<std::string, std::shared_ptr<int>> dictionary;
  auto entry = std::make_shared<int>(1);
  dictionary.set("entry", entry);
  auto read = dictionary.get("entry");
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->get(), entry.get());
}

TEST(BXDictionaryTest, PendingWritesKeepTheValueAliveAfterTheDictionaryIsGone) {
  auto entry = std::make_shared<int>(3);
  std::weak_ptr<int> watch = entry;
  {
    BXDictionary<std::string, std::shared_ptr<int>> dictionary;
    // Hold a read on another thread so that the writes below are queued rather than run inline.
    std::atomic<bool> reading{false};
    std::atomic<bool> release{false};
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
