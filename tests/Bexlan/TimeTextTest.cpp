#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Bexlan/DateUtilities.hpp"
#include "Bexlan/LocalizedFormat.hpp"
#include "Bexlan/TimeUtilities.hpp"
#include "Platform/Foundation/Clock.hpp"
#include "Platform/Foundation/Region.hpp"

namespace Bexlan {
namespace {

using platform::DurationUnit;

TEST(RelativeTime, PicksTheWordByElapsedTime) {
  const platform::ScopedRegion region("en_US", "UTC", {"en"});
  const platform::Clock::Override clock(1e9, 0);
  const struct {
    double elapsed;
    const char* text;
  } cases[] = {
      {59.9, "59 seconds ago"}, {60, "a minute ago"},  {119.9, "a minute ago"}, {120, "2 minutes ago"},
      {3599, "59 minutes ago"}, {3600, "an hour ago"}, {7200, "2 hours ago"},   {86399, "23 hours ago"},
      {86400, "yesterday"},     {172799, "yesterday"}, {172800, "2 days ago"},  {-30, "-30 seconds ago"},
  };
  for (const auto& expected : cases) {
    EXPECT_EQ(DateUtilities::relativeTimeString(Date(1e9 - expected.elapsed)), expected.text)
        << expected.elapsed;
  }
  for (double when : std::initializer_list<double>{NAN, -INFINITY, INFINITY, -1e300}) {
    EXPECT_EQ(DateUtilities::relativeTimeString(Date(when)), "-") << when;
  }
}

TEST(LocalizedFormat, FillsOnlyIntegerConversions) {
  const struct {
    const char* format;
    const char* text;
  } cases[] = {
      {"%s %n", "%s %n"}, {"%d%%", "7%"},      {"vor %1$d Tagen", "vor 7 Tagen"},
      {"%2$d", "%2$d"},   {"%ld|%lli", "7|7"}, {"%03d", "007"},
      {"%-3d|", "7  |"},  {"%.*s%", "%.*s%"},  {"%9999d", "%9999d"},
      {"%hd", "%hd"},
  };
  for (const auto& expected : cases) {
    EXPECT_EQ(formatLocalized(expected.format, 7), expected.text) << expected.format;
  }
}

TEST(DurationTexts, WriteFixedFields) {
  const struct {
    std::int64_t seconds;
    const char* duration;
    const char* hoursMinutes;
    const char* compact;
  } cases[] = {
      {0, "00:00:00:00", "0h 0m", "0 s"},
      {5, "00:00:00:05", "0h 0m", "05s"},
      {60, "00:00:01:00", "1m", "01m 00s"},
      {3599, "00:00:59:59", "59m", "59m 59s"},
      {3600, "00:01:00:00", "1h 0m", "01h 00m 00s"},
      {86399, "00:23:59:59", "23h 59m", "23h 59m 59s"},
      {86400, "01:00:00:00", "24h 0m", "0 s"},
      {90061, "01:01:01:01", "25h 1m", "01h 01m 01s"},
      {-5, "00:00:00:-5", "0h 0m", "-5s"},
  };
  for (const auto& expected : cases) {
    EXPECT_EQ(DateUtilities::durationString(expected.seconds), expected.duration) << expected.seconds;
    EXPECT_EQ(DateUtilities::hoursMinutesString(expected.seconds), expected.hoursMinutes) << expected.seconds;
    EXPECT_EQ(DateUtilities::compactDurationString(expected.seconds, true), expected.compact)
        << expected.seconds;
  }
  EXPECT_EQ(DateUtilities::compactDurationString(5, false), "00h 00m 05s");
  EXPECT_EQ(DateUtilities::hoursMinutesString(std::nullopt), "0h 0m");
  EXPECT_EQ(DateUtilities::durationString(std::numeric_limits<std::int64_t>::min()).substr(0, 1), "-");
}

TEST(DurationTexts, IntervalFormsTruncateAndRefuseWhatDoesNotFit) {
  EXPECT_EQ(DateUtilities::durationStringForInterval(59.9), "00:00:00:59");
  EXPECT_EQ(DateUtilities::compactDurationStringForInterval(65.7), "01m 05s");
  EXPECT_EQ(DateUtilities::hoursMinutesStringForInterval(std::nullopt), "0m");
  EXPECT_EQ(DateUtilities::hoursMinutesStringForInterval(5400.9), "1h 30m");
  for (double bad : std::initializer_list<double>{NAN, INFINITY, -INFINITY, 0x1p63, -0x1p64}) {
    EXPECT_EQ(DateUtilities::durationStringForInterval(bad), "-") << bad;
    EXPECT_EQ(DateUtilities::hoursMinutesStringForInterval(bad), "-") << bad;
    EXPECT_EQ(DateUtilities::compactDurationStringForInterval(bad), "-") << bad;
  }
}

TEST(Stopwatch, WritesMinutesSecondsAndMilliseconds) {
  const struct {
    std::uint64_t nanoseconds;
    const char* text;
  } cases[] = {
      {0, "00:00.000"},           {999999999, "00:00.999"},        {1500000000, "00:01.500"},
      {61001000000, "01:01.001"}, {3600000000000, "01:00:00.000"}, {3723004000000, "01:02:03.004"},
  };
  for (const auto& expected : cases) {
    EXPECT_EQ(TimeUtilities::stopwatchString(expected.nanoseconds), expected.text) << expected.nanoseconds;
  }
}

TEST(Measurement, ConvertsAndFollowsTheLocale) {
  const struct {
    const char* locale;
    const char* text;
  } cases[] = {{"en_US", "1.5 min"}, {"de_DE", "1,5 Min."}};
  for (const auto& expected : cases) {
    const platform::ScopedRegion region(expected.locale, "UTC", {"en"});
    EXPECT_EQ(TimeUtilities::measurementString(90, DurationUnit::seconds, DurationUnit::minutes),
              expected.text);
    EXPECT_EQ(TimeUtilities::measurementStringOfSigned(90, DurationUnit::seconds, DurationUnit::minutes),
              expected.text);
  }
  EXPECT_EQ(platform::MeasurementFormatter::convert(1, DurationUnit::hours, DurationUnit::picoseconds),
            3.6e15);
  EXPECT_EQ(
      platform::MeasurementFormatter::convert(1500, DurationUnit::microseconds, DurationUnit::milliseconds),
      1.5);
}

TEST(MeasurementDeathTest, NegativeSignedValueStops) {
  EXPECT_DEATH(TimeUtilities::measurementStringOfSigned(-1, DurationUnit::seconds, DurationUnit::minutes),
               "Fatal error: measurementString: the value must not be negative");
}

}  // namespace
}  // namespace Bexlan
