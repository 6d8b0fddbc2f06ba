#include "Bexlan/NumberIdentifier.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "Platform/Foundation/Region.hpp"
#include "tests/Bexlan/TestIcon.hpp"

namespace Bexlan {
namespace {

using platform::Number;
using platform::ScopedRegion;
using testing::testIcon;

std::vector<double> doubles(const std::vector<Number>& samples) {
  std::vector<double> result;
  for (const auto& sample : samples) result.push_back(sample.doubleValue());
  return result;
}

std::vector<double> zeros(std::size_t count) { return std::vector<double>(count, 0.0); }

class NumberIdentifierTest : public ::testing::Test {
 protected:
  ScopedRegion region_{"en_US", "UTC", {"en-US"}};
  NumberIdentifier entry_{"CPU_T"};
};

TEST_F(NumberIdentifierTest, StartsWithNoNumberAndAHistoryOf60Zeros) {
  EXPECT_FALSE(entry_.value());
  EXPECT_FALSE(entry_.rawValue());
  EXPECT_EQ(entry_.description(), "-");
  EXPECT_EQ(entry_.historySize(), 60);
  const auto history = entry_.history();
  EXPECT_EQ(doubles(history), zeros(60));
  EXPECT_EQ(history.front().typeCode(), 'q');
  EXPECT_FALSE(entry_.min());
  EXPECT_FALSE(entry_.max());
}

TEST_F(NumberIdentifierTest, ShorterFormsFillTheMissingArguments) {
  struct Expected {
    std::string name;
    IdentifierCategory category;
    bool isSigned;
    std::optional<std::int64_t> decimals;
    bool hasIcon;
  };
  auto check = [](const NumberIdentifier& entry, const Expected& expected) {
    SCOPED_TRACE(expected.name);
    EXPECT_EQ(entry.identifier(), "KEY");
    EXPECT_EQ(entry.name(), expected.name);
    EXPECT_EQ(entry.mValue().category(), expected.category);
    EXPECT_EQ(entry.mValue().isSigned(), expected.isSigned);
    EXPECT_EQ(entry.mValue().decimals(), expected.decimals);
    EXPECT_EQ(entry.icon(), expected.hasIcon ? testIcon() : nullptr);
  };
  const auto raw = IdentifierCategory::raw;
  const auto size = IdentifierCategory::size;
  check(NumberIdentifier("KEY"), {"KEY", raw, true, std::nullopt, false});
  check(NumberIdentifier("KEY", testIcon()), {"KEY", raw, true, std::nullopt, true});
  check(NumberIdentifier("KEY", "Name"), {"Name", raw, true, std::nullopt, false});
  check(NumberIdentifier("KEY", "Name", testIcon()), {"Name", raw, true, std::nullopt, true});
  check(NumberIdentifier("KEY", "Name", size), {"Name", size, true, std::nullopt, false});
  check(NumberIdentifier("KEY", "Name", size, testIcon()), {"Name", size, true, std::nullopt, true});
  check(NumberIdentifier("KEY", "Name", size, false), {"Name", size, false, std::nullopt, false});
  check(NumberIdentifier("KEY", "Name", size, false, testIcon()), {"Name", size, false, std::nullopt, true});
  check(NumberIdentifier("KEY", "Name", 2), {"Name", raw, true, 2, false});
  check(NumberIdentifier("KEY", "Name", 0, testIcon()), {"Name", raw, true, 0, true});
  check(NumberIdentifier("KEY", "Name", size, 3), {"Name", size, true, 3, false});
  check(NumberIdentifier("KEY", "Name", size, 1, testIcon()), {"Name", size, true, 1, true});
  check(NumberIdentifier("KEY", "Name", size, false, std::nullopt), {"Name", size, false, std::nullopt, false});
  check(NumberIdentifier("KEY", "Name", size, false, 4, testIcon()), {"Name", size, false, 4, true});
  EXPECT_THROW(NumberIdentifier("KEY", "Name", -1), std::out_of_range);
}

TEST_F(NumberIdentifierTest, ASetNumberShiftsTheHistoryAndUpdatesMinimumAndMaximum) {
  entry_.setInt(5);
  EXPECT_EQ(entry_.value()->longLongValue(), 5);
  EXPECT_EQ(entry_.value()->typeCode(), 'q');
  auto history = entry_.history();
  ASSERT_EQ(history.size(), 60u);
  EXPECT_EQ(history.back().doubleValue(), 5.0);
  EXPECT_EQ(history.back().typeCode(), 'd');
  EXPECT_EQ(entry_.min()->doubleValue(), 5.0);
  EXPECT_EQ(entry_.max()->doubleValue(), 5.0);

  entry_.setInt(3);
  entry_.setInt(7);
  entry_.setInt(7);
  entry_.setInt(4);
  EXPECT_EQ(entry_.min()->doubleValue(), 3.0);
  EXPECT_EQ(entry_.max()->doubleValue(), 7.0);
  EXPECT_EQ(entry_.min()->typeCode(), 'd');
  const auto samples = doubles(entry_.history());
  EXPECT_EQ(std::vector<double>(samples.end() - 5, samples.end()), (std::vector<double>{5, 3, 7, 7, 4}));
  EXPECT_EQ(samples.front(), 0.0);
}

TEST_F(NumberIdentifierTest, AnAbsentValueDropsTheOldestSampleForGood) {
  entry_.setInt(3);
  entry_.setDouble(7.5);
  entry_.setOptionalInt(std::nullopt);
  EXPECT_FALSE(entry_.value());
  EXPECT_EQ(entry_.description(), "-");
  EXPECT_EQ(entry_.history().size(), 59u);
  EXPECT_EQ(entry_.min()->doubleValue(), 3.0);
  EXPECT_EQ(entry_.max()->doubleValue(), 7.5);

  entry_.setInt(1);
  const auto history = entry_.history();
  EXPECT_EQ(history.size(), 59u);
  EXPECT_EQ(history.back().doubleValue(), 1.0);
  EXPECT_EQ(history[history.size() - 2].doubleValue(), 7.5);
}

TEST_F(NumberIdentifierTest, AnEmptiedHistoryGrowsToOneSampleAndStaysThere) {
  for (int i = 0; i < 61; ++i) entry_.setOptionalDouble(std::nullopt);
  EXPECT_TRUE(entry_.history().empty());
  entry_.setInt(2);
  EXPECT_EQ(doubles(entry_.history()), std::vector<double>{2.0});
  entry_.setInt(3);
  entry_.setUInt8(4);
  EXPECT_EQ(doubles(entry_.history()), std::vector<double>{4.0});
  entry_.addToHistory(std::nullopt);
  EXPECT_TRUE(entry_.history().empty());
}

TEST_F(NumberIdentifierTest, ANewHistorySizeRestartsTheHistoryAndKeepsMinimumAndMaximum) {
  entry_.setInt(-2);
  entry_.setInt(9);
  entry_.setOptionalInt(std::nullopt);
  entry_.setHistorySize(10);
  EXPECT_EQ(entry_.historySize(), 10);
  EXPECT_EQ(doubles(entry_.history()), zeros(10));
  EXPECT_EQ(entry_.min()->doubleValue(), -2.0);
  EXPECT_EQ(entry_.max()->doubleValue(), 9.0);

  entry_.setHistorySize(0);
  EXPECT_TRUE(entry_.history().empty());
  entry_.setInt(4);
  EXPECT_EQ(doubles(entry_.history()), std::vector<double>{4.0});

  EXPECT_THROW(entry_.setHistorySize(-1), std::invalid_argument);
  EXPECT_EQ(entry_.historySize(), 0);
  EXPECT_EQ(doubles(entry_.history()), std::vector<double>{4.0});
}

TEST_F(NumberIdentifierTest, TheHistoryKeepsTheNewestSamplesInOrderAcrossManySets) {
  entry_.setHistorySize(3);
  for (int i = 1; i <= 8; ++i) entry_.setInt(i);
  EXPECT_EQ(doubles(entry_.history()), (std::vector<double>{6, 7, 8}));
  entry_.setOptionalFloat(std::nullopt);
  for (int i = 9; i <= 13; ++i) entry_.setInt(i);
  EXPECT_EQ(doubles(entry_.history()), (std::vector<double>{12, 13}));
}

TEST_F(NumberIdentifierTest, AGivenHistoryReplacesTheSamplesWhateverTheSize) {
  entry_.setHistory({Number::of(1), Number::of(2.5f), Number::of(std::uint8_t{3})});
  EXPECT_EQ(entry_.historySize(), 60);
  auto history = entry_.history();
  ASSERT_EQ(history.size(), 3u);
  EXPECT_EQ(history[1].typeCode(), 'f');
  entry_.setInt(4);
  EXPECT_EQ(doubles(entry_.history()), (std::vector<double>{2.5, 3, 4}));
  entry_.setHistory({});
  entry_.setInt(5);
  EXPECT_EQ(doubles(entry_.history()), std::vector<double>{5.0});
}

TEST_F(NumberIdentifierTest, NaNIsRecordedInTheHistoryButNeverAsMinimumOrMaximum) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  entry_.setDouble(nan);
  EXPECT_TRUE(std::isnan(entry_.history().back().doubleValue()));
  EXPECT_FALSE(entry_.min());
  EXPECT_FALSE(entry_.max());
  entry_.setFloat(2.5f);
  entry_.setDouble(nan);
  entry_.updateMin(nan);
  entry_.updateMax(nan);
  EXPECT_EQ(entry_.min()->doubleValue(), 2.5);
  EXPECT_EQ(entry_.max()->doubleValue(), 2.5);
  entry_.setDouble(-std::numeric_limits<double>::infinity());
  EXPECT_EQ(entry_.min()->doubleValue(), -std::numeric_limits<double>::infinity());
}

TEST_F(NumberIdentifierTest, SamplesConvertUnsignedAndSignedNumbersByTheirOwnSign) {
  NumberIdentifier unsignedEntry("M_F", "Free", IdentifierCategory::raw, false);
  unsignedEntry.setUInt64(std::numeric_limits<std::uint64_t>::max());
  EXPECT_EQ(unsignedEntry.history().back().doubleValue(), 18446744073709551616.0);
  EXPECT_EQ(unsignedEntry.max()->doubleValue(), 18446744073709551616.0);
  EXPECT_EQ(unsignedEntry.description(), "18446744073709551615");
  EXPECT_EQ(unsignedEntry.value()->typeCode(), 'Q');

  entry_.setInt8(-1);
  EXPECT_EQ(entry_.description(), "-1");
  EXPECT_EQ(entry_.history().back().doubleValue(), -1.0);
  EXPECT_EQ(entry_.value()->typeCode(), 'c');
}

TEST_F(NumberIdentifierTest, TypedSettersKeepTheirNumberTypeThroughTheEntry) {
  const std::vector<std::pair<void (*)(NumberIdentifier&), char>> setters = {
      {[](NumberIdentifier& e) { e.setInt(1); }, 'q'},      {[](NumberIdentifier& e) { e.setInt16(1); }, 's'},
      {[](NumberIdentifier& e) { e.setInt32(1); }, 'i'},    {[](NumberIdentifier& e) { e.setUInt(1); }, 'Q'},
      {[](NumberIdentifier& e) { e.setUInt32(1); }, 'I'},   {[](NumberIdentifier& e) { e.setFloat(1); }, 'f'},
      {[](NumberIdentifier& e) { e.setOptionalUInt16(1); }, 'S'},
      {[](NumberIdentifier& e) { e.setOptionalInt64(1); }, 'q'},
      {[](NumberIdentifier& e) { e.set(std::int8_t{1}); }, 'c'},
      {[](NumberIdentifier& e) { e.set(1.0); }, 'd'},
  };
  for (const auto& [set, code] : setters) {
    set(entry_);
    EXPECT_EQ(entry_.value()->typeCode(), code);
    EXPECT_EQ(entry_.history().back().typeCode(), 'd');
  }
  EXPECT_EQ(entry_.history().size(), 60u);
}

TEST_F(NumberIdentifierTest, DescriptionFollowsTheCategory) {
  NumberIdentifier size("M_T", "Total", IdentifierCategory::size);
  EXPECT_EQ(size.description(), "-");
  size.setUInt64(1536);
  EXPECT_EQ(size.description(), "1.5 KB");
  NumberIdentifier load("CPU_U", "User", IdentifierCategory::percentage, 1);
  load.setDouble(12.34);
  EXPECT_EQ(load.description(), "12.3 %");
  NumberIdentifier plain("TASKS", "Tasks", 2);
  plain.setDouble(2.999);
  EXPECT_EQ(plain.description(), "2.99");
  ScopedRegion german("de_DE", "UTC", {"de-DE"});
  EXPECT_EQ(size.description(), "1.5 KB");
  EXPECT_EQ(load.description(), "12,3 %");
  EXPECT_EQ(plain.description(), "2,99");
}

TEST_F(NumberIdentifierTest, IsSeenThroughEachOfItsInterfaces) {
  auto entry = std::make_shared<NumberIdentifier>("CPU_S", "System", IdentifierCategory::percentage, true);
  std::shared_ptr<Identifier> asEntry = entry;
  std::dynamic_pointer_cast<IValueProvider>(asEntry)->setOptionalUInt32(7);
  EXPECT_EQ(asEntry->value()->unsignedIntValue(), 7u);
  EXPECT_EQ(asEntry->description(), "7 %");
  EXPECT_EQ(std::dynamic_pointer_cast<HistoryProvider>(asEntry)->history().back().doubleValue(), 7.0);
  EXPECT_EQ(std::dynamic_pointer_cast<MinValueProvider>(asEntry)->min()->doubleValue(), 7.0);
  EXPECT_EQ(std::dynamic_pointer_cast<MaxValueProvider>(asEntry)->max()->doubleValue(), 7.0);
}

}  // namespace
}  // namespace Bexlan
