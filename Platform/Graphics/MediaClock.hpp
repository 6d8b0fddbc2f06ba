#pragma once

#include <stdexcept>

namespace platform {

// The media time in seconds that animations are stamped with and evaluated against. It is a virtual clock:
// it starts at 0 and moves only when set or advanced (by tests, or by a program that drives its frames), so
// every presentation is reproducible. Safe to read and change from any thread.
class MediaClock {
 public:
  static double now();
  // Throws std::invalid_argument when seconds is not finite.
  static void set(double seconds);
  // Throws std::invalid_argument when seconds is negative or not finite.
  static void advance(double seconds);
};

}  // namespace platform
