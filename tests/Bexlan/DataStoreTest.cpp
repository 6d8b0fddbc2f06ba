#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

#include "Bexlan/DataStore.hpp"
#include "Bexlan/NumberIdentifier.hpp"
#include "Bexlan/StringIdentifier.hpp"
#include "Bexlan/WrappedIdentifier.hpp"
#include "Platform/Foundation/Region.hpp"
#include "tests/Bexlan/Samples.hpp"

namespace Bexlan {
namespace {

using platform::Number;

// Every read of key answers as for a key that holds nothing.
void expectReadsAsMissing(const IDataStore& store, const std::string& key) {
  EXPECT_EQ(store.identifier(key), nullptr) << key;
  EXPECT_EQ(store.string(key), "-") << key;
  EXPECT_FALSE(store.value(key) || store.history(key) || store.min(key) || store.max(key) ||
               store.hasHistory(key));
  EXPECT_EQ(store.intValue(key) + store.int8Value(key) + store.uInt64Value(key) + store.doubleValue(key),
            0.0);
  EXPECT_TRUE(store.int8History(key).empty() && store.uInt64History(key).empty() &&
              store.cgFloatHistory(key).empty());
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
};

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
  EXPECT_EQ(number->value()->intValue(), 5);
  EXPECT_EQ(number->history(), numberHistory);
  EXPECT_EQ(text->mString(), "text");
  EXPECT_EQ(text->mRawValue()->intValue(), 3);
  EXPECT_EQ(text->history(), textHistory);

  store_.setString("T", std::nullopt);
  EXPECT_EQ(store_.string("T"), "-");
  EXPECT_EQ(store_.value("T")->intValue(), 3);  // the raw number stays
  store_.setStringWithRaw("T", "9 KB/s", Number::of(std::uint16_t{9}));
  EXPECT_EQ(store_.string("T"), "9 KB/s");
  EXPECT_EQ(store_.uInt16Value("T"), 9u);
  EXPECT_EQ(doubles(store_.history("T")).back(), 9.0);
  EXPECT_EQ(store_.max("T")->doubleValue(), 9.0);
}

TEST_F(DataStoreTest, AnAliasIsResolvedByOneHopOnReads) {
  const auto number = addNumber("N", 5);
  addAlias("A", "N");
  EXPECT_TRUE(store_.contains("A"));
  EXPECT_EQ(store_.identifier("A"), number);
  EXPECT_EQ(store_.intValue("A"), 5);
  EXPECT_EQ(store_.string("A"), number->description());
  EXPECT_EQ(store_.history("A"), number->history());
  EXPECT_EQ(store_.max("A"), number->max());

  // An alias of an alias yields the second alias, which has nothing to read.
  addAlias("AA", "A");
  const auto second = store_.identifierAs<WrappedIdentifier>("AA");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->identifier(), "A");
  EXPECT_EQ(store_.identifierAs<NumberIdentifier>("AA"), nullptr);
  EXPECT_EQ(store_.string("AA"), "-");
  EXPECT_FALSE(store_.value("AA") || store_.hasHistory("AA") || store_.min("AA") || store_.max("AA"));

  // Removing the alias leaves its target; removing the target makes the alias read as missing.
  store_.remove("AA");
  EXPECT_FALSE(store_.contains("AA"));
  EXPECT_TRUE(store_.contains("A"));
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
  EXPECT_EQ(number->value()->typeCode(), 'q');
  EXPECT_EQ(store_.intValue("K"), 42);
  EXPECT_EQ(store_.min("K")->doubleValue(), 7.0);
  EXPECT_EQ(store_.max("K")->doubleValue(), 42.0);

  store_.setDouble("K", 2.9);
  store_.incrementInt("K", 1);  // 2.9 reads as the integer 2
  EXPECT_EQ(store_.value("K")->typeCode(), 'q');
  EXPECT_EQ(store_.intValue("K"), 3);

  store_.setInt16("K", std::numeric_limits<std::int16_t>::max());
  store_.incrementInt16("K", 1);
  EXPECT_EQ(store_.int16Value("K"), std::numeric_limits<std::int16_t>::min());
  EXPECT_EQ(store_.value("K")->typeCode(), 's');
}

TEST_F(DataStoreTest, AddAndMergeStoreTheEntryObjectsAndANewSizeRestartsTheEntriesNowInTheStore) {
  store_.setHistorySize(5);
  const auto first = addNumber("K", 2.5);  // the setter's lookup sees the add made just before
  EXPECT_EQ(doubles(first->history()), (std::vector<double>{0, 0, 0, 0, 2.5}));
  const auto second = addNumber("K");
  EXPECT_EQ(store_.identifier("K"), second);
  EXPECT_EQ(second->history().size(), 5u);
  EXPECT_THROW(store_.add(nullptr), std::invalid_argument);

  const auto kept = addNumber("N", 1);
  const auto text = addText("T");
  addAlias("A", "N");
  DataStore other;
  const auto merged = std::make_shared<NumberIdentifier>("M");
  const auto replacement = std::make_shared<NumberIdentifier>("K");
  other.add(merged);
  other.add(replacement);
  store_.merge(other);
  EXPECT_EQ(store_.identifier("K"), replacement);
  EXPECT_EQ(store_.identifier("N"), kept);

  store_.setHistorySize(10);
  for (const auto& entry : std::vector<std::shared_ptr<HistoryProvider>>{replacement, kept, text, merged}) {
    EXPECT_EQ(entry->historySize(), 10);
    EXPECT_EQ(entry->history().size(), 10u);
  }
  EXPECT_TRUE(store_.contains("A"));
  EXPECT_THROW(store_.setHistorySize(-1), std::invalid_argument);
  EXPECT_EQ(store_.historySize(), 10);

  // A later merge brings entries in at their own size.
  other.add(std::make_shared<NumberIdentifier>("L"));
  store_.merge(other);
  EXPECT_EQ(store_.history("L")->size(), 60u);
}

}  // namespace
}  // namespace Bexlan
