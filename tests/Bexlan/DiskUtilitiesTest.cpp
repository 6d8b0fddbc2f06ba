#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <tuple>
#include <vector>

#include "Bexlan/DiskUtilities.hpp"
#include "Platform/Foundation/Region.hpp"
#include "Platform/Foundation/TextFormat.hpp"
#include "tests/Bexlan/ScopedCLocale.hpp"

namespace {

using Bexlan::DiskUtilities;

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint64_t p2(int exponent) { return std::uint64_t{1} << exponent; }

TEST(BytesStringTest, EveryStepFromBytesToExabytes) {
  const std::string units[] = {"B", "KB", "MB", "GB", "TB", "PB", "EB"};
  for (int step = 1; step <= 6; ++step) {
    EXPECT_EQ(DiskUtilities::bytesString(p2(10 * step)), "1 " + units[step]);
    EXPECT_EQ(DiskUtilities::bytesString(p2(10 * step) * 3 / 2), "1.5 " + units[step]);  // zeros dropped
    // Rounding up stays in the unit of the count; 2^60 - 1 becomes 2^60 as a double.
    EXPECT_EQ(DiskUtilities::bytesString(p2(10 * step) - 1),
              step == 1 ? "1023 B" : "1024 " + units[step - 1]);
  }
  // Megabytes show one decimal: 1.1000004, 1.0499992 and 1.96 MB; two would give "1.05", "1.96".
  // 1.125 KB is exactly halfway: printf rounds to the even digit, not up.
  const std::pair<std::uint64_t, const char*> cases[] = {
      {0, "0 B"},          {1023, "1023 B"},  {1034, "1.01 KB"}, {kMax, "16 EB"},
      {1153434, "1.1 MB"}, {1101004, "1 MB"}, {2055209, "2 MB"}, {1152, "1.12 KB"}};
  for (const auto& [bytes, text] : cases) EXPECT_EQ(DiskUtilities::bytesString(bytes), text) << bytes;
}

// Bytes step by 1024 and bits by 1000; the variant writes whole numbers below gigabytes per second. From a
// terabit per second on the text stays in gigabits, and the bit count saturates: 2^61 bytes times 8 would
// wrap to 0 bits, 2^61 + 1 to 8 bits.
TEST(RateStringTest, StepsWithDecimalsOrWholeAndSaturatingBits) {
  // in bits, rate, text, whole-number variant
  const std::tuple<bool, std::uint64_t, const char*, const char*> cases[] = {
      {false, 0, "0 B/s", "0 B/s"},
      {false, 1023, "1023 B/s", "1023 B/s"},
      {false, 1024, "1 KB/s", "1 KB/s"},
      {false, p2(20) - 1, "1023 KB/s", "1023 KB/s"},
      {false, p2(20), "1.00 MB/s", "1 MB/s"},
      {false, p2(30) - 1, "1024.00 MB/s", "1023 MB/s"},
      {false, p2(30), "1.00 GB/s", "1.00 GB/s"},
      {false, kMax, "17179869184.00 GB/s", "17179869184.00 GB/s"},
      {true, 0, "0 b/s", "0 b/s"},
      {true, 124, "992 b/s", "992 b/s"},
      {true, 125, "1 Kb/s", "1 Kb/s"},
      {true, 124999, "999 Kb/s", "999 Kb/s"},
      {true, 125000, "1.00 Mb/s", "1 Mb/s"},
      {true, 124999999, "1000.00 Mb/s", "999 Mb/s"},
      {true, 125000000, "1.00 Gb/s", "1 Gb/s"},
      {true, 1250000000000, "10000.00 Gb/s", "10000 Gb/s"},
      {true, p2(61), "18446744073.71 Gb/s", "18446744073 Gb/s"},
      {true, p2(61) + 1, "18446744073.71 Gb/s", "18446744073 Gb/s"}};
  for (const auto& [inBits, rate, text, whole] : cases) {
    EXPECT_EQ(DiskUtilities::rateString(rate, inBits), text) << rate << (inBits ? " in bits" : "");
    EXPECT_EQ(DiskUtilities::rateStringVariant(rate, inBits), whole) << rate << (inBits ? " in bits" : "");
  }
}

// printf in the "C" locale is the reference for every decimal text; exact halves round to even.
TEST(RateStringTest, DecimalTextsRoundAsPrintfDoes) {
  std::vector<std::uint64_t> counts;
  for (std::uint64_t odd = 9; odd < p2(13); odd += 2) counts.push_back(odd << 17);  // 1.125 MB/s, ...
  std::mt19937_64 random(1110);
  for (int i = 0; i < 20000; ++i) counts.push_back(125000 + random() % p2(20 + i % 24));
  for (std::uint64_t bytes : counts) {
    if (bytes >= p2(20)) {
      const std::string expected = bytes < p2(30) ? platform::formatC("%.2f MB/s", std::ldexp(bytes, -20))
                                                  : platform::formatC("%.2f GB/s", std::ldexp(bytes, -30));
      ASSERT_EQ(DiskUtilities::rateString(bytes, false), expected) << bytes;
    }
    const double bits = static_cast<double>(bytes * 8);
    const std::string inBits = bytes < 125000000 ? platform::formatC("%.2f Mb/s", bits / 1e6)
                                                 : platform::formatC("%.2f Gb/s", bits / 1e9);
    ASSERT_EQ(DiskUtilities::rateString(bytes, true), inBits) << bytes;
  }
}

TEST(IntervalRateTest, DividesAndTruncatesOrGivesADashForIntervalsNotPositiveAndRatesBeyond64Bits) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(DiskUtilities::rateString(1000, false, 3.0), "333 B/s");
  EXPECT_EQ(DiskUtilities::rateString(3 * p2(20), false, 0.5), "6.00 MB/s");
  EXPECT_EQ(DiskUtilities::rateStringVariant(3 * p2(20), false, 0.5), "6 MB/s");
  EXPECT_EQ(DiskUtilities::rateString(250, true, 2.0), "1 Kb/s");
  EXPECT_EQ(DiskUtilities::rateStringVariant(125000000, true, 0.5), "2 Gb/s");
  // The rate is (1 / interval) * count: (1 / 49) * 49 is just below 1 and truncates to 0.
  EXPECT_EQ(DiskUtilities::rateString(49, false, 49.0), "0 B/s");
  // Just inside the 64-bit range, and huge intervals.
  EXPECT_EQ(DiskUtilities::rateString(p2(63), false, 1.0), "8589934592.00 GB/s");
  EXPECT_EQ(DiskUtilities::rateString(kMax, false, 1e300), "0 B/s");
  EXPECT_EQ(DiskUtilities::rateStringVariant(kMax, true, inf), "0 b/s");
  for (double interval : {0.0, -0.0, -1.0, -inf, nan}) {
    for (bool inBits : {false, true}) {
      EXPECT_EQ(DiskUtilities::rateString(2048, inBits, interval), "-") << interval;
      EXPECT_EQ(DiskUtilities::rateStringVariant(0, inBits, interval), "-") << interval;
    }
  }
  const double denormal = std::numeric_limits<double>::denorm_min();
  // 1 / denormal is infinite, and NaN times 0. 2^64 - 1 becomes 2^64 as a double, one past the range.
  for (auto [bytes, interval] : {std::pair{std::uint64_t{1}, denormal}, std::pair{std::uint64_t{0}, denormal},
                                 std::pair{p2(63), 0.5}, std::pair{kMax, 1.0}}) {
    EXPECT_EQ(DiskUtilities::rateString(bytes, false, interval), "-") << interval;
    EXPECT_EQ(DiskUtilities::rateStringVariant(bytes, true, interval), "-") << interval;
  }
}

TEST(DiskUtilitiesLocaleTest, GermanLocaleStillWritesADecimalPoint) {
  const ScopedCLocale german("de_DE.UTF-8");
  if (!german.installed()) GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
  const platform::ScopedRegion region("de_DE", "Europe/Berlin", {"de-DE"});
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.1f", 1.5);
  ASSERT_STREQ(probe, "1,5") << "the locale did not take effect";

  EXPECT_EQ(DiskUtilities::bytesString(1536), "1.5 KB");
  EXPECT_EQ(DiskUtilities::bytesString(p2(40) * 1000), "1000 TB");
  EXPECT_EQ(DiskUtilities::rateString(p2(20) * 3 / 2, false), "1.50 MB/s");
}

}  // namespace
