#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Facts of the running kernel that do not change while it runs, which the readers need to turn counts into
// units: kept in one record so that tests of recorded samples can give the facts of the recording machine.
struct SystemConstants {
  std::uint64_t pageSize = 4096;            // bytes per page
  std::uint64_t clockTicksPerSecond = 100;  // USER_HZ, the unit of the /proc time counters
  std::string machine;                      // the hardware name of uname: "x86_64", "aarch64"...

  // The facts of this machine (sysconf and uname).
  static const SystemConstants& live();
};

}  // namespace platform
