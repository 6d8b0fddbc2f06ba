#include "Bexlan/Date.hpp"

#include <memory>
#include <optional>

#include "Platform/Foundation/Calendar.hpp"
#include "Platform/Foundation/Clock.hpp"
#include "Platform/Foundation/FatalError.hpp"

namespace Bexlan {

namespace {

using platform::Calendar;
using Style = platform::DateFormatter::Style;

constexpr double oneDay = 86400;
constexpr double oneWeek = 604800;

Calendar mondayFirst() {
  Calendar calendar = Calendar::current();
  calendar.setFirstWeekday(2);
  return calendar;
}

// A date formed from fields of an existing date always exists; its absence is a programming error.
Date formed(std::optional<double> timestamp) {
  if (!timestamp) platform::fatalError("Could not create date object.");
  return Date(*timestamp);
}

Date moved(double timestamp, Calendar::Unit unit, int n) {
  const std::optional<double> result = Calendar::current().adding(unit, n, timestamp);
  if (!result) platform::fatalError("Could not move date.");
  return Date(*result);
}

// Now with the given fields replaced, in the current calendar.
double nowWith(std::optional<int> year, std::optional<int> month, std::optional<int> day, int hour,
               int minute, int second) {
  const Calendar calendar = Calendar::current();
  Calendar::Components now = calendar.components(Date::nowTimestamp());
  if (year) now.year = year;
  if (month) now.month = month;
  if (day) now.day = day;
  now.hour = hour;
  now.minute = minute;
  now.second = second;
  return formed(calendar.date(now)).timestamp;
}

std::string formatted(double timestamp, std::string_view pattern) {
  return platform::DateFormatter(pattern).string(timestamp);
}

}  // namespace

Date::Date(int day, int month, int year, int hour, int minute, int second)
    : Date(formed(Calendar::current().date(
          {.year = year, .month = month, .day = day, .hour = hour, .minute = minute, .second = second}))) {}

Date::Date(std::string_view dateTimeString) : timestamp(nowTimestamp()) {
  // Fixed: a stored text must read the same whatever the user's calendar, locale or clock style.
  const platform::DateFormatter parser(
      "yyyy-MM-dd HH:mm:ss",
      {.localeId = "en_US_POSIX", .calendar = std::make_shared<const Calendar>(Calendar::gregorian())});
  if (const std::optional<double> parsed = parser.parse(dateTimeString)) timestamp = *parsed;
}

Date Date::startOfWeek() const {
  const Calendar calendar = mondayFirst();
  const Calendar::Components week = calendar.components(timestamp);
  return formed(calendar.date(
      {.weekday = 2, .weekOfYear = week.weekOfYear, .yearForWeekOfYear = week.yearForWeekOfYear}));
}

Date Date::endOfWeek() const {
  const Calendar calendar = mondayFirst();
  const Calendar::Components week = calendar.components(timestamp);
  return formed(calendar.date(
      {.weekday = 1, .weekOfYear = week.weekOfYear, .yearForWeekOfYear = week.yearForWeekOfYear}));
}

Date Date::startOfMonth() const {
  const Calendar calendar = Calendar::current();
  const Calendar::Components day = calendar.components(formed(calendar.startOfDay(timestamp)).timestamp);
  return formed(calendar.date({.era = day.era, .year = day.year, .month = day.month}));
}

Date Date::endOfMonth() const { return startOfMonth().addingMonths(1).addingDays(-1); }

Date Date::addingDays(int n) const { return moved(timestamp, Calendar::Unit::day, n); }

Date Date::addingWeeks(int n) const { return moved(timestamp, Calendar::Unit::weekOfYear, n); }

Date Date::addingMonths(int n) const { return moved(timestamp, Calendar::Unit::month, n); }

Date Date::addingYears(int n) const { return moved(timestamp, Calendar::Unit::year, n); }

int Date::year() const { return Calendar::current().components(timestamp).year.value_or(currentYear()); }

int Date::month() const { return Calendar::current().components(timestamp).month.value_or(1); }

int Date::day() const { return Calendar::current().components(timestamp).day.value_or(1); }

std::string Date::dayString() const { return formatted(timestamp, "yyyy-MM-dd"); }

std::string Date::monthNameString() const {
  return formatted(timestamp, platform::DateFormatter::patternFromTemplate("MMMM"));
}

std::string Date::timeString() const { return formattedString(Style::none, Style::mediumStyle); }

std::string Date::dateString() const { return formattedString(Style::shortStyle, Style::none); }

std::string Date::formattedString(Style dateStyle, Style timeStyle) const {
  return platform::DateFormatter(dateStyle, timeStyle).string(timestamp);
}

bool Date::isSameDay(double t) const {
  const Calendar calendar = Calendar::current();
  Calendar::Components day = calendar.components(timestamp);
  const Calendar::Components dayOnly{.era = day.era, .year = day.year, .month = day.month, .day = day.day};
  Calendar::Components last = dayOnly;
  last.hour = 23;
  last.minute = 59;
  last.second = 59;
  const std::optional<double> start = calendar.date(dayOnly);
  const std::optional<double> end = calendar.date(last);
  return start && end && *start <= t && t < *end;
}

bool Date::matchesDayAndMonth(int day, int month) const {
  const Calendar::Components fields = Calendar::current().components(timestamp);
  return fields.day == day && fields.month == month;
}

double Date::nowTimestamp() { return platform::Clock::wallNow(); }

Date Date::currentDate() { return Date(nowTimestamp()); }

int Date::currentYear() { return Calendar::gregorian().components(nowTimestamp()).year.value_or(0); }

Date Date::startOfPreviousMonth() { return currentDate().startOfMonth().addingMonths(-1); }

double Date::todayTimestamp(int hour, int minute) {
  return nowWith(std::nullopt, std::nullopt, std::nullopt, hour, minute, minute);
}

double Date::startOfTodayTimestamp() { return todayTimestamp(0, 0); }

double Date::endOfTodayTimestamp() { return todayTimestamp(23, 59); }

double Date::startOfYesterdayTimestamp() { return startOfTodayTimestamp() - oneDay; }

double Date::endOfYesterdayTimestamp() { return endOfTodayTimestamp() - oneDay; }

double Date::oneWeekFromNow() { return nowTimestamp() + oneWeek; }

double Date::fourWeeksFromNow() { return nowTimestamp() + 4 * oneWeek; }

double Date::oneWeekAgo() { return nowTimestamp() - oneWeek; }

Date Date::startOfCurrentYear() { return Date(nowWith(std::nullopt, 1, 1, 12, 0, 0)); }

double Date::yearTimestamp(int year, int day, int month, int hour, int minute) {
  return nowWith(year, month, day, hour, minute, minute);
}

double Date::startOfYearTimestamp(int year) { return yearTimestamp(year, 1, 1, 12, 0); }

double Date::endOfYearTimestamp(int year) { return yearTimestamp(year, 31, 12, 23, 59); }

int Date::weekdayIndex() {
  const std::optional<int> weekday = Calendar::current().components(nowTimestamp()).weekday;
  return weekday ? (*weekday + 5) % 7 : 0;
}

}  // namespace Bexlan
