#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "Bexlan/NumberIdentifier.hpp"
#include "Bexlan/StringIdentifier.hpp"
#include "Bexlan/WrappedIdentifier.hpp"
#include "Platform/Foundation/Region.hpp"
#include "Platform/Graphics/Image.hpp"
#include "tests/Bexlan/Samples.hpp"

namespace Bexlan {
namespace {

using platform::Number;

class NumberIdentifierTest : public ::testing::Test {
 protected:
  platform::ScopedRegion region_{"en_US", "UTC", {"en-US"}};
  NumberIdentifier entry_{"CPU_T"};
};

TEST_F(NumberIdentifierTest, ASetShiftsTheHistoryOfIntegerZerosAndMovesMinimumAndMaximumOutward) {
  EXPECT_FALSE(entry_.value() || entry_.min() || entry_.max());
  EXPECT_EQ(entry_.description(), "-");
  EXPECT_EQ(entry_.history().front().typeCode(), 'q');
  for (int sample : {5, 3, 7, 7, 4}) entry_.setInt(sample);
  EXPECT_EQ(entry_.value()->typeCode(), 'q');
  const auto samples = doubles(entry_.history());
  ASSERT_EQ(samples.size(), 60u);
  EXPECT_EQ(std::vector<double>(samples.end() - 6, samples.end()), (std::vector<double>{0, 5, 3, 7, 7, 4}));
  EXPECT_EQ(entry_.history().back().typeCode(), 'd');
  EXPECT_EQ(entry_.min()->doubleValue(), 3.0);
  EXPECT_EQ(entry_.max()->doubleValue(), 7.0);

  // Samples and texts read the number by its own sign.
  NumberIdentifier freeMemory("M_F", "Free", IdentifierCategory::raw, false);
  freeMemory.setUInt64(std::numeric_limits<std::uint64_t>::max());
  EXPECT_EQ(freeMemory.history().back().doubleValue(), 18446744073709551616.0);
  EXPECT_EQ(freeMemory.description(), "18446744073709551615");
  entry_.setInt8(-1);
  EXPECT_EQ(entry_.description(), "-1");
  EXPECT_EQ(entry_.min()->doubleValue(), -1.0);
}

// The ring's own rules are SampleHistoryTest's; these are the entry's uses of them.
TEST_F(NumberIdentifierTest, AbsentValuesShortenTheHistoryAndANewSizeRestartsIt) {
  entry_.setInt(-2);
  entry_.setOptionalInt(std::nullopt);
  EXPECT_FALSE(entry_.value());
  EXPECT_EQ(entry_.history().size(), 59u);
  entry_.setInt(9);
  EXPECT_EQ(entry_.history().size(), 59u);
  EXPECT_EQ(entry_.history().back().doubleValue(), 9.0);

  // A new history size restarts the history at its full length and keeps the extremes.
  entry_.setHistorySize(3);
  EXPECT_EQ(doubles(entry_.history()), std::vector<double>(3, 0.0));
  EXPECT_EQ(entry_.min()->doubleValue(), -2.0);
  EXPECT_EQ(entry_.max()->doubleValue(), 9.0);
  EXPECT_THROW(entry_.setHistorySize(-1), std::invalid_argument);
  EXPECT_EQ(entry_.historySize(), 3);

  entry_.setHistory({Number::of(1), Number::of(2.5f)});
  entry_.setInt(3);
  EXPECT_EQ(doubles(entry_.history()), (std::vector<double>{2.5, 3}));
}

TEST_F(NumberIdentifierTest, NaNGoesIntoTheHistoryButNeverBecomesMinimumOrMaximum) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  entry_.setDouble(nan);
  EXPECT_TRUE(std::isnan(entry_.history().back().doubleValue()));
  EXPECT_FALSE(entry_.min() || entry_.max());
  entry_.setFloat(2.5f);
  entry_.setDouble(nan);
  entry_.updateMin(nan);
  EXPECT_EQ(entry_.min()->doubleValue(), 2.5);
  EXPECT_EQ(entry_.max()->doubleValue(), 2.5);
}

TEST(StringIdentifierTest, StartsWithTheGivenTextAndRecordsOnlyRawNumbers) {
  StringIdentifier absent("diskRead", "Read", std::nullopt);
  EXPECT_EQ(absent.description(), "-");
  EXPECT_FALSE(absent.value() || absent.min() || absent.max());
  EXPECT_EQ(doubles(absent.history()), std::vector<double>(60, 0.0));
  const Icon icon = platform::Image::create({});
  StringIdentifier entry("N_S_DL", "Download", "", icon);
  EXPECT_EQ(entry.description(), "");
  EXPECT_EQ(entry.icon(), icon);

  entry.setStringWithRaw("2 KB", Number::of(std::uint32_t{2048}));
  EXPECT_EQ(entry.description(), "2 KB");
  EXPECT_EQ(entry.value()->typeCode(), 'I');
  for (int raw : {9, 4, 6}) entry.setStringWithRaw(std::nullopt, Number::of(raw));
  entry.setStringWithRaw("nan", Number::of(std::numeric_limits<double>::quiet_NaN()));
  entry.setString("abc");  // text alone records nothing
  EXPECT_EQ(entry.description(), "abc");
  EXPECT_TRUE(std::isnan(entry.value()->doubleValue()));
  const auto samples = doubles(entry.history());
  ASSERT_EQ(samples.size(), 60u);
  EXPECT_EQ(std::vector<double>(samples.end() - 5, samples.end() - 1), (std::vector<double>{2048, 9, 4, 6}));
  EXPECT_EQ(entry.min()->doubleValue(), 4.0);
  EXPECT_EQ(entry.max()->doubleValue(), 2048.0);
  entry.setString(std::nullopt);
  EXPECT_EQ(entry.description(), "-");

  // A raw initial number is recorded; a new history size restarts the history only.
  StringIdentifier withoutRaw("K", "Name", "text", std::optional<Number>());
  EXPECT_FALSE(withoutRaw.value() || withoutRaw.min());
  StringIdentifier raw("K", "Name", "a", Number::of(8));
  std::vector<double> expected(59, 0.0);
  expected.push_back(8);
  EXPECT_EQ(doubles(raw.history()), expected);
  raw.setHistorySize(4);
  EXPECT_EQ(doubles(raw.history()), std::vector<double>(4, 0.0));
  EXPECT_EQ(raw.value()->longLongValue(), 8);
  EXPECT_EQ(raw.max()->doubleValue(), 8.0);
  EXPECT_THROW(raw.setHistorySize(-3), std::invalid_argument);
  EXPECT_EQ(raw.historySize(), 4);
}

TEST(WrappedIdentifierDeathTest, AskingTheAliasForItsTextOrNumberIsFatal) {
  std::shared_ptr<const Identifier> alias = std::make_shared<WrappedIdentifier>("A", "Alias", "B");
  const std::string where = "WrappedIdentifier\\.cpp:[0-9]+: Fatal error: ";
  EXPECT_DEATH(alias->description(), where + "Use IDataStore to get string of wrapped identifier\\.");
  EXPECT_DEATH(alias->value(), where + "Use IDataStore to get value of wrapped identifier\\.");
}

}  // namespace
}  // namespace Bexlan
