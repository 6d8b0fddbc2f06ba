#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Bexlan/Date.hpp"
#include "Bexlan/Day.hpp"
#include "Bexlan/Month.hpp"

namespace Bexlan {

// Calendar arithmetic and date texts for charts and lists. Every member reads the clock and the region's
// calendar, time zone and locale when called (see Date); weeks start on Monday. Boundaries are timestamps
// (seconds since 1970-01-01 00:00 UTC). Day and week ranges step by exactly 86400 s, without correcting
// for daylight-saving changes. Words come from the Bexlan string table.
//
// The operations that count back n weeks, months or years move forward for a negative n; n = INT_MIN is
// outside their range and stops the program.
class DateUtilities {
 public:
  // (start, end) with end = start + 86399, or a month's first and last second.
  using Range = std::pair<double, double>;

  static double startOfToday();
  static double startOfYesterday();
  static double endOfYesterday();
  static double startOfThisWeek();
  static double endOfThisWeek();
  static double startOfLastWeek();
  static double endOfLastWeek();
  static double startOfThisMonth();
  static double startOfLastMonth();
  static double endOfLastMonth();
  static double endOfThisMonth();
  // 1 January 00:00 of this year of the current calendar, and the boundaries derived from it.
  static double startOfThisYear();
  static double endOfThisYear();
  static double startOfLastYear();
  static double endOfLastYear();
  // Year, month and day of month of now in the Gregorian calendar.
  static int currentYear();
  static int currentMonth();
  static int currentDay();

  // How long ago the date was: "AGO_SECONDS", "ONE_MINUTE_AGO", "AGO_MINUTES", "ONE_HOUR_AGO", "HOURS_AGO",
  // "YESTERDAY", "DAYS_AGO" by the elapsed time; "-" when it is not finite or its count exceeds 64 bits.
  static std::string relativeTimeString(Date date);
  // "<TODAY_AT> <short time>", "<YESTERDAY_AT> <short time>", or the short date and time, decided and
  // written in the region's time zone; "-" for a timestamp that is not finite.
  static std::string dayTimeString(double timestamp);
  // "<start> - <end>" short dates of the week n weeks back.
  static std::string weekRangeText(int weeksAgo);
  static std::string weekdayName(Date date);
  // Monday to Sunday of this week: full names, and their first characters.
  static std::vector<std::string> weekdayNames();
  static std::vector<std::string> weekdayInitials();
  static std::string monthText(Date date);
  static std::string dateText(Date date, std::string_view format);
  // "LLL" ("LLLL" for monthName) of day 1, 12:00 of that month of this Gregorian year; none when no such
  // date exists.
  static std::optional<std::string> monthShortName(int month);
  static std::optional<std::string> monthShortName(Month month);
  static std::optional<std::string> monthName(int month);
  static std::vector<std::string> monthShortNames();
  static std::vector<std::string> monthShortNamesOfYear();
  static std::string monthYearText(int monthsAgo);
  static std::string yearText(int yearsAgo);
  // Gregorian fields of a timestamp.
  static int dayOfMonth(double timestamp);
  static std::optional<Day> weekdayOf(double timestamp);
  static std::optional<Month> monthOf(double timestamp);
  // In the current calendar; 0 when no date can be formed.
  static int numberOfDaysInYear(int year);
  static int numberOfDaysInMonth(int month, int year);
  // The same with year first; named after its year label, as the two (int, int) forms would collide.
  static int numberOfDaysInYearMonth(int year, int month);
  static int numberOfDaysInMonthOf(Date date);
  static std::optional<Date> firstDayOfMonth(int year, int month);
  // Weekday of the month's first day: Monday 0 .. Sunday 6; 0 when no date can be formed.
  static int firstWeekdayIndex(int year, int month);
  // Monday-first week rows the month spans.
  static int numberOfWeekRows(int year, int month);
  static std::vector<Range> dayRangesOfMonth(int monthsAgo);
  static std::vector<Range> dayRangesOfWeek(int weeksAgo);
  // "dd" of each calendar day of the month n months back.
  static std::vector<std::string> dayLabelsOfMonth(int monthsAgo);
  static std::vector<Range> monthRangesOfYear(int yearsAgo);
  // The end of today moved back 11, 10, ..., 0 months, oldest first.
  static std::vector<double> monthEndsOfLastYear();
  // The timestamp moved back n months; now when it cannot be moved.
  static double timestampMonthsAgo(int monthsAgo, double timestamp);
  // Gregorian whole days from a to b, plus 1; 0 when not computable.
  static std::int64_t numberOfDaysBetween(double a, double b);
  // Whole days from the start of the timestamp's day to the start of today.
  static std::optional<std::int64_t> daysAgo(double timestamp);
  // True when b lies on the Gregorian calendar day after a.
  static bool isNextDay(double a, double b);

  // Fixed-width duration texts; the integer forms take whole seconds.
  // "dd:hh:mm:ss".
  static std::string durationString(std::int64_t seconds);
  // "%dh %dm" or "%dm"; an absent count is 0.
  static std::string hoursMinutesString(std::optional<std::int64_t> seconds);
  // "%02dh %02dm %02ds" without whole days; the compact form drops leading zero fields.
  static std::string compactDurationString(std::int64_t seconds, bool compact);
  // The forms that take a time interval in seconds, truncated toward zero; "-" when the interval is not
  // finite or beyond 64 bits. Named after their interval label, as an integer argument would fit both.
  static std::string durationStringForInterval(double interval);
  // An absent interval gives "0m".
  static std::string hoursMinutesStringForInterval(std::optional<double> interval);
  // Always compact.
  static std::string compactDurationStringForInterval(double interval);
};

}  // namespace Bexlan
