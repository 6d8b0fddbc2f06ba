#pragma once

#include <unicode/uversion.h>

#include <cstdint>
#include <memory>
#include <optional>

U_NAMESPACE_BEGIN
class Calendar;
U_NAMESPACE_END

namespace platform {

// A calendar in a time zone over ICU: reads the fields of an instant, forms an instant from fields, moves
// instants by calendar units. Instants are timestamps: seconds since 1970-01-01 00:00 UTC.
//
// Months count from 1 (January) and weekdays from 1 (Sunday) to 7 (Saturday) in every calendar. The
// calendar is lenient: fields outside their usual range roll over (month 13 is the first month of the next
// year). Each calendar is for one thread at a time; make one per call.
class Calendar {
 public:
  enum class Unit { year, month, day, weekOfYear };

  // Fields of an instant. Fields left empty when forming an instant take their lowest value (day 1,
  // 00:00:00); an empty year is the calendar's default year.
  struct Components {
    std::optional<int> era{};
    std::optional<int> year{};
    std::optional<int> month{};
    std::optional<int> day{};
    std::optional<int> hour{};
    std::optional<int> minute{};
    std::optional<int> second{};
    std::optional<int> weekday{};
    std::optional<int> weekOfYear{};
    std::optional<int> yearForWeekOfYear{};
  };

  // The default calendar of the region's date locale (Buddhist for th_TH, Gregorian for most) in the
  // region's time zone, with the locale's first weekday.
  static Calendar current();
  // The Gregorian calendar in the region's time zone.
  static Calendar gregorian();

  Calendar(const Calendar& other);
  Calendar& operator=(const Calendar& other);
  Calendar(Calendar&&) noexcept;
  Calendar& operator=(Calendar&&) noexcept;
  ~Calendar();

  // 1 Sunday .. 7 Saturday.
  void setFirstWeekday(int weekday);

  // Every field of the instant (all present), or all empty when the calendar cannot represent it.
  Components components(double timestamp) const;
  // The instant the fields name, or nullopt when the calendar cannot form one.
  std::optional<double> date(const Components& components) const;
  // The instant moved by `amount` units with carrying into larger fields (31 January + 1 month is the last
  // day of February); nullopt when the result is out of the calendar's range.
  std::optional<double> adding(Unit unit, int amount, double timestamp) const;
  // Whole units from a to b, counted toward zero; nullopt when out of range.
  std::optional<std::int64_t> difference(Unit unit, double a, double b) const;

  // 00:00 of the instant's day (nullopt out of range).
  std::optional<double> startOfDay(double timestamp) const;
  bool isDateInToday(double timestamp) const;
  bool isDateInYesterday(double timestamp) const;
  // The number of days of the instant's month and year; 0 out of range.
  int daysInMonth(double timestamp) const;
  int daysInYear(double timestamp) const;

  // For formatters that render in this calendar.
  const icu::Calendar& icuCalendar() const { return *calendar_; }

 private:
  explicit Calendar(std::unique_ptr<icu::Calendar> calendar);
  bool isDateInDayOffset(double timestamp, int dayOffset) const;

  std::unique_ptr<icu::Calendar> calendar_;
};

}  // namespace platform
