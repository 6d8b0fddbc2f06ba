#include "Bexlan/StringIdentifier.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <vector>

#include "tests/Bexlan/TestIcon.hpp"

namespace Bexlan {
namespace {

using platform::Number;
using testing::testIcon;

std::vector<double> doubles(const std::vector<Number>& samples) {
  std::vector<double> result;
  for (const auto& sample : samples) result.push_back(sample.doubleValue());
  return result;
}

TEST(StringIdentifierTest, StartsWithTheGivenTextAndAHistoryOf60Zeros) {
  StringIdentifier absent("diskRead", "Read", std::nullopt);
  EXPECT_EQ(absent.description(), "-");
  EXPECT_FALSE(absent.value());
  EXPECT_EQ(doubles(absent.history()), std::vector<double>(60, 0.0));
  EXPECT_EQ(absent.historySize(), 60);
  EXPECT_FALSE(absent.min());
  EXPECT_FALSE(absent.max());
  EXPECT_EQ(absent.icon(), nullptr);

  StringIdentifier empty("N_S_DL", "Download", "", testIcon());
  EXPECT_EQ(empty.description(), "");
  EXPECT_EQ(empty.identifier(), "N_S_DL");
  EXPECT_EQ(empty.name(), "Download");
  EXPECT_EQ(empty.icon(), testIcon());
}

TEST(StringIdentifierTest, SetStringChangesOnlyTheText) {
  StringIdentifier entry("N_S_UL", "Upload", "old");
  entry.setStringWithRaw("2 KB", Number::of(2048));
  entry.setString("abc");
  EXPECT_EQ(entry.description(), "abc");
  EXPECT_EQ(entry.value()->longLongValue(), 2048);
  EXPECT_EQ(entry.history().back().doubleValue(), 2048.0);
  EXPECT_EQ(entry.min()->doubleValue(), 2048.0);
  entry.setString(std::nullopt);
  EXPECT_EQ(entry.description(), "-");
  EXPECT_FALSE(entry.mString());
}

TEST(StringIdentifierTest, SetStringWithRawRecordsTheRawNumber) {
  StringIdentifier entry("N_S_DL", "Download", "");
  entry.setStringWithRaw("2 KB", Number::of(std::uint32_t{2048}));
  EXPECT_EQ(entry.description(), "2 KB");
  EXPECT_EQ(entry.value()->typeCode(), 'I');
  EXPECT_EQ(entry.value()->unsignedIntValue(), 2048u);
  auto history = entry.history();
  EXPECT_EQ(history.size(), 60u);
  EXPECT_EQ(history.back().doubleValue(), 2048.0);
  EXPECT_EQ(entry.min()->doubleValue(), 2048.0);
  EXPECT_EQ(entry.max()->doubleValue(), 2048.0);

  entry.setStringWithRaw(std::nullopt, Number::of(5));
  EXPECT_EQ(entry.description(), "-");
  EXPECT_EQ(entry.value()->longLongValue(), 5);

  const auto samples = doubles(entry.history());
  EXPECT_EQ(std::vector<double>(samples.end() - 2, samples.end()), (std::vector<double>{2048, 5}));
}

TEST(StringIdentifierTest, MinimumAndMaximumMoveOnlyOutwardAndIgnoreNaN) {
  StringIdentifier entry("K", "Name", std::nullopt);
  entry.setStringWithRaw("nan", Number::of(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_FALSE(entry.min());
  EXPECT_FALSE(entry.max());
  for (int raw : {9, 4, 6}) entry.setStringWithRaw("x", Number::of(raw));
  entry.setStringWithRaw("nan", Number::of(std::numeric_limits<float>::quiet_NaN()));
  EXPECT_EQ(entry.min()->doubleValue(), 4.0);
  EXPECT_EQ(entry.max()->doubleValue(), 9.0);
  EXPECT_TRUE(std::isnan(entry.history().back().doubleValue()));
}

TEST(StringIdentifierTest, ARawInitialNumberIsRecordedAtOnce) {
  StringIdentifier withRaw("K", "Name", "7 B", Number::of(7));
  auto history = doubles(withRaw.history());
  EXPECT_EQ(history.size(), 60u);
  EXPECT_EQ(history.back(), 7.0);
  EXPECT_EQ(std::vector<double>(history.begin(), history.end() - 1), std::vector<double>(59, 0.0));
  EXPECT_EQ(withRaw.min()->doubleValue(), 7.0);
  EXPECT_EQ(withRaw.max()->doubleValue(), 7.0);
  EXPECT_EQ(withRaw.description(), "7 B");
  EXPECT_EQ(withRaw.icon(), nullptr);

  StringIdentifier withoutRaw("K", "Name", "text", std::optional<Number>());
  EXPECT_EQ(doubles(withoutRaw.history()), std::vector<double>(60, 0.0));
  EXPECT_FALSE(withoutRaw.value());
  EXPECT_FALSE(withoutRaw.min());
}

TEST(StringIdentifierTest, ANewHistorySizeRestartsTheHistoryOnly) {
  StringIdentifier entry("K", "Name", "a", Number::of(8));
  entry.setHistorySize(0);
  EXPECT_TRUE(entry.history().empty());
  entry.setStringWithRaw("b", Number::of(3));
  EXPECT_EQ(doubles(entry.history()), std::vector<double>{3.0});
  entry.setStringWithRaw("c", Number::of(1));
  EXPECT_EQ(doubles(entry.history()), std::vector<double>{1.0});
  EXPECT_EQ(entry.min()->doubleValue(), 1.0);
  EXPECT_EQ(entry.max()->doubleValue(), 8.0);
  EXPECT_EQ(entry.description(), "c");

  entry.setHistorySize(4);
  EXPECT_EQ(doubles(entry.history()), std::vector<double>(4, 0.0));
  EXPECT_EQ(entry.value()->longLongValue(), 1);
  EXPECT_THROW(entry.setHistorySize(-3), std::invalid_argument);
  EXPECT_EQ(entry.historySize(), 4);

  entry.setHistory({Number::of(5), Number::of(6)});
  entry.setStringWithRaw("d", Number::of(7));
  EXPECT_EQ(doubles(entry.history()), (std::vector<double>{6, 7}));
}

}  // namespace
}  // namespace Bexlan
