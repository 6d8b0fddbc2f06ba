#pragma once

#include <cstdint>

namespace Orvane {

// Facts of the machine read once when the processor monitor is made, and the wall-clock times of its last
// two refreshes. All 0 at first; a fact that cannot be read stays 0.
struct SystemInfo {
  // The boot time: seconds and microseconds since 1970.
  struct Time {
    std::int64_t seconds = 0;
    std::int32_t microseconds = 0;
  };

  std::int32_t cpuCount = 0;  // logical processors online
  std::uint64_t memSize = 0;  // physical memory, bytes
  std::int64_t pageSize = 0;  // bytes
  Time booted;
  double time = 0;          // wall clock of the current refresh, seconds since 1970
  double timePrevious = 0;  // wall clock of the previous refresh
};

}  // namespace Orvane
