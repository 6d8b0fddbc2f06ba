#include "Orvane/Machine.hpp"

namespace Orvane {

bool isArm64(std::string_view machine) { return machine == "arm64" || machine == "aarch64"; }

}  // namespace Orvane
