#pragma once

#include <compare>
#include <string>
#include <string_view>

#include "Platform/Foundation/DateFormatter.hpp"

namespace Bexlan {

// A point in time with calendar operations. It is a type of its own, apart from plain timestamps
// (doubles, seconds since 1970-01-01 00:00 UTC), so that operations taking either never collide.
//
// Every operation reads the clock, the region's calendar (the date locale's default calendar), time zone
// and locale when called; weeks start on Monday. Texts come from a formatter made for the call.
struct Date {
  double timestamp = 0;

  constexpr explicit Date(double seconds) : timestamp(seconds) {}
  // The date of the components in the current calendar; values outside their range roll over (month 13 is
  // the first month of the next year). Stops with "Could not create date object." when the calendar forms
  // no date.
  Date(int day, int month, int year, int hour, int minute, int second);
  // A "yyyy-MM-dd HH:mm:ss" text (24-hour, Gregorian, read the same in every locale) in the region's time
  // zone; now when the text does not match exactly.
  explicit Date(std::string_view dateTimeString);

  // Monday 00:00 of the date's week.
  Date startOfWeek() const;
  // Sunday 00:00 at the end of the date's week.
  Date endOfWeek() const;
  // Day 1, 00:00 of the date's month.
  Date startOfMonth() const;
  // The last day of the date's month, 00:00.
  Date endOfMonth() const;

  // The date moved by n calendar units (31 January + 1 month is the last day of February). Stops with
  // "Could not move date." when the result is beyond the calendar's range.
  Date addingDays(int n) const;
  Date addingWeeks(int n) const;
  Date addingMonths(int n) const;
  Date addingYears(int n) const;

  // Fields in the current calendar (a Buddhist year in th_TH). A date the calendar cannot represent gives
  // the current year (Gregorian, 0 when absent), month 1 and day 1.
  int year() const;
  int month() const;
  int day() const;

  // "yyyy-MM-dd" in the current calendar.
  std::string dayString() const;
  // The full month name as the locale writes it alone.
  std::string monthNameString() const;
  // Medium time, no date.
  std::string timeString() const;
  // Short date, no time.
  std::string dateString() const;
  std::string formattedString(platform::DateFormatter::Style dateStyle,
                              platform::DateFormatter::Style timeStyle) const;

  // True when t lies from 00:00:00 of the date's day up to, not including, 23:59:59.
  bool isSameDay(double t) const;
  bool matchesDayAndMonth(int day, int month) const;

  // Timestamps and dates around now.
  static double nowTimestamp();
  static Date currentDate();
  // The Gregorian year of now; 0 when absent.
  static int currentYear();
  // Day 1, 00:00 of the month before this one.
  static Date startOfPreviousMonth();
  // Today at hour:minute:minute (callers pass 0, 0 or 23, 59: the second repeats the minute).
  static double todayTimestamp(int hour, int minute);
  static double startOfTodayTimestamp();
  static double endOfTodayTimestamp();
  static double startOfYesterdayTimestamp();
  static double endOfYesterdayTimestamp();
  static double oneWeekFromNow();
  static double fourWeeksFromNow();
  static double oneWeekAgo();
  // 1 January of this year, 12:00:00.
  static Date startOfCurrentYear();
  // That day of the year (current calendar) at hour:minute:minute.
  static double yearTimestamp(int year, int day, int month, int hour, int minute);
  // 1 January 12:00:00 and 31 December 23:59:59 of the year.
  static double startOfYearTimestamp(int year);
  static double endOfYearTimestamp(int year);
  // Today's weekday: Monday 0 .. Sunday 6.
  static int weekdayIndex();

  auto operator<=>(const Date&) const = default;
};

}  // namespace Bexlan
