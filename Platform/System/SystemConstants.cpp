#include "Platform/System/SystemConstants.hpp"

#include <sys/utsname.h>
#include <unistd.h>

#include <cstring>

namespace platform {

namespace {

SystemConstants readConstants() {
  SystemConstants constants;
  if (long pageSize = ::sysconf(_SC_PAGESIZE); pageSize > 0) {
    constants.pageSize = static_cast<std::uint64_t>(pageSize);
  }
  if (long ticks = ::sysconf(_SC_CLK_TCK); ticks > 0) {
    constants.clockTicksPerSecond = static_cast<std::uint64_t>(ticks);
  }
  struct utsname name;
  std::memset(&name, 0, sizeof name);
  if (::uname(&name) == 0) {
    constants.machine.assign(name.machine, ::strnlen(name.machine, sizeof name.machine));
  }
  return constants;
}

}  // namespace

const SystemConstants& SystemConstants::live() {
  static const SystemConstants constants = readConstants();
  return constants;
}

}  // namespace platform
