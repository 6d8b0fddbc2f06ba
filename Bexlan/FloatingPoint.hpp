#pragma once

#include <cmath>
#include <concepts>

namespace Bexlan {

// How a value between two integers becomes one of them.
enum class RoundingRule {
  toNearestOrAwayFromZero,  // halves away from zero: 2.5 -> 3, -2.5 -> -3
  toNearestOrEven,          // halves to the even neighbour: 2.5 -> 2, 3.5 -> 4
  up,                       // toward +infinity
  down,                     // toward -infinity
  towardZero,
  awayFromZero,
};

}  // namespace Bexlan

// Arithmetic on every floating-point type.
namespace Bexlan::FloatingPoint {

namespace detail {

// The value rounded by the rule to an integer, in the value's own type.
template <std::floating_point T>
T roundedToInteger(T value, RoundingRule rule) {
  switch (rule) {
    case RoundingRule::toNearestOrAwayFromZero: return std::round(value);
    case RoundingRule::toNearestOrEven:
      // For a value exactly between two integers, half of it lies between two integers too (halving is
      // exact), and twice its nearest integer is the even neighbour.
      return std::abs(value - std::trunc(value)) == T(0.5) ? 2 * std::round(value / 2) : std::round(value);
    case RoundingRule::up: return std::ceil(value);
    case RoundingRule::down: return std::floor(value);
    case RoundingRule::towardZero: return std::trunc(value);
    case RoundingRule::awayFromZero: return value < 0 ? std::floor(value) : std::ceil(value);
  }
  return value;
}

}  // namespace detail

// (value / step) rounded by the rule, times step: 7 to a multiple of 5 is 5 with towardZero and 10 with up.
template <std::floating_point T>
T rounded(T value, T step, RoundingRule rule) {
  return detail::roundedToInteger(value / step, rule) * step;
}

}  // namespace Bexlan::FloatingPoint
