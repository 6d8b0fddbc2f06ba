#pragma once

#include <time.h>

#include <stdexcept>

namespace platform {

// The two clocks every time-dependent part reads, with an override for tests.
class Clock {
 public:
  // Seconds since 1970-01-01 00:00 UTC (CLOCK_REALTIME); steps when the system time is set.
  static double wallNow() noexcept;
  // Seconds since boot, counting time spent in suspend (CLOCK_BOOTTIME); never steps back. Use it for
  // elapsed times.
  static double monotonicNow() noexcept;

  // Pins both clocks, for every thread, to the given values while it lives. Overrides nest: the most
  // recently made one that is still alive is in force, and destroying it brings back the one before it (or
  // the real clocks). Safe to use while other threads read the clocks.
  class Override {
   public:
    // Throws std::invalid_argument when either value is not finite.
    Override(double wall, double monotonic);
    ~Override();
    Override(const Override&) = delete;
    Override& operator=(const Override&) = delete;

    // Moves both pinned clocks forward by seconds. Throws std::invalid_argument when seconds is negative or
    // not finite (the monotonic clock never goes back). To model a wall-clock step, nest a new Override.
    void advance(double seconds);

   private:
    friend class Clock;
    double wall_;
    double monotonic_;
  };

 private:
  // The innermost override's `pinned` value, else the time of the system clock `clock`.
  static double now(double Override::*pinned, clockid_t clock) noexcept;
};

}  // namespace platform
