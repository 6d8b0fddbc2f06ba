#pragma once

#include <cstdint>

namespace Orvane {

// The machine's processor time in clock ticks, all processors together: the four counters of one load
// sample. Linux keeps them in 64 bits, so they do not wrap.
struct HostInfo {
  std::uint64_t user = 0;
  std::uint64_t system = 0;
  std::uint64_t idle = 0;
  std::uint64_t nice = 0;

  bool operator==(const HostInfo&) const = default;
};

}  // namespace Orvane
