#include "Platform/Foundation/Calendar.hpp"

#include <unicode/calendar.h>
#include <unicode/gregocal.h>

#include <cmath>
#include <utility>

#include "Platform/Foundation/Clock.hpp"
#include "Platform/Foundation/FatalError.hpp"
#include "Platform/Foundation/Region.hpp"

namespace platform {

namespace {

// ICU keeps instants within about ±5.8 million years; beyond that its lenient calendar silently clamps.
constexpr double largestSeconds = 183882168921600.0;

bool representable(double timestamp) {
  return std::isfinite(timestamp) && std::fabs(timestamp) <= largestSeconds;
}

// The largest value `field` takes around the instant (the days of its month or year); 0 out of range.
int actualMaximum(icu::Calendar& calendar, double timestamp, UCalendarDateFields field) {
  if (!representable(timestamp)) return 0;
  UErrorCode status = U_ZERO_ERROR;
  calendar.setTime(timestamp * 1000.0, status);
  const int32_t maximum = calendar.getActualMaximum(field, status);
  return U_SUCCESS(status) ? maximum : 0;
}

// ICU silently wraps fields whose sum lies far outside its range (year 2^31 - 1 comes out in 2.4 million
// BC), so fields are checked first by the years they add up to.
bool withinRange(const Calendar::Components& fields) {
  const auto years = [](const std::optional<int>& value, double perYear) {
    return value.value_or(0) / perYear;
  };
  const double total = years(fields.year, 1) + years(fields.yearForWeekOfYear, 1) + years(fields.month, 12) +
                       years(fields.weekOfYear, 52) + years(fields.day, 365) + years(fields.hour, 8760) +
                       years(fields.minute, 525600) + years(fields.second, 31536000);
  return std::fabs(total) < 5000000;
}

UCalendarDateFields field(Calendar::Unit unit) {
  switch (unit) {
    case Calendar::Unit::year: return UCAL_YEAR;
    case Calendar::Unit::month: return UCAL_MONTH;
    case Calendar::Unit::day: return UCAL_DATE;
    case Calendar::Unit::weekOfYear: return UCAL_WEEK_OF_YEAR;
  }
  return UCAL_DATE;
}

std::unique_ptr<icu::Calendar> checked(icu::Calendar* calendar, UErrorCode status) {
  if (U_FAILURE(status) || calendar == nullptr) {
    delete calendar;
    fatalError(std::string("cannot create a calendar: ") + u_errorName(status));
  }
  return std::unique_ptr<icu::Calendar>(calendar);
}

}  // namespace

Calendar::Calendar(std::unique_ptr<icu::Calendar> calendar) : calendar_(std::move(calendar)) {
  calendar_->setLenient(true);
}

Calendar Calendar::current() {
  UErrorCode status = U_ZERO_ERROR;
  icu::Calendar* calendar =
      icu::Calendar::createInstance(Region::makeIcuTimeZone(Region::currentTimeZoneId()).release(),
                                    Region::makeIcuLocale(Region::currentTimeLocaleId()), status);
  return Calendar(checked(calendar, status));
}

Calendar Calendar::gregorian() {
  UErrorCode status = U_ZERO_ERROR;
  auto* calendar = new icu::GregorianCalendar(Region::makeIcuTimeZone(Region::currentTimeZoneId()).release(),
                                              Region::makeIcuLocale(Region::currentTimeLocaleId()), status);
  return Calendar(checked(calendar, status));
}

Calendar::Calendar(const Calendar& other) : calendar_(other.calendar_->clone()) {}

Calendar& Calendar::operator=(const Calendar& other) {
  if (this != &other) calendar_.reset(other.calendar_->clone());
  return *this;
}

Calendar::Calendar(Calendar&&) noexcept = default;
Calendar& Calendar::operator=(Calendar&&) noexcept = default;
Calendar::~Calendar() = default;

void Calendar::setFirstWeekday(int weekday) {
  if (weekday < 1 || weekday > 7) fatalError("a weekday is 1 (Sunday) to 7 (Saturday)");
  calendar_->setFirstDayOfWeek(static_cast<UCalendarDaysOfWeek>(weekday));
}

Calendar::Components Calendar::components(double timestamp) const {
  if (!representable(timestamp)) return {};
  UErrorCode status = U_ZERO_ERROR;
  calendar_->setTime(timestamp * 1000.0, status);
  const auto get = [&](UCalendarDateFields which) { return calendar_->get(which, status); };
  Components fields{get(UCAL_ERA),          get(UCAL_YEAR),    get(UCAL_MONTH) + 1, get(UCAL_DATE),
                    get(UCAL_HOUR_OF_DAY),  get(UCAL_MINUTE),  get(UCAL_SECOND),    get(UCAL_DAY_OF_WEEK),
                    get(UCAL_WEEK_OF_YEAR), get(UCAL_YEAR_WOY)};
  return U_SUCCESS(status) ? fields : Components{};
}

std::optional<double> Calendar::date(const Components& components) const {
  if (!withinRange(components)) return std::nullopt;
  calendar_->clear();
  const auto set = [&](UCalendarDateFields which, const std::optional<int>& value, int offset = 0) {
    if (value) calendar_->set(which, *value + offset);
  };
  // ICU resolves the day by the fields set last: weeks count only when no year, month and day are given.
  set(UCAL_YEAR_WOY, components.yearForWeekOfYear);
  set(UCAL_WEEK_OF_YEAR, components.weekOfYear);
  set(UCAL_DAY_OF_WEEK, components.weekday);
  set(UCAL_ERA, components.era);
  set(UCAL_YEAR, components.year);
  set(UCAL_MONTH, components.month, -1);
  set(UCAL_DATE, components.day);
  set(UCAL_HOUR_OF_DAY, components.hour);
  set(UCAL_MINUTE, components.minute);
  set(UCAL_SECOND, components.second);
  UErrorCode status = U_ZERO_ERROR;
  const double seconds = calendar_->getTime(status) / 1000.0;
  if (U_FAILURE(status) || !representable(seconds)) return std::nullopt;
  return seconds;
}

std::optional<double> Calendar::adding(Unit unit, int amount, double timestamp) const {
  if (!representable(timestamp)) return std::nullopt;
  UErrorCode status = U_ZERO_ERROR;
  calendar_->setTime(timestamp * 1000.0, status);
  calendar_->add(field(unit), amount, status);
  const double seconds = calendar_->getTime(status) / 1000.0;
  if (U_FAILURE(status) || !representable(seconds)) return std::nullopt;
  return seconds;
}

std::optional<std::int64_t> Calendar::difference(Unit unit, double a, double b) const {
  if (!representable(a) || !representable(b)) return std::nullopt;
  UErrorCode status = U_ZERO_ERROR;
  calendar_->setTime(a * 1000.0, status);
  const int32_t units = calendar_->fieldDifference(b * 1000.0, field(unit), status);
  if (U_FAILURE(status)) return std::nullopt;
  return units;
}

std::optional<double> Calendar::startOfDay(double timestamp) const {
  const Components now = components(timestamp);
  if (!now.year) return std::nullopt;
  return date({.era = now.era, .year = now.year, .month = now.month, .day = now.day});
}

bool Calendar::isDateInDayOffset(double timestamp, int dayOffset) const {
  const std::optional<double> reference = adding(Unit::day, dayOffset, Clock::wallNow());
  if (!reference) return false;
  const std::optional<double> day = startOfDay(timestamp);
  return day && day == startOfDay(*reference);
}

bool Calendar::isDateInToday(double timestamp) const { return isDateInDayOffset(timestamp, 0); }

bool Calendar::isDateInYesterday(double timestamp) const { return isDateInDayOffset(timestamp, -1); }

int Calendar::daysInMonth(double timestamp) const { return actualMaximum(*calendar_, timestamp, UCAL_DATE); }

int Calendar::daysInYear(double timestamp) const {
  return actualMaximum(*calendar_, timestamp, UCAL_DAY_OF_YEAR);
}

}  // namespace platform
