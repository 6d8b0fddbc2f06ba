#pragma once

#include <cstdint>

namespace platform {

// How urgent a queue's work is. The worker pool serves its bands from the most urgent down; a queue with
// an unspecified class runs in the standard band.
enum class QualityOfService : std::uint8_t {
  unspecified,
  background,
  utility,
  standard,
  userInitiated,
  userInteractive,
};

}  // namespace platform
