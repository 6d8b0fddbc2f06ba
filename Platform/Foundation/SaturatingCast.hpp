#pragma once

#include <concepts>
#include <limits>

namespace platform {

// value truncated toward zero into Integer, saturated at Integer's limits: values from Integer's maximum
// on (+infinity included) give the maximum, values down to its minimum (-infinity included, and every
// negative value for an unsigned Integer) give the minimum, and NaN gives 0. Defined for every double,
// where a plain conversion out of range is undefined.
template <std::integral Integer>
constexpr Integer saturatingCast(double value) noexcept {
  using Limits = std::numeric_limits<Integer>;
  // 2^digits, the first whole number above the maximum; exact as a double for every width.
  constexpr double pastMaximum = static_cast<double>(Limits::max() / 2 + 1) * 2;
  if (value != value) return 0;
  if (value >= pastMaximum) return Limits::max();
  if (value <= static_cast<double>(Limits::min())) return Limits::min();
  return static_cast<Integer>(value);
}

}  // namespace platform
