#include "Platform/Graphics/MediaClock.hpp"

#include <atomic>
#include <cmath>
#include <stdexcept>

namespace platform {

namespace {

std::atomic<double> mediaTime{0};

}  // namespace

double MediaClock::now() { return mediaTime.load(std::memory_order_acquire); }

void MediaClock::set(double seconds) {
  if (!std::isfinite(seconds)) {
    throw std::invalid_argument("MediaClock::set: the time must be finite");
  }
  mediaTime.store(seconds, std::memory_order_release);
}

void MediaClock::advance(double seconds) {
  if (!std::isfinite(seconds) || seconds < 0) {
    throw std::invalid_argument("MediaClock::advance: the step must be finite and not negative");
  }
  mediaTime.fetch_add(seconds, std::memory_order_acq_rel);
}

}  // namespace platform
