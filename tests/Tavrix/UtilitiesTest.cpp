#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>

#include "Platform/Foundation/Region.hpp"
#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Font.hpp"
#include "Tavrix/Controls/ScaleMode.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Controls/TextUtilities.hpp"
#include "Tavrix/Controls/Utilities.hpp"

namespace Tavrix {
namespace {

constexpr std::uint64_t kibi = 1024;
constexpr std::uint64_t mebi = kibi * kibi;
constexpr std::uint64_t gibi = mebi * kibi;
constexpr std::uint64_t tebi = gibi * kibi;

TEST(RateUnits, BytesStepAtEachPowerOf1024) {
  struct Case {
    std::uint64_t bytes;
    double divisor;
    const char* unit;
  };
  for (const Case& step : {Case{0, 1, "B/s"}, Case{1023, 1, "B/s"}, Case{1024, 1024, "KB/s"},
                           Case{mebi - 1, 1024, "KB/s"}, Case{mebi, 1048576, "MB/s"},
                           Case{gibi - 1, 1048576, "MB/s"}, Case{gibi, 1073741824, "GB/s"},
                           Case{tebi - 1, 1073741824, "GB/s"}, Case{tebi, 1099511627776, "TB/s"},
                           Case{std::numeric_limits<std::uint64_t>::max(), 1099511627776, "TB/s"}}) {
    EXPECT_EQ(Utilities::unitDivisor(step.bytes, false), step.divisor) << step.bytes;
    EXPECT_EQ(Utilities::rateUnit(step.bytes, false), step.unit) << step.bytes;
  }
}

TEST(RateUnits, BitsCountEightPerByteAndStepAtEachPowerOf1000) {
  struct Case {
    std::uint64_t bytes;
    double divisor;
    const char* unit;
  };
  // 124 bytes are 992 bits; 125 bytes reach 1000 bits, and the step itself counts.
  for (const Case& step : {Case{124, 1, "b/s"}, Case{125, 1000, "Kb/s"}, Case{124'999, 1000, "Kb/s"},
                           Case{125'000, 1'000'000, "Mb/s"}, Case{125'000'000, 1'000'000'000, "Gb/s"},
                           Case{124'999'999'999, 1'000'000'000, "Gb/s"},
                           // 10^12 as a single-precision number.
                           Case{125'000'000'000, 999'999'995'904, "Tb/s"},
                           // Times 8 saturates instead of wrapping round to a small count.
                           Case{std::uint64_t{1} << 61, 999'999'995'904, "Tb/s"},
                           Case{std::numeric_limits<std::uint64_t>::max(), 999'999'995'904, "Tb/s"}}) {
    EXPECT_EQ(Utilities::unitDivisor(step.bytes, true), step.divisor) << step.bytes;
    EXPECT_EQ(Utilities::rateUnit(step.bytes, true), step.unit) << step.bytes;
  }
}

TEST(ScaleMode, RawValuesAndBackExactly) {
  EXPECT_EQ(scaleMode(10), ScaleMode::ten);
  EXPECT_EQ(scaleMode(12), std::nullopt);
  EXPECT_EQ(scaleMode(10.000001), std::nullopt);
  EXPECT_EQ(rawValue(ScaleMode::megabytes), 1073741824);
  EXPECT_EQ(rawValue(ScaleMode::kilobytes), 1048576);
  EXPECT_EQ(rawValue(ScaleMode::fourtyFive), 45);
  for (int index = 0; index <= static_cast<int>(ScaleMode::megabytes); ++index) {
    const auto mode = static_cast<ScaleMode>(index);
    EXPECT_EQ(scaleMode(rawValue(mode)), mode);
    if (index > 0) {
      EXPECT_LT(rawValue(static_cast<ScaleMode>(index - 1)), rawValue(mode));
    }
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
  {
    platform::ScopedRegion region("de_DE", "UTC", {"de"});
    EXPECT_EQ(Utilities::monthString(1614556800), "Mär");
  }
}

TEST(TextAttributes, FontColourAndAlignment) {
  const platform::TextAttributes regular =
      TextUtilities::textAttributes(platform::TextAlignment::left, SystemColors::labelColor(), false, 9);
  EXPECT_EQ(*regular.font, *platform::Font::systemFont(9));
  EXPECT_EQ(regular.alignment, platform::TextAlignment::left);
  EXPECT_EQ(regular.foregroundColor, SystemColors::labelColor()->rgba());

  platform::AppearanceScope dark(platform::Appearance(std::string(platform::Appearance::darkAqua)));
  const platform::TextAttributes bold =
      TextUtilities::textAttributes(platform::TextAlignment::center, SystemColors::labelColor(), true, 13);
  EXPECT_EQ(*bold.font, *platform::Font::boldSystemFont(13));
  EXPECT_NE(bold.foregroundColor, regular.foregroundColor);
  EXPECT_EQ(bold.foregroundColor, SystemColors::labelColor()->rgba());
  EXPECT_THROW(TextUtilities::textAttributes(platform::TextAlignment::left, nullptr, false, 9),
               std::invalid_argument);
}

}  // namespace
}  // namespace Tavrix
