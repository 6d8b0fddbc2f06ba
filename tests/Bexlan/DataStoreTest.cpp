#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <deque>
#include <limits>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "Bexlan/BXDictionary.hpp"
#include "Bexlan/DataStore.hpp"
#include "Bexlan/NumberIdentifier.hpp"
#include "Bexlan/SampleHistory.hpp"
#include "Bexlan/StringIdentifier.hpp"
#include "Bexlan/WrappedIdentifier.hpp"
#include "Platform/Foundation/Region.hpp"

namespace Bexlan {
namespace {

using platform::Number;
using testing::Pair;
using testing::UnorderedElementsAre;

// The samples of a history as doubles, oldest first; empty when there is no history.
std::vector<double> doubles(const std::optional<std::vector<Number>>& samples) {
  std::vector<double> result;
  for (const auto& sample : samples.value_or(std::vector<Number>{})) result.push_back(sample.doubleValue());
  return result;
}

// Drives the ring and a double-ended queue with the same random operations, so every wrap-around, restart
// and replacement is checked against the plain statement of the history rules.
TEST(SampleHistoryTest, BehavesLikeAQueueThatDropsTheOldestSample) {
  std::mt19937 random(20240611);
  SampleHistory history(5);
  std::deque<double> model(5, 0.0);
  for (int step = 0; step < 20000; ++step) {
    const auto choice = random() % 100;
    if (choice < 90) {
      const bool present = choice < 70;
      history.shift(present ? std::optional<double>(step) : std::nullopt);
      if (!model.empty()) model.pop_front();
      if (present) model.push_back(step);
    } else if (choice < 97) {
      model.assign(random() % 7, 0.0);
      history.restart(model.size());
    } else {
      model.assign(random() % 4, -1.0);
      history.assign(std::vector<platform::Number>(model.size(), platform::Number::of(-1.0)));
    }
    ASSERT_EQ(doubles(history.samples()), std::vector<double>(model.begin(), model.end())) << "step " << step;
    ASSERT_EQ(history.count(), model.size());
  }
}

class DataStoreTest : public ::testing::Test {
 protected:
  std::shared_ptr<NumberIdentifier> addNumber(const std::string& key, std::optional<double> number = {}) {
    auto entry = std::make_shared<NumberIdentifier>(key);
    store_.add(entry);
    if (number) store_.setDouble(key, *number);
    return entry;
  }
  std::shared_ptr<StringIdentifier> addText(const std::string& key, std::optional<Number> raw = {}) {
    auto entry = std::make_shared<StringIdentifier>(key, key, "text", raw);
    store_.add(entry);
    return entry;
  }
  void addAlias(const std::string& key, const std::string& target) {
    store_.add(std::make_shared<WrappedIdentifier>(key, key, target));
  }

  platform::ScopedRegion region_{"en_US", "UTC", {"en-US"}};
  DataStore store_;
  NumberIdentifier entry_{"CPU_T"};
};
using NumberIdentifierTest = DataStoreTest;

TEST_F(NumberIdentifierTest, ASetShiftsTheHistoryOfIntegerZerosAndMovesMinimumAndMaximumOutward) {
  EXPECT_FALSE(entry_.value() || entry_.min() || entry_.max());
  EXPECT_EQ(std::tuple(entry_.description(), entry_.history().front().typeCode()), std::tuple("-", 'q'));
  for (int sample : {5, 3, 7, 7, 4}) entry_.setInt(sample);
  EXPECT_EQ(std::tuple(entry_.value()->typeCode(), entry_.history().back().typeCode()), std::tuple('q', 'd'));
  const auto samples = doubles(entry_.history());
  ASSERT_EQ(samples.size(), 60u);
  EXPECT_EQ(std::vector<double>(samples.end() - 6, samples.end()), (std::vector<double>{0, 5, 3, 7, 7, 4}));
  EXPECT_EQ(std::tuple(entry_.min()->doubleValue(), entry_.max()->doubleValue()), std::tuple(3.0, 7.0));

  // Samples and texts read the number by its own sign.
  NumberIdentifier freeMemory("M_F", "Free", IdentifierCategory::raw, false);
  freeMemory.setUInt64(std::numeric_limits<std::uint64_t>::max());
  EXPECT_EQ(freeMemory.history().back().doubleValue(), 18446744073709551616.0);
  EXPECT_EQ(freeMemory.description(), "18446744073709551615");
  entry_.setInt8(-1);
  EXPECT_EQ(std::tuple(entry_.description(), entry_.min()->doubleValue()), std::tuple("-1", -1.0));
}

// The ring's own rules are SampleHistoryTest's; these are the entry's uses of them.
TEST_F(NumberIdentifierTest, AbsentValuesShortenTheHistoryAndANewSizeRestartsIt) {
  entry_.setInt(-2);
  entry_.setOptionalInt(std::nullopt);
  EXPECT_FALSE(entry_.value());
  EXPECT_EQ(entry_.history().size(), 59u);
  entry_.setInt(9);
  EXPECT_EQ(std::tuple(entry_.history().size(), entry_.history().back().doubleValue()), std::tuple(59u, 9.0));

  entry_.setHistorySize(3);
  EXPECT_EQ(doubles(entry_.history()), std::vector<double>(3, 0.0));
  EXPECT_EQ(std::tuple(entry_.min()->doubleValue(), entry_.max()->doubleValue()), std::tuple(-2.0, 9.0));
  EXPECT_THROW(entry_.setHistorySize(-1), std::invalid_argument);
  EXPECT_EQ(entry_.historySize(), 3);
}

TEST_F(NumberIdentifierTest, NaNGoesIntoTheHistoryButNeverBecomesMinimumOrMaximum) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  entry_.setDouble(nan);
  EXPECT_TRUE(std::isnan(entry_.history().back().doubleValue()));
  EXPECT_FALSE(entry_.min() || entry_.max());
  entry_.setFloat(2.5f);
  entry_.setDouble(nan);
  entry_.updateMin(nan);
  EXPECT_EQ(std::tuple(entry_.min()->doubleValue(), entry_.max()->doubleValue()), std::tuple(2.5, 2.5));
}

TEST(StringIdentifierTest, StartsWithTheGivenTextAndRecordsOnlyRawNumbers) {
  StringIdentifier absent("diskRead", "Read", std::nullopt);
  EXPECT_EQ(absent.description(), "-");
  EXPECT_FALSE(absent.value() || absent.min() || absent.max());
  EXPECT_EQ(doubles(absent.history()), std::vector<double>(60, 0.0));
  StringIdentifier entry("N_S_DL", "Download", "");
  EXPECT_EQ(entry.description(), "");

  entry.setStringWithRaw("2 KB", Number::of(std::uint32_t{2048}));
  EXPECT_EQ(std::tuple(entry.description(), entry.value()->typeCode()), std::tuple("2 KB", 'I'));
  for (int raw : {9, 4, 6}) entry.setStringWithRaw(std::nullopt, Number::of(raw));
  entry.setStringWithRaw("nan", Number::of(std::numeric_limits<double>::quiet_NaN()));
  entry.setString("abc");  // text alone records nothing
  EXPECT_EQ(std::tuple(entry.description(), std::isnan(entry.value()->doubleValue())),
            std::tuple("abc", true));
  const auto samples = doubles(entry.history());
  ASSERT_EQ(samples.size(), 60u);
  EXPECT_EQ(std::vector<double>(samples.end() - 5, samples.end() - 1), (std::vector<double>{2048, 9, 4, 6}));
  EXPECT_EQ(std::tuple(entry.min()->doubleValue(), entry.max()->doubleValue()), std::tuple(4.0, 2048.0));

  StringIdentifier withoutRaw("K", "Name", "text", std::optional<Number>());
  EXPECT_FALSE(withoutRaw.value() || withoutRaw.min());
  StringIdentifier raw("K", "Name", "a", Number::of(8));
  std::vector<double> expected(59, 0.0);
  expected.push_back(8);
  EXPECT_EQ(doubles(raw.history()), expected);
  raw.setHistorySize(4);
  EXPECT_EQ(doubles(raw.history()), std::vector<double>(4, 0.0));
  EXPECT_EQ(std::tuple(raw.value()->longLongValue(), raw.max()->doubleValue()), std::tuple(8, 8.0));
  EXPECT_THROW(raw.setHistorySize(-3), std::invalid_argument);
  EXPECT_EQ(raw.historySize(), 4);
}

TEST(WrappedIdentifierDeathTest, AskingTheAliasForItsTextOrNumberIsFatal) {
  std::shared_ptr<const Identifier> alias = std::make_shared<WrappedIdentifier>("A", "Alias", "B");
  const std::string where = "WrappedIdentifier\\.cpp:[0-9]+: Fatal error: ";
  EXPECT_DEATH(alias->description(), where + "Use IDataStore to get string of wrapped identifier\\.");
  EXPECT_DEATH(alias->value(), where + "Use IDataStore to get value of wrapped identifier\\.");
}

void expectReadsAsMissing(const IDataStore& store, const std::string& key) {
  SCOPED_TRACE(key);
  EXPECT_EQ(std::tuple(store.identifier(key), store.string(key)), std::tuple(nullptr, "-"));
  EXPECT_FALSE(store.value(key) || store.history(key) || store.min(key) || store.max(key) ||
               store.hasHistory(key));
  EXPECT_EQ(store.intValue(key) + store.int8Value(key) + store.uInt64Value(key) + store.doubleValue(key),
            0.0);
  EXPECT_TRUE(store.int8History(key).empty() && store.uInt64History(key).empty() &&
              store.cgFloatHistory(key).empty());
}

TEST_F(DataStoreTest, MissingKeysReadAsNothingAndWritesToThemCreateNothing) {
  EXPECT_FALSE(store_.contains("CPU_T"));
  expectReadsAsMissing(store_, "CPU_T");
  addNumber("CPU_T", 4);
  addText("N_S_DL");
  store_.removeAll();
  EXPECT_EQ(store_.data().count(), 0u);
  expectReadsAsMissing(store_, "CPU_T");
  expectReadsAsMissing(store_, "N_S_DL");

  store_.setInt("K", 1);
  store_.setOptionalDouble("K", 2.0);
  store_.incrementInt("K", 1);
  store_.setString("K", "x");
  store_.setStringWithRaw("K", "x", Number::of(1));
  store_.remove("K");
  EXPECT_EQ(store_.data().count(), 0u);
  const auto entry = addNumber("K");
  EXPECT_FALSE(entry->value());
  EXPECT_EQ(doubles(entry->history()), std::vector<double>(60, 0.0));
}

TEST_F(DataStoreTest, WritesChangeOnlyAnEntryOfTheirKindRegisteredUnderTheKeyItself) {
  const auto number = addNumber("N", 5);
  const auto text = addText("T", Number::of(3));
  addAlias("A", "N");
  addAlias("AT", "T");
  const auto numberHistory = number->history();
  const auto textHistory = text->history();
  for (const std::string key : {"T", "A"}) {
    store_.setInt(key, 9);
    store_.setOptionalDouble(key, std::nullopt);
    store_.incrementInt(key, 1);  // reads through the alias, but stores under the key itself
  }
  store_.setString("N", "x");
  store_.setString("AT", "x");
  store_.setStringWithRaw("AT", "x", Number::of(8));
  EXPECT_EQ(std::tuple(number->value()->intValue(), number->history()), std::tuple(5, numberHistory));
  EXPECT_EQ(std::tuple(text->mString(), text->mRawValue()->intValue(), text->history()),
            std::tuple("text", 3, textHistory));

  store_.setString("T", std::nullopt);
  EXPECT_EQ(store_.string("T"), "-");
  EXPECT_EQ(store_.value("T")->intValue(), 3);  // the raw number stays
  store_.setStringWithRaw("T", "9 KB/s", Number::of(std::uint16_t{9}));
  EXPECT_EQ(std::tuple(store_.string("T"), store_.uInt16Value("T"), doubles(store_.history("T")).back(),
                       store_.max("T")->doubleValue()),
            std::tuple("9 KB/s", 9u, 9.0, 9.0));
}

TEST_F(DataStoreTest, AnAliasIsResolvedByOneHopOnReads) {
  const auto number = addNumber("N", 5);
  addAlias("A", "N");
  EXPECT_EQ(std::tuple(store_.contains("A"), store_.identifier("A"), store_.intValue("A")),
            std::tuple(true, number, 5));

  // An alias of an alias yields the second alias, which has nothing to read.
  addAlias("AA", "A");
  const auto second = store_.identifierAs<WrappedIdentifier>("AA");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->identifier(), "A");
  EXPECT_EQ(store_.identifierAs<NumberIdentifier>("AA"), nullptr);
  EXPECT_EQ(store_.string("AA"), "-");
  EXPECT_FALSE(store_.value("AA") || store_.hasHistory("AA") || store_.min("AA") || store_.max("AA"));

  store_.remove("AA");
  EXPECT_EQ(std::tuple(store_.contains("AA"), store_.contains("A")), std::tuple(false, true));
  store_.removeIdentifier(*number);
  EXPECT_TRUE(store_.contains("A"));
  expectReadsAsMissing(store_, "A");
}

TEST_F(DataStoreTest, IncrementsAddInTheirOwnTypeWrapAroundAndNeedANumber) {
  const auto number = addNumber("K", 7);
  store_.setOptionalDouble("K", std::nullopt);
  EXPECT_EQ(store_.string("K"), "-");
  store_.incrementDouble("K", 1);  // no number to add to
  EXPECT_EQ(doubles(store_.history("K")).size(), 59u);
  store_.setInt("K", 40);
  store_.incrementInt("K", 2);
  EXPECT_EQ(std::tuple(number->value()->typeCode(), store_.intValue("K")), std::tuple('q', 42));
  EXPECT_EQ(std::tuple(store_.min("K")->doubleValue(), store_.max("K")->doubleValue()),
            std::tuple(7.0, 42.0));

  store_.setDouble("K", 2.9);
  store_.incrementInt("K", 1);  // 2.9 reads as the integer 2
  EXPECT_EQ(std::tuple(store_.value("K")->typeCode(), store_.intValue("K")), std::tuple('q', 3));

  store_.setInt16("K", std::numeric_limits<std::int16_t>::max());
  store_.incrementInt16("K", 1);
  EXPECT_EQ(std::tuple(store_.int16Value("K"), store_.value("K")->typeCode()),
            std::tuple(std::numeric_limits<std::int16_t>::min(), 's'));
}

TEST_F(DataStoreTest, AddAndMergeStoreTheEntryObjectsAndANewSizeRestartsTheEntriesNowInTheStore) {
  store_.setHistorySize(5);
  const auto first = addNumber("K", 2.5);  // the setter's lookup sees the add made just before
  EXPECT_EQ(doubles(first->history()), (std::vector<double>{0, 0, 0, 0, 2.5}));
  const auto second = addNumber("K");
  EXPECT_EQ(std::tuple(store_.identifier("K"), second->history().size()), std::tuple(second, 5u));
  EXPECT_THROW(store_.add(nullptr), std::invalid_argument);

  const auto kept = addNumber("N", 1);
  const auto text = addText("T");
  addAlias("A", "N");
  DataStore other;
  const auto merged = std::make_shared<NumberIdentifier>("M");
  const auto replacement = std::make_shared<NumberIdentifier>("K");
  for (const auto& entry : {merged, replacement}) other.add(entry);
  store_.merge(other);
  EXPECT_EQ(std::tuple(store_.identifier("K"), store_.identifier("N")), std::tuple(replacement, kept));

  store_.setHistorySize(10);
  for (const auto& entry : std::vector<std::shared_ptr<HistoryProvider>>{replacement, kept, text, merged})
    EXPECT_EQ(std::tuple(entry->historySize(), entry->history().size()), std::tuple(10, 10u));
  EXPECT_TRUE(store_.contains("A"));
  EXPECT_THROW(store_.setHistorySize(-1), std::invalid_argument);
  EXPECT_EQ(store_.historySize(), 10);

  other.add(std::make_shared<NumberIdentifier>("L"));
  store_.merge(other);
  EXPECT_EQ(store_.history("L")->size(), 60u);
}

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
  for (int spin = 0; spin < 1000 && !watch.expired(); ++spin)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
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

}  // namespace
}  // namespace Bexlan
