#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "Platform/Foundation/NumberFormatter.hpp"
#include "Platform/Foundation/Region.hpp"

namespace platform {
namespace {

class NumberFormatterTest : public ::testing::Test {
 protected:
  ScopedRegion region_{"en_US", "UTC", {"en-US"}};
};

// Checked in Bexlan: grouping in each locale (NumberTexts.FollowThePinnedLocale), none unless asked
// (FormattedTest.WritesExactlyTheDigitsCutTowardZeroWithoutGrouping), a kept formatter following a later
// region (ValueTest.PlainTextsCutPercentTextsRoundHalfToEvenBothInTheCurrentLocale).
TEST_F(NumberFormatterTest, IntegersAndNumbersKeepAllTheirDigits) {
  NumberFormatter formatter;
  EXPECT_EQ(formatter.string(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
  EXPECT_EQ(formatter.string(std::uint64_t{9223372036854775808u}), "9223372036854775808");
  formatter.setUsesGrouping(true);
  formatter.setMinimumFractionDigits(1);
  formatter.setMaximumFractionDigits(12);
  EXPECT_EQ(formatter.string(std::numeric_limits<std::uint64_t>::max()), "18,446,744,073,709,551,615.0");
  EXPECT_EQ(formatter.string(Number::of(std::numeric_limits<std::uint64_t>::max())),
            "18,446,744,073,709,551,615.0");
  EXPECT_EQ(formatter.string(Number::of(true)), "1.0");
  EXPECT_EQ(formatter.string(Number::of(0.1f)), "0.1") << "a float is written from its own digits";
  EXPECT_EQ(formatter.string(Number::of(-3.75e10f)), "-37,500,000,000.0");
}

TEST_F(NumberFormatterTest, DigitSettingsStayConsistentAndRejectNonsense) {
  NumberFormatter formatter;
  formatter.setMaximumFractionDigits(1);
  formatter.setMinimumFractionDigits(3);  // raises the maximum to 3
  EXPECT_EQ(formatter.string(0.12345), "0.123");
  formatter.setMaximumFractionDigits(2);  // lowers the minimum to 2
  EXPECT_EQ(formatter.string(1), "1.00");

  EXPECT_THROW(formatter.setMaximumFractionDigits(-1), std::out_of_range);
  EXPECT_THROW(formatter.setMinimumFractionDigits(NumberFormatter::maximumDigitCount + 1), std::out_of_range);
  EXPECT_EQ(formatter.string(1), "1.00") << "rejected settings change nothing";
}

TEST_F(NumberFormatterTest, CopiesKeepTheSettingsAndOneFormatterServesSeveralThreads) {
  NumberFormatter original;
  original.setMaximumFractionDigits(2);
  original.setMinimumFractionDigits(2);
  original.setRoundingMode(NumberFormatter::RoundingMode::down);
  NumberFormatter assigned;
  EXPECT_EQ(assigned.string(0.125), "0");
  assigned = original;
  const NumberFormatter formatter(assigned);

  std::vector<std::thread> threads;
  std::vector<int> wrong(4, 0);
  for (int& count : wrong) {
    threads.emplace_back([&formatter, &count] {
      for (int i = 0; i < 500; ++i) count += formatter.string(i + 0.125) != std::to_string(i) + ".12";
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace platform
