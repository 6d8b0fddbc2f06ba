#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace Orvane {

// value clamped into the signed 32-bit range.
constexpr std::int32_t saturatingInt32(std::int64_t value) noexcept {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
}

}  // namespace Orvane
