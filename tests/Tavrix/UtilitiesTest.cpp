#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "Platform/Foundation/Region.hpp"
#include "Tavrix/Controls/Utilities.hpp"

namespace Tavrix {
namespace {

constexpr std::uint64_t kibi = 1024;
constexpr std::uint64_t mebi = kibi * kibi;
constexpr std::uint64_t gibi = mebi * kibi;
constexpr std::uint64_t tebi = gibi * kibi;

// Bytes step at each power of 1024; bits count eight per byte and step at each power of 1000 (124 bytes are
// 992 bits, 125 reach 1000 and the step itself counts). Each step once, the first on both of its sides.
TEST(RateUnits, StepAtEachPowerInBytesAndInBits) {
  struct Case {
    std::uint64_t bytes;
    bool bits;
    double divisor;
    const char* unit;
  };
  constexpr std::uint64_t largest = std::numeric_limits<std::uint64_t>::max();
  for (const Case& step :
       {Case{0, false, 1, "B/s"}, Case{1023, false, 1, "B/s"}, Case{1024, false, 1024, "KB/s"},
        Case{mebi, false, 1048576, "MB/s"}, Case{gibi, false, 1073741824, "GB/s"},
        Case{tebi, false, 1099511627776, "TB/s"}, Case{largest, false, 1099511627776, "TB/s"},
        Case{124, true, 1, "b/s"}, Case{125, true, 1000, "Kb/s"}, Case{125'000, true, 1'000'000, "Mb/s"},
        Case{125'000'000, true, 1'000'000'000, "Gb/s"},
        // 10^12 as a single-precision number.
        Case{125'000'000'000, true, 999'999'995'904, "Tb/s"},
        // Times 8 saturates instead of wrapping round to a small count.
        Case{std::uint64_t{1} << 61, true, 999'999'995'904, "Tb/s"},
        Case{largest, true, 999'999'995'904, "Tb/s"}}) {
    EXPECT_EQ(Utilities::unitDivisor(step.bytes, step.bits), step.divisor) << step.bytes << " " << step.bits;
    EXPECT_EQ(Utilities::rateUnit(step.bytes, step.bits), step.unit) << step.bytes << " " << step.bits;
  }
}

TEST(MonthString, AbbreviatedMonthInTheRegionsLocaleAndTimeZone) {
  {
    platform::ScopedRegion region("en_US", "UTC", {"en"});
    EXPECT_EQ(Utilities::monthString(0), "Jan");
    // 1 March 2021, 00:00 UTC.
    EXPECT_EQ(Utilities::monthString(1614556800), "Mar");
    EXPECT_EQ(Utilities::monthString(std::nan("")), "-");
  }
  {
    platform::ScopedRegion region("en_US", "America/New_York", {"en"});
    EXPECT_EQ(Utilities::monthString(0), "Dec");
  }
}

}  // namespace
}  // namespace Tavrix
