#include "Bexlan/DateUtilities.hpp"

#include <unicode/brkiter.h>
#include <unicode/unistr.h>

#include <climits>
#include <cmath>
#include <memory>

#include "Bexlan/LocalizedFormat.hpp"
#include "Platform/Foundation/Bundle.hpp"
#include "Platform/Foundation/Calendar.hpp"
#include "Platform/Foundation/DateFormatter.hpp"
#include "Platform/Foundation/FatalError.hpp"
#include "Platform/Foundation/TextFormat.hpp"

namespace Bexlan {

namespace {

using platform::Calendar;
using platform::DateFormatter;
using Style = DateFormatter::Style;

constexpr double oneDay = 86400;
constexpr double oneWeek = 604800;

double now() { return Date::nowTimestamp(); }

std::string localized(std::string_view key) {
  return platform::Bundle::module("Bexlan")->localizedString(key);
}

std::string formatted(double timestamp, std::string_view pattern) {
  return DateFormatter(pattern).string(timestamp);
}

// n counted back: moves forward for a negative n.
int back(int n) {
  if (n == INT_MIN)
    platform::fatalError("DateUtilities: the count of weeks, months or years back is out of range");
  return -n;
}

// A date formed from fields of now always exists; its absence is a programming error.
double formed(std::optional<double> timestamp) {
  if (!timestamp) platform::fatalError("Could not create date object.");
  return *timestamp;
}

int mondayIndex(int weekday) { return (weekday + 5) % 7; }

// The first user-perceived character of a text (a base letter with its combining marks).
std::string firstCharacter(const std::string& text) {
  const icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(text);
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::BreakIterator> characters(
      icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
  if (U_FAILURE(status) || unicode.isEmpty()) return text;
  characters->setText(unicode);
  characters->first();
  std::string first;
  unicode.tempSubString(0, characters->next()).toUTF8String(first);
  return first;
}

std::optional<double> firstOfMonth(int year, int month) {
  return Calendar::current().date(
      {.year = year, .month = month, .day = 1, .hour = 0, .minute = 0, .second = 0});
}

// An interval truncated toward zero to whole seconds, when it is finite and fits 64 bits.
std::optional<std::int64_t> wholeSeconds(double interval) {
  if (!(interval >= -0x1p63 && interval < 0x1p63)) return std::nullopt;
  return static_cast<std::int64_t>(interval);
}

std::string twoDigits(std::int64_t value) {
  return platform::formatC("%02lld", static_cast<long long>(value));
}

}  // namespace

double DateUtilities::startOfToday() { return formed(Calendar::current().startOfDay(now())); }

double DateUtilities::startOfYesterday() { return startOfToday() - oneDay; }

double DateUtilities::endOfYesterday() { return startOfToday() - 1; }

double DateUtilities::startOfThisWeek() { return Date(now()).startOfWeek().timestamp; }

double DateUtilities::endOfThisWeek() { return startOfThisWeek() + oneWeek - 1; }

double DateUtilities::startOfLastWeek() { return startOfThisWeek() - oneWeek; }

double DateUtilities::endOfLastWeek() { return startOfThisWeek() - 1; }

double DateUtilities::startOfThisMonth() {
  const Calendar calendar = Calendar::current();
  const Calendar::Components today = calendar.components(now());
  return formed(calendar.date({.era = today.era, .year = today.year, .month = today.month}));
}

double DateUtilities::startOfLastMonth() { return Date(startOfThisMonth()).addingMonths(-1).timestamp; }

double DateUtilities::endOfLastMonth() {
  return Date(startOfLastMonth()).startOfMonth().addingMonths(1).timestamp - 1;
}

double DateUtilities::endOfThisMonth() { return Date(startOfThisMonth()).addingMonths(1).timestamp - 1; }

double DateUtilities::startOfThisYear() {
  // The year of the calendar that forms the date: a Gregorian year in a Buddhist calendar is centuries off.
  const Calendar calendar = Calendar::current();
  const Calendar::Components today = calendar.components(now());
  return formed(calendar.date({.era = today.era, .year = today.year, .month = 1, .day = 1}));
}

double DateUtilities::endOfThisYear() { return Date(startOfThisYear()).addingYears(1).timestamp - 1; }

double DateUtilities::startOfLastYear() { return Date(startOfThisYear()).addingYears(-1).timestamp; }

double DateUtilities::endOfLastYear() { return Date(endOfThisYear()).addingYears(-1).timestamp; }

int DateUtilities::currentYear() { return Date::currentYear(); }

int DateUtilities::currentMonth() { return Calendar::gregorian().components(now()).month.value_or(1); }

int DateUtilities::currentDay() { return Calendar::gregorian().components(now()).day.value_or(1); }

std::string DateUtilities::relativeTimeString(Date date) {
  const double elapsed = now() - date.timestamp;
  const std::optional<std::int64_t> seconds = wholeSeconds(elapsed);
  if (!seconds) return "-";
  if (elapsed < 60) return formatLocalized(localized("AGO_SECONDS"), *seconds);
  if (elapsed < 120) return localized("ONE_MINUTE_AGO");
  if (elapsed < 3600) return formatLocalized(localized("AGO_MINUTES"), *seconds / 60);
  if (elapsed < 7200) return localized("ONE_HOUR_AGO");
  if (elapsed < oneDay) return formatLocalized(localized("HOURS_AGO"), *seconds / 3600);
  if (elapsed < 2 * oneDay) return localized("YESTERDAY");
  return formatLocalized(localized("DAYS_AGO"), *seconds / 86400);
}

std::string DateUtilities::dayTimeString(double timestamp) {
  if (!std::isfinite(timestamp)) return "-";
  // Decided and written on the instant itself in the user's zone: shifting it by the zone's offset first
  // would count the offset twice.
  const Calendar calendar = Calendar::current();
  const DateFormatter time(Style::none, Style::shortStyle);
  if (calendar.isDateInToday(timestamp)) return localized("TODAY_AT") + " " + time.string(timestamp);
  if (calendar.isDateInYesterday(timestamp)) return localized("YESTERDAY_AT") + " " + time.string(timestamp);
  return DateFormatter(Style::shortStyle, Style::shortStyle).string(timestamp);
}

std::string DateUtilities::weekRangeText(int weeksAgo) {
  const Date start = Date(startOfThisWeek()).addingWeeks(back(weeksAgo));
  const DateFormatter format(Style::shortStyle, Style::none);
  return format.string(start.timestamp) + " - " + format.string(start.timestamp + oneWeek - 1);
}

std::string DateUtilities::weekdayName(Date date) { return formatted(date.timestamp, "EEEE"); }

std::vector<std::string> DateUtilities::weekdayNames() {
  const double monday = startOfThisWeek();
  const DateFormatter format("EEEE");
  std::vector<std::string> names;
  for (int day = 0; day < 7; ++day) names.push_back(format.string(monday + day * oneDay));
  return names;
}

std::vector<std::string> DateUtilities::weekdayInitials() {
  std::vector<std::string> initials;
  for (const std::string& name : weekdayNames()) initials.push_back(firstCharacter(name));
  return initials;
}

std::string DateUtilities::monthText(Date date) { return formatted(date.timestamp, "LLL"); }

std::string DateUtilities::dateText(Date date, std::string_view format) {
  return formatted(date.timestamp, format);
}

std::optional<std::string> DateUtilities::monthShortName(int month) {
  const std::optional<double> noon = Calendar::gregorian().date(
      {.year = currentYear(), .month = month, .day = 1, .hour = 12, .minute = 0, .second = 0});
  if (!noon) return std::nullopt;
  return formatted(*noon, "LLL");
}

std::optional<std::string> DateUtilities::monthShortName(Month month) {
  return monthShortName(static_cast<int>(month));
}

std::optional<std::string> DateUtilities::monthName(int month) {
  const std::optional<double> noon = Calendar::gregorian().date(
      {.year = currentYear(), .month = month, .day = 1, .hour = 12, .minute = 0, .second = 0});
  if (!noon) return std::nullopt;
  return formatted(*noon, "LLLL");
}

std::vector<std::string> DateUtilities::monthShortNames() {
  std::vector<std::string> names;
  for (Month month : allMonths) {
    if (std::optional<std::string> name = monthShortName(month)) names.push_back(std::move(*name));
  }
  return names;
}

std::vector<std::string> DateUtilities::monthShortNamesOfYear() {
  const Date start(startOfThisYear());
  const DateFormatter format("MMM");
  std::vector<std::string> names;
  for (int month = 0; month < 12; ++month)
    names.push_back(format.string(start.addingMonths(month).timestamp));
  return names;
}

std::string DateUtilities::monthYearText(int monthsAgo) {
  return formatted(Date(startOfThisMonth()).addingMonths(back(monthsAgo)).timestamp, "MMMM yyyy");
}

std::string DateUtilities::yearText(int yearsAgo) {
  return formatted(Date(startOfThisYear()).addingYears(back(yearsAgo)).timestamp, "yyyy");
}

int DateUtilities::dayOfMonth(double timestamp) {
  return Calendar::gregorian().components(timestamp).day.value_or(0);
}

std::optional<Day> DateUtilities::weekdayOf(double timestamp) {
  return dayFromRawValue(Calendar::gregorian().components(timestamp).weekday.value_or(0));
}

std::optional<Month> DateUtilities::monthOf(double timestamp) {
  return monthFromRawValue(Calendar::gregorian().components(timestamp).month.value_or(0));
}

int DateUtilities::numberOfDaysInYear(int year) {
  const Calendar calendar = Calendar::current();
  const std::optional<double> start = calendar.date({.year = year});
  return start ? calendar.daysInYear(*start) : 0;
}

int DateUtilities::numberOfDaysInMonth(int month, int year) {
  const Calendar calendar = Calendar::current();
  const std::optional<double> start = calendar.date({.year = year, .month = month});
  return start ? calendar.daysInMonth(*start) : 0;
}

int DateUtilities::numberOfDaysInYearMonth(int year, int month) { return numberOfDaysInMonth(month, year); }

int DateUtilities::numberOfDaysInMonthOf(Date date) {
  return Calendar::current().daysInMonth(date.timestamp);
}

std::optional<Date> DateUtilities::firstDayOfMonth(int year, int month) {
  const std::optional<double> first = firstOfMonth(year, month);
  if (!first) return std::nullopt;
  return Date(*first);
}

int DateUtilities::firstWeekdayIndex(int year, int month) {
  const std::optional<double> first = firstOfMonth(year, month);
  if (!first) return 0;
  const std::optional<int> weekday = Calendar::current().components(*first).weekday;
  return weekday ? mondayIndex(*weekday) : 0;
}

int DateUtilities::numberOfWeekRows(int year, int month) {
  const int days = numberOfDaysInYearMonth(year, month);
  int firstRow = 7;
  if (const std::optional<double> first = firstOfMonth(year, month)) {
    if (const std::optional<Day> weekday = weekdayOf(*first))
      firstRow = 7 - mondayIndex(static_cast<int>(*weekday));
  }
  const int rest = days - firstRow;
  if (rest < 1) return 1;
  if (rest <= 7) return 2;
  return 1 + (rest + 6) / 7;
}

std::vector<DateUtilities::Range> DateUtilities::dayRangesOfMonth(int monthsAgo) {
  const Date first = Date(startOfThisMonth()).addingMonths(back(monthsAgo));
  const int days = Calendar::current().daysInMonth(first.timestamp);
  std::vector<Range> ranges;
  for (int day = 0; day < days; ++day) {
    const double start = first.timestamp + day * oneDay;
    ranges.emplace_back(start, start + oneDay - 1);
  }
  return ranges;
}

std::vector<DateUtilities::Range> DateUtilities::dayRangesOfWeek(int weeksAgo) {
  const double monday = Date(now()).startOfWeek().addingWeeks(back(weeksAgo)).timestamp;
  std::vector<Range> ranges;
  for (int day = 0; day < 7; ++day)
    ranges.emplace_back(monday + day * oneDay, monday + day * oneDay + oneDay - 1);
  return ranges;
}

std::vector<std::string> DateUtilities::dayLabelsOfMonth(int monthsAgo) {
  // Labelled by calendar day: a day of 25 hours would otherwise repeat a label and lose the last day.
  const Date first = Date(startOfThisMonth()).addingMonths(back(monthsAgo));
  const int days = Calendar::current().daysInMonth(first.timestamp);
  const DateFormatter format("dd");
  std::vector<std::string> labels;
  for (int day = 0; day < days; ++day) labels.push_back(format.string(first.addingDays(day).timestamp));
  return labels;
}

std::vector<DateUtilities::Range> DateUtilities::monthRangesOfYear(int yearsAgo) {
  const Date year = Date(startOfThisYear()).addingYears(back(yearsAgo));
  std::vector<Range> ranges;
  for (int month = 1; month <= 12; ++month) {
    ranges.emplace_back(year.addingMonths(month - 1).timestamp, year.addingMonths(month).timestamp - 1);
  }
  return ranges;
}

std::vector<double> DateUtilities::monthEndsOfLastYear() {
  const Date endOfToday(Date::endOfTodayTimestamp());
  std::vector<double> ends;
  for (int month = -11; month <= 0; ++month) ends.push_back(endOfToday.addingMonths(month).timestamp);
  return ends;
}

double DateUtilities::timestampMonthsAgo(int monthsAgo, double timestamp) {
  return Calendar::current().adding(Calendar::Unit::month, back(monthsAgo), timestamp).value_or(now());
}

std::int64_t DateUtilities::numberOfDaysBetween(double a, double b) {
  const std::optional<std::int64_t> days = Calendar::gregorian().difference(Calendar::Unit::day, a, b);
  return days ? *days + 1 : 0;
}

std::optional<std::int64_t> DateUtilities::daysAgo(double timestamp) {
  const Calendar calendar = Calendar::current();
  const std::optional<double> day = calendar.startOfDay(timestamp);
  const std::optional<double> today = calendar.startOfDay(now());
  if (!day || !today) return std::nullopt;
  return calendar.difference(Calendar::Unit::day, *day, *today);
}

bool DateUtilities::isNextDay(double a, double b) {
  const Calendar calendar = Calendar::gregorian();
  const auto at = [&calendar](double timestamp, int hour) {
    const Calendar::Components day = calendar.components(timestamp);
    return calendar.date({.era = day.era,
                          .year = day.year,
                          .month = day.month,
                          .day = day.day,
                          .hour = hour,
                          .minute = 0,
                          .second = 0});
  };
  const std::optional<double> start = at(a, 0);
  const std::optional<double> next = at(b, 1);
  return start && next && calendar.difference(Calendar::Unit::day, *start, *next) == 1;
}

std::string DateUtilities::durationString(std::int64_t seconds) {
  const std::int64_t days = seconds / 86400;
  const std::int64_t r1 = seconds - days * 86400;
  const std::int64_t hours = r1 / 3600;
  const std::int64_t r2 = r1 - hours * 3600;
  const std::int64_t minutes = r2 / 60;
  const std::int64_t rest = seconds % 60;
  if (seconds >= 86400 || seconds <= -86400) {
    return twoDigits(days) + ":" + twoDigits(hours) + ":" + twoDigits(minutes) + ":" + twoDigits(rest);
  }
  if (r1 >= 3600 || r1 <= -3600)
    return "00:" + twoDigits(hours) + ":" + twoDigits(minutes) + ":" + twoDigits(rest);
  if (r2 >= 60 || r2 <= -60) return "00:00:" + twoDigits(minutes) + ":" + twoDigits(rest);
  return "00:00:00:" + twoDigits(rest);
}

std::string DateUtilities::hoursMinutesString(std::optional<std::int64_t> seconds) {
  const std::int64_t total = seconds.value_or(0);
  const std::int64_t hours = total / 3600;
  const std::int64_t rest = total - hours * 3600;
  const auto number = [](std::int64_t value) {
    return platform::formatC("%lld", static_cast<long long>(value));
  };
  if (total >= 3600 || total <= -3600) return number(hours) + "h " + number(rest / 60) + "m";
  if (rest >= 60 || rest <= -60) return number(rest / 60) + "m";
  return "0h 0m";
}

std::string DateUtilities::compactDurationString(std::int64_t seconds, bool compact) {
  const std::int64_t r1 = seconds % 86400;
  const std::int64_t hours = r1 / 3600;
  const std::int64_t r2 = r1 - hours * 3600;
  const std::int64_t minutes = r2 / 60;
  const std::int64_t rest = seconds % 60;
  if (!compact || r1 >= 3600 || r1 <= -3600) {
    return twoDigits(hours) + "h " + twoDigits(minutes) + "m " + twoDigits(rest) + "s";
  }
  if (r2 >= 60 || r2 <= -60) return twoDigits(minutes) + "m " + twoDigits(rest) + "s";
  if (rest != 0) return twoDigits(rest) + "s";
  return "0 s";
}

std::string DateUtilities::durationStringForInterval(double interval) {
  const std::optional<std::int64_t> seconds = wholeSeconds(interval);
  return seconds ? durationString(*seconds) : "-";
}

std::string DateUtilities::hoursMinutesStringForInterval(std::optional<double> interval) {
  if (!interval) return "0m";
  const std::optional<std::int64_t> seconds = wholeSeconds(*interval);
  return seconds ? hoursMinutesString(*seconds) : "-";
}

std::string DateUtilities::compactDurationStringForInterval(double interval) {
  const std::optional<std::int64_t> seconds = wholeSeconds(interval);
  return seconds ? compactDurationString(*seconds, true) : "-";
}

}  // namespace Bexlan
