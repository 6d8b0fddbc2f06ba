#pragma once

#include <optional>

namespace Bexlan {

// The weekdays, Monday first; the raw value is the calendar's weekday number (Sunday 1 .. Saturday 7).
enum class Day : int {
  monday = 2,
  tuesday = 3,
  wednesday = 4,
  thursday = 5,
  friday = 6,
  saturday = 7,
  sunday = 1
};

// The day of a raw value 1..7; none otherwise.
constexpr std::optional<Day> dayFromRawValue(int rawValue) {
  if (rawValue < 1 || rawValue > 7) return std::nullopt;
  return static_cast<Day>(rawValue);
}

}  // namespace Bexlan
