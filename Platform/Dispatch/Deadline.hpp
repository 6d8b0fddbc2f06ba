#pragma once

#include <algorithm>
#include <chrono>

namespace platform {

// The moment span after now on the steady clock: a negative span gives now, and a span too long to add
// gives the clock's last moment (wait forever) instead of overflowing.
inline std::chrono::steady_clock::time_point deadlineAfter(
    std::chrono::nanoseconds span,
    std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now()) noexcept {
  const auto room = std::chrono::steady_clock::time_point::max() - now;
  return span >= room ? std::chrono::steady_clock::time_point::max() : now + std::max(span, {});
}

}  // namespace platform
