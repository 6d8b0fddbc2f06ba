#pragma once

#include <algorithm>

namespace Bexlan::Comparable {

// The value raised to `lower` when below it, then lowered to `upper` when above it. Unlike std::clamp this
// is defined for bounds in either order: with lower above upper every value gives upper.
template <class T>
T clamped(const T& value, const T& lower, const T& upper) {
  return std::min(std::max(value, lower), upper);
}

}  // namespace Bexlan::Comparable
