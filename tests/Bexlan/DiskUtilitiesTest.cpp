#include <gtest/gtest.h>
#include <locale.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <vector>

#include "Bexlan/DiskUtilities.hpp"
#include "Platform/Foundation/Region.hpp"
#include "Platform/Foundation/TextFormat.hpp"

namespace {

using Bexlan::DiskUtilities;

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint64_t p2(int exponent) { return std::uint64_t{1} << exponent; }

template <class Format>
void expectTexts(const std::vector<std::pair<std::uint64_t, std::string>>& cases, Format format) {
  for (const auto& [input, text] : cases) EXPECT_EQ(format(input), text) << input;
}

TEST(BytesStringTest, EveryStepFromBytesToExabytes) {
  expectTexts({{0, "0 B"},
               {1, "1 B"},
               {100, "100 B"},
               {1023, "1023 B"},
               // Trailing zeros are dropped in every step.
               {1024, "1 KB"},
               {1536, "1.5 KB"},
               {1034, "1.01 KB"},
               {10240, "10 KB"},
               {p2(20), "1 MB"},
               {p2(20) * 3 / 2, "1.5 MB"},
               {p2(30), "1 GB"},
               {p2(30) * 5 / 4, "1.25 GB"},
               {p2(40), "1 TB"},
               {p2(40) * 3 / 2, "1.5 TB"},
               {p2(50), "1 PB"},
               {p2(50) * 21 / 2, "10.5 PB"},
               {p2(60), "1 EB"},
               {p2(60) * 3 / 2, "1.5 EB"},
               {kMax, "16 EB"},
               // Megabytes show one decimal: 1.1000004, 1.0499992 and 1.96 MB; two would give "1.05", "1.96".
               {1153434, "1.1 MB"},
               {1101004, "1 MB"},
               {2055209, "2 MB"},
               // Rounding up stays in the unit of the count; 2^60 - 1 becomes 2^60 as a double.
               {p2(20) - 1, "1024 KB"},
               {p2(30) - 1, "1024 MB"},
               {p2(40) - 1, "1024 GB"},
               {p2(50) - 1, "1024 TB"},
               {p2(60) - 1, "1024 PB"},
               // 1.125 KB is exactly halfway: printf rounds to the even digit, not up. 1184 is 1.15625 KB.
               {1152, "1.12 KB"},
               {1184, "1.16 KB"}},
              DiskUtilities::bytesString);
}

std::string bytesRate(std::uint64_t rate) { return DiskUtilities::rateString(rate, false); }
std::string bitsRate(std::uint64_t rate) { return DiskUtilities::rateString(rate, true); }
std::string bytesRateWhole(std::uint64_t rate) { return DiskUtilities::rateStringVariant(rate, false); }
std::string bitsRateWhole(std::uint64_t rate) { return DiskUtilities::rateStringVariant(rate, true); }

TEST(RateStringTest, BytesStepBy1024AndBitsBy1000WithDecimalsOrWhole) {
  expectTexts({{0, "0 B/s"},
               {1023, "1023 B/s"},
               {1024, "1 KB/s"},
               {2047, "1 KB/s"},
               {p2(20) - 1, "1023 KB/s"},
               {p2(20), "1.00 MB/s"},
               {2 * p2(20), "2.00 MB/s"},
               {12939428, "12.34 MB/s"},
               {p2(30) - 1, "1024.00 MB/s"},
               {p2(30), "1.00 GB/s"},
               {p2(30) * 3 / 2, "1.50 GB/s"},
               {kMax, "17179869184.00 GB/s"}},
              bytesRate);
  expectTexts({{0, "0 b/s"},
               {124, "992 b/s"},
               {125, "1 Kb/s"},
               {124999, "999 Kb/s"},
               {125000, "1.00 Mb/s"},
               {12000000, "96.00 Mb/s"},
               {124999999, "1000.00 Mb/s"},
               {125000000, "1.00 Gb/s"},
               {124999999999, "1000.00 Gb/s"}},
              bitsRate);
  expectTexts({{0, "0 B/s"},
               {1023, "1023 B/s"},
               {1024, "1 KB/s"},
               {p2(20) - 1, "1023 KB/s"},
               {p2(20), "1 MB/s"},
               {p2(20) * 7 / 2, "3 MB/s"},
               {p2(30) - 1, "1023 MB/s"},
               {p2(30), "1.00 GB/s"},
               {p2(30) * 3 / 2, "1.50 GB/s"}},
              bytesRateWhole);
  expectTexts({{0, "0 b/s"},
               {124, "992 b/s"},
               {125, "1 Kb/s"},
               {124999, "999 Kb/s"},
               {125000, "1 Mb/s"},
               {12000000, "96 Mb/s"},
               {124999999, "999 Mb/s"},
               {125000000, "1 Gb/s"},
               {124999999999, "999 Gb/s"}},
              bitsRateWhole);
}

TEST(RateStringTest, ATerabitPerSecondAndMoreStaysInGigabitsAndTheBitCountSaturates) {
  // 2^61 bytes times 8 would wrap to 0 bits, 2^61 + 1 to 8 bits.
  expectTexts({{125000000000, "1000.00 Gb/s"},
               {1250000000000, "10000.00 Gb/s"},
               {p2(61) - 1, "18446744073.71 Gb/s"},
               {p2(61), "18446744073.71 Gb/s"},
               {p2(61) + 1, "18446744073.71 Gb/s"},
               {kMax, "18446744073.71 Gb/s"}},
              bitsRate);
  expectTexts({{125000000000, "1000 Gb/s"}, {p2(61), "18446744073 Gb/s"}, {kMax, "18446744073 Gb/s"}},
              bitsRateWhole);
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
      ASSERT_EQ(bytesRate(bytes), expected) << bytes;
    }
    const double bits = static_cast<double>(bytes * 8);
    ASSERT_EQ(bitsRate(bytes), bytes < 125000000 ? platform::formatC("%.2f Mb/s", bits / 1e6)
                                                 : platform::formatC("%.2f Gb/s", bits / 1e9))
        << bytes;
  }
}

TEST(IntervalRateTest, DividesTheCountByTheIntervalAndTruncates) {
  EXPECT_EQ(DiskUtilities::rateString(2048, false, 2.0), "1 KB/s");
  EXPECT_EQ(DiskUtilities::rateStringVariant(2048, false, 2.0), "1 KB/s");
  EXPECT_EQ(DiskUtilities::rateString(1000, false, 3.0), "333 B/s");
  EXPECT_EQ(DiskUtilities::rateString(3 * p2(20), false, 0.5), "6.00 MB/s");
  EXPECT_EQ(DiskUtilities::rateStringVariant(3 * p2(20), false, 0.5), "6 MB/s");
  EXPECT_EQ(DiskUtilities::rateString(250, true, 2.0), "1 Kb/s");
  EXPECT_EQ(DiskUtilities::rateStringVariant(125000000, true, 0.5), "2 Gb/s");
  // The rate is (1 / interval) * count: (1 / 49) * 49 is just below 1 and truncates to 0.
  EXPECT_EQ(DiskUtilities::rateString(49, false, 49.0), "0 B/s");
  // Just inside the 64-bit range, and huge intervals.
  EXPECT_EQ(DiskUtilities::rateString(p2(63), false, 1.0), "8589934592.00 GB/s");
  EXPECT_EQ(DiskUtilities::rateString(1, false, 1e-18), "931322574.62 GB/s");
  EXPECT_EQ(DiskUtilities::rateString(kMax, false, 1e300), "0 B/s");
  EXPECT_EQ(DiskUtilities::rateStringVariant(kMax, true, std::numeric_limits<double>::infinity()), "0 b/s");
}

TEST(IntervalRateTest, IntervalsThatAreNotPositiveOrRatesBeyond64BitsGiveADash) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (double interval : {0.0, -0.0, -1.0, -inf, nan}) {
    SCOPED_TRACE(interval);
    for (bool inBits : {false, true}) {
      EXPECT_EQ(DiskUtilities::rateString(2048, inBits, interval), "-");
      EXPECT_EQ(DiskUtilities::rateStringVariant(2048, inBits, interval), "-");
      EXPECT_EQ(DiskUtilities::rateString(0, inBits, interval), "-");
    }
  }
  const double denormal = std::numeric_limits<double>::denorm_min();
  // 1 / denormal is infinite, and NaN times 0. 2^64 - 1 becomes 2^64 as a double, one past the range.
  for (auto [bytes, interval] :
       {std::pair{std::uint64_t{1}, denormal}, std::pair{std::uint64_t{0}, denormal},
        std::pair{std::uint64_t{1}, 1e-300}, std::pair{p2(63), 0.5}, std::pair{kMax, 1.0}}) {
    SCOPED_TRACE(interval);
    EXPECT_EQ(DiskUtilities::rateString(bytes, false, interval), "-");
    EXPECT_EQ(DiskUtilities::rateStringVariant(bytes, true, interval), "-");
  }
}

// Switches the process (setlocale) and this thread (uselocale) to a locale, and restores both.
class ScopedCLocale {
 public:
  explicit ScopedCLocale(const char* name)
      : processPrevious_(std::setlocale(LC_ALL, nullptr)), locale_(newlocale(LC_ALL_MASK, name, locale_t{})) {
    if (!installed()) return;
    std::setlocale(LC_ALL, name);
    threadPrevious_ = uselocale(locale_);
  }
  ~ScopedCLocale() {
    if (!installed()) return;
    uselocale(threadPrevious_);
    freelocale(locale_);
    std::setlocale(LC_ALL, processPrevious_.c_str());
  }
  ScopedCLocale(const ScopedCLocale&) = delete;
  ScopedCLocale& operator=(const ScopedCLocale&) = delete;

  bool installed() const { return locale_ != locale_t{}; }

 private:
  std::string processPrevious_;
  locale_t locale_;
  locale_t threadPrevious_{};
};

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
  EXPECT_EQ(DiskUtilities::rateString(1250000, true), "10.00 Mb/s");
  EXPECT_EQ(DiskUtilities::rateStringVariant(p2(30) * 3 / 2, false, 1.0), "1.50 GB/s");
}

}  // namespace
