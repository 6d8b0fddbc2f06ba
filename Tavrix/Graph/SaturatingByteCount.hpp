#pragma once

#include <cstdint>
#include <limits>

namespace Tavrix {

// A rate in bytes per second as the whole number the unit functions take: truncated, with NaN and values at
// or below zero giving 0 and values from 2^64 on giving the largest count.
constexpr std::uint64_t saturatingByteCount(double value) noexcept {
  if (!(value > 0)) {
    return 0;
  }
  if (value >= 0x1p64) {
    return std::numeric_limits<std::uint64_t>::max();
  }
  return static_cast<std::uint64_t>(value);
}

}  // namespace Tavrix
