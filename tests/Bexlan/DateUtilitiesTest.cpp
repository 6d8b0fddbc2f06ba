#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Bexlan/Date.hpp"
#include "Bexlan/DateUtilities.hpp"
#include "Bexlan/LocalizedFormat.hpp"
#include "Bexlan/TimeUtilities.hpp"
#include "Platform/Foundation/Clock.hpp"
#include "Platform/Foundation/Region.hpp"
#include "tests/platform/System/SystemFixtures.hpp"

namespace Bexlan {
namespace {

struct Pinned {
  Pinned(const char* locale, const char* zone, double now) : region(locale, zone, {"en"}), clock(now, 0) {}
  platform::ScopedRegion region;
  platform::Clock::Override clock;
};

// GNU date as an independent reference: the output of a shell snippet run with TZ set.
std::string gnu(const std::string& zone, const std::string& script) {
  return systemtest::commandOutput("TZ=" + zone + " sh -c '" + script + "'");
}

double at(const std::string& zone, const std::string& local) {
  return std::stod(gnu(zone, "date -d \"" + local + "\" +%s"));
}

// Zone, local time: around the daylight-saving changes in Berlin and New York, and at month and year ends.
const std::pair<const char*, const char*> instants[] = {
    {"Europe/Berlin", "2023-03-26 01:30"},    {"Europe/Berlin", "2023-03-26 03:30"},
    {"Europe/Berlin", "2023-10-29 02:30"},    {"Europe/Berlin", "2023-10-29 23:59:59"},
    {"America/New_York", "2023-03-12 01:59"}, {"America/New_York", "2023-03-12 12:00"},
    {"America/New_York", "2023-11-05 01:30"}, {"America/New_York", "2023-11-05 23:00"},
    {"UTC", "2023-12-31 23:59:59"},           {"UTC", "2024-02-29 00:00"},
    {"Europe/Berlin", "2024-01-01 00:00"},    {"America/New_York", "2024-01-31 23:30"},
};

TEST(DateBoundaries, MatchGnuDateAroundDaylightSavingAndPeriodEnds) {
  // Start of day, Monday of the week, start and end of month, start and end of year.
  const std::string script =
      "d=$(date -d @$T +%F); u=$(date -d @$T +%u); m=$(date -d @$T +%Y-%m-01); y=$(date -d @$T +%Y); "
      "date -d \"$d 00:00\" +%s; date -d \"$(date -d \"$d -$((u-1)) days\" +%F) 00:00\" +%s; "
      "date -d \"$m 00:00\" +%s; echo $(( $(date -d \"$(date -d \"$m +1 month\" +%F) 00:00\" +%s) - 1 )); "
      "date -d \"$y-01-01 00:00\" +%s; echo $(( $(date -d \"$((y+1))-01-01 00:00\" +%s) - 1 ))";
  for (const auto& [zone, local] : instants) {
    const double now = at(zone, local);
    std::vector<double> expected;
    const std::string out = gnu(zone, "T=" + std::to_string(static_cast<long long>(now)) + "; " + script);
    for (std::size_t start = 0; start < out.size(); start = out.find('\n', start) + 1)
      expected.push_back(std::stod(out.substr(start)));
    ASSERT_EQ(expected.size(), 6u) << out;
    const Pinned pinned("en_US", zone, now);
    SCOPED_TRACE(std::string(zone) + " " + local);
    EXPECT_EQ((std::vector<double>{DateUtilities::startOfToday(), DateUtilities::startOfThisWeek(),
                                   DateUtilities::startOfThisMonth(), DateUtilities::endOfThisMonth(),
                                   DateUtilities::startOfThisYear(), DateUtilities::endOfThisYear()}),
              expected);
    EXPECT_EQ(Date::startOfTodayTimestamp(), expected[0]);
    EXPECT_EQ(Date(now).startOfMonth().timestamp, expected[2]);
  }
}

TEST(DateBoundaries, WeeksRunMondayToSundayAndDayRangesStepByWholeDays) {
  const double sunday = at("UTC", "2024-03-10 15:00");
  const Pinned pinned("en_US", "UTC", sunday);  // en_US weeks would otherwise start on Sunday
  EXPECT_EQ(Date(sunday).startOfWeek().timestamp, at("UTC", "2024-03-04"));
  EXPECT_EQ(Date(at("UTC", "2024-03-04 09:00")).endOfWeek().timestamp, sunday - 15 * 3600);
  EXPECT_EQ(Date::weekdayIndex(), 6);
  EXPECT_EQ(DateUtilities::endOfLastWeek(), DateUtilities::startOfThisWeek() - 1);
  EXPECT_EQ(DateUtilities::startOfLastWeek(), DateUtilities::startOfThisWeek() - 604800);
  const auto week = DateUtilities::dayRangesOfWeek(1);
  ASSERT_EQ(week.size(), 7u);
  EXPECT_EQ(week.front().first, at("UTC", "2024-02-26"));
  EXPECT_EQ(week.back().second, at("UTC", "2024-03-03 23:59:59"));
  EXPECT_EQ(Date(at("UTC", "2024-02-10")).endOfMonth().timestamp, at("UTC", "2024-02-29"));
  EXPECT_EQ(DateUtilities::weekdayInitials(), (std::vector<std::string>{"M", "T", "W", "T", "F", "S", "S"}));
  const auto months = DateUtilities::monthRangesOfYear(1);
  EXPECT_EQ(months[1], DateUtilities::Range(at("UTC", "2023-02-01"), at("UTC", "2023-02-28 23:59:59")));
}

TEST(DateBoundaries, ThaiBuddhistCalendarKeepsItsOwnYear) {
  const Pinned pinned("th_TH", "Asia/Bangkok", at("Asia/Bangkok", "2024-06-15 12:00"));
  EXPECT_EQ(DateUtilities::startOfThisYear(), at("Asia/Bangkok", "2024-01-01"));
  EXPECT_EQ(DateUtilities::endOfLastYear(), at("Asia/Bangkok", "2023-12-31 23:59:59"));
  EXPECT_EQ(std::tuple(DateUtilities::yearText(0), DateUtilities::currentYear()), std::tuple("2567", 2024));
  EXPECT_EQ(Date(at("Asia/Bangkok", "2024-06-15 12:00")).year(), 2567);
}

TEST(DateBoundaries, DayLabelsFollowCalendarDaysAcrossTheLongDay) {
  const Pinned pinned("de_DE", "Europe/Berlin", at("Europe/Berlin", "2023-11-20 12:00"));
  const auto labels = DateUtilities::dayLabelsOfMonth(1);
  ASSERT_EQ(labels.size(), 31u);
  EXPECT_EQ(std::vector<std::string>(labels.end() - 3, labels.end()),
            (std::vector<std::string>{"29", "30", "31"}));
  EXPECT_EQ(DateUtilities::dayRangesOfMonth(1).size(), 31u);
}

TEST(DateTexts, TodayAndYesterdayAreDecidedInTheUsersZoneAndFormatsFollowTheRegion) {
  const std::string zone = "America/New_York";
  const Pinned pinned("en_US", zone.c_str(), at(zone, "2023-11-15 10:00"));
  EXPECT_EQ(DateUtilities::dayTimeString(at(zone, "2023-11-15 02:00")), "Today at 2:00\u202FAM");
  EXPECT_EQ(DateUtilities::dayTimeString(at(zone, "2023-11-14 23:30")), "Yesterday at 11:30\u202FPM");
  EXPECT_EQ(DateUtilities::dayTimeString(at(zone, "2023-11-13 23:30")), "11/13/23, 11:30\u202FPM");
  EXPECT_EQ(DateUtilities::dayTimeString(NAN), "-");
  // The region's locale, not the process's, picks the formats.
  const double noon = at("UTC", "2024-01-02 12:00");
  const Pinned german("de_DE", "UTC", noon);
  EXPECT_EQ(Date(noon).dateString(), "02.01.24");
  EXPECT_EQ(DateUtilities::weekdayName(Date(noon)), "Dienstag");
}

TEST(DateParsing, ReadsTwentyFourHourTextsInEveryLocale) {
  for (const char* locale : {"en_US", "th_TH"}) {
    const Pinned pinned(locale, "UTC", 1e9);
    EXPECT_EQ(Date("2024-01-02 15:04:05").timestamp, 1704207845) << locale;
    EXPECT_EQ(Date("2024-01-02 03:04:05").timestamp, 1704164645) << locale;
    EXPECT_EQ(Date("2024-01-02").timestamp, 1e9) << locale;
    EXPECT_EQ(Date("2024-01-02 15:04:05 ").timestamp, 1e9) << locale;
  }
  const Pinned berlin("en_US", "Europe/Berlin", 1e9);
  EXPECT_EQ(Date("2024-07-01 12:00:00").timestamp, at("Europe/Berlin", "2024-07-01 12:00"));
}

TEST(DateComponents, RollOverAndCountDays) {
  const Pinned pinned("en_US", "Europe/Berlin", at("Europe/Berlin", "2024-03-10 08:00"));
  EXPECT_EQ(Date(1, 13, 2023, 0, 0, 0).timestamp, at("Europe/Berlin", "2024-01-01"));
  EXPECT_EQ(Date::endOfYearTimestamp(2023), at("Europe/Berlin", "2023-12-31 23:59:59"));
  EXPECT_EQ(Date::startOfYearTimestamp(2023), at("Europe/Berlin", "2023-01-01 12:00"));
  const Date day(at("Europe/Berlin", "2024-03-10 00:00"));
  EXPECT_EQ(DateUtilities::numberOfDaysBetween(day.timestamp, day.timestamp), 1);
  EXPECT_EQ(DateUtilities::daysAgo(at("Europe/Berlin", "2024-03-07 23:00")), 3);
  EXPECT_TRUE(DateUtilities::isNextDay(at("Europe/Berlin", "2024-03-09 23:59"), day.timestamp + 60));
  EXPECT_FALSE(DateUtilities::isNextDay(day.timestamp, day.timestamp + 3600));
  const struct { int year, month, rows; } months[] = {{2021, 2, 4}, {2023, 10, 6}, {2023, 9, 5}};
  for (const auto& month : months)
    EXPECT_EQ(DateUtilities::numberOfWeekRows(month.year, month.month), month.rows) << month.month;
}

TEST(DateMonths, OffsetsAndEndsWithoutWrapping) {
  const Pinned pinned("en_US", "UTC", at("UTC", "2024-03-10 08:00"));
  EXPECT_EQ(DateUtilities::monthShortName(INT_MAX), std::nullopt);
  EXPECT_EQ(DateUtilities::monthYearText(1), "February 2024");
  EXPECT_EQ(DateUtilities::monthYearText(-10), "January 2025");
  const auto ends = DateUtilities::monthEndsOfLastYear();
  EXPECT_EQ(ends.front(), at("UTC", "2023-04-10 23:59:59"));
  EXPECT_EQ(ends.back(), at("UTC", "2024-03-10 23:59:59"));
  EXPECT_EQ(DateUtilities::firstWeekdayIndex(2024, 1), 0);
}

using platform::DurationUnit;
using platform::MeasurementFormatter;

TEST(RelativeTime, PicksTheWordByElapsedTime) {
  const Pinned pinned("en_US", "UTC", 1e9);
  const std::pair<double, const char*> cases[] = {
      {59.9, "59 seconds ago"}, {60, "a minute ago"},  {119.9, "a minute ago"}, {120, "2 minutes ago"},
      {3599, "59 minutes ago"}, {3600, "an hour ago"}, {7200, "2 hours ago"},   {86399, "23 hours ago"},
      {86400, "yesterday"},     {172799, "yesterday"}, {172800, "2 days ago"},  {-30, "-30 seconds ago"},
  };
  for (const auto& [elapsed, text] : cases)
    EXPECT_EQ(DateUtilities::relativeTimeString(Date(1e9 - elapsed)), text) << elapsed;
  for (double when : std::initializer_list<double>{NAN, -INFINITY, INFINITY, -1e300})
    EXPECT_EQ(DateUtilities::relativeTimeString(Date(when)), "-") << when;
}

TEST(LocalizedFormat, FillsOnlyIntegerConversions) {
  const std::pair<const char*, const char*> cases[] = {
      {"%s %n", "%s %n"}, {"%d%%", "7%"},      {"vor %1$d Tagen", "vor 7 Tagen"},
      {"%2$d", "%2$d"},   {"%ld|%lli", "7|7"}, {"%03d", "007"},
      {"%-3d|", "7  |"},  {"%.*s%", "%.*s%"},  {"%9999d", "%9999d"},
      {"%hd", "%hd"},
  };
  for (const auto& [format, text] : cases) EXPECT_EQ(formatLocalized(format, 7), text) << format;
}

TEST(DurationTexts, WriteFixedFieldsAndIntervalFormsTruncateAndRefuseWhatDoesNotFit) {
  // seconds, durationString, hoursMinutesString, compactDurationString
  const std::tuple<std::int64_t, const char*, const char*, const char*> cases[] = {
      {0, "00:00:00:00", "0h 0m", "0 s"},      {5, "00:00:00:05", "0h 0m", "05s"},
      {60, "00:00:01:00", "1m", "01m 00s"},    {3600, "00:01:00:00", "1h 0m", "01h 00m 00s"},
      {86400, "01:00:00:00", "24h 0m", "0 s"}, {90061, "01:01:01:01", "25h 1m", "01h 01m 01s"},
      {-5, "00:00:00:-5", "0h 0m", "-5s"},
  };
  for (const auto& [seconds, duration, hoursMinutes, compact] : cases) {
    EXPECT_EQ(DateUtilities::durationString(seconds), duration) << seconds;
    EXPECT_EQ(DateUtilities::hoursMinutesString(seconds), hoursMinutes) << seconds;
    EXPECT_EQ(DateUtilities::compactDurationString(seconds, true), compact) << seconds;
  }
  EXPECT_EQ(DateUtilities::compactDurationString(5, false), "00h 00m 05s");
  EXPECT_EQ(DateUtilities::hoursMinutesString(std::nullopt), "0h 0m");
  EXPECT_EQ(DateUtilities::durationString(std::numeric_limits<std::int64_t>::min()).substr(0, 1), "-");
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

TEST(TimeTexts, StopwatchWritesMillisecondsAndMeasurementsConvertAndFollowTheLocale) {
  const std::pair<std::uint64_t, const char*> cases[] = {
      {0, "00:00.000"},           {999999999, "00:00.999"},        {1500000000, "00:01.500"},
      {61001000000, "01:01.001"}, {3600000000000, "01:00:00.000"}, {3723004000000, "01:02:03.004"},
  };
  for (const auto& [nanoseconds, text] : cases)
    EXPECT_EQ(TimeUtilities::stopwatchString(nanoseconds), text) << nanoseconds;
  const std::pair<const char*, const char*> measurements[] = {{"en_US", "1.5 min"}, {"de_DE", "1,5 Min."}};
  for (const auto& [locale, text] : measurements) {
    const platform::ScopedRegion region(locale, "UTC", {"en"});
    EXPECT_EQ(TimeUtilities::measurementString(90, DurationUnit::seconds, DurationUnit::minutes), text);
    EXPECT_EQ(TimeUtilities::measurementStringOfSigned(90, DurationUnit::seconds, DurationUnit::minutes),
              text);
  }
  EXPECT_EQ(MeasurementFormatter::convert(1, DurationUnit::hours, DurationUnit::picoseconds), 3.6e15);
  EXPECT_EQ(MeasurementFormatter::convert(1500, DurationUnit::microseconds, DurationUnit::milliseconds), 1.5);
}

TEST(DateDeathTest, ImpossibleDatesCountsAndNegativeMeasurementsStop) {
  const Pinned pinned("en_US", "UTC", 1e9);
  EXPECT_DEATH(Date(1, 1, INT_MAX, 0, 0, 0), "Fatal error: Could not create date object\\.");
  EXPECT_DEATH(DateUtilities::yearText(INT_MIN), "Fatal error: DateUtilities: the count");
  EXPECT_DEATH(TimeUtilities::measurementStringOfSigned(-1, DurationUnit::seconds, DurationUnit::minutes),
               "Fatal error: measurementString: the value must not be negative");
}

}  // namespace
}  // namespace Bexlan
