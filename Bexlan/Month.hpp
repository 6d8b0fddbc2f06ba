#pragma once

#include <array>
#include <optional>

namespace Bexlan {

// The months in calendar order; the raw value is the month number 1..12.
enum class Month : int {
  january = 1,
  february,
  march,
  april,
  may,
  june,
  july,
  august,
  september,
  october,
  november,
  december
};

// The month of a raw value 1..12; none otherwise.
constexpr std::optional<Month> monthFromRawValue(int rawValue) {
  if (rawValue < 1 || rawValue > 12) return std::nullopt;
  return static_cast<Month>(rawValue);
}

// Every month in calendar order.
constexpr std::array<Month, 12> allMonths = {
    Month::january, Month::february, Month::march,     Month::april,   Month::may,      Month::june,
    Month::july,    Month::august,   Month::september, Month::october, Month::november, Month::december};

}  // namespace Bexlan
