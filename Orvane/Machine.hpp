#pragma once

#include <string_view>

namespace Orvane {

// Whether a hardware name of uname (platform::SystemConstants::machine) is that of a 64-bit Arm machine:
// "arm64", or "aarch64" as Linux names it.
bool isArm64(std::string_view machine);

}  // namespace Orvane
