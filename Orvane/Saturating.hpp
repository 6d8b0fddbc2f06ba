#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace Orvane {

// value truncated toward zero into an unsigned 64-bit integer: NaN and negatives give 0, values from 2^64
// up give the largest integer.
constexpr std::uint64_t saturatingUInt64(double value) noexcept {
  if (!(value > 0)) return 0;
  if (value >= 0x1p64) return std::numeric_limits<std::uint64_t>::max();
  return static_cast<std::uint64_t>(value);
}

// value clamped into the signed 32-bit range.
constexpr std::int32_t saturatingInt32(std::int64_t value) noexcept {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
}

}  // namespace Orvane
