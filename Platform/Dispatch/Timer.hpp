#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace platform {

class RunLoop;

// A one-shot or repeating timer that fires on the run loop it was added to. Fire dates are on the
// monotonic clock. A repeating timer stays on its grid: after it fires, its fire date moves forward by
// whole intervals until it is in the future, so a slow tick delays only the next fire and missed periods
// are skipped rather than fired in a burst.
class Timer {
 public:
  using Action = std::function<void(Timer&)>;
  using TimePoint = std::chrono::steady_clock::time_point;

  // A timer that is on no run loop yet. interval is in seconds; zero, negative or NaN becomes 0.1 ms. The
  // first fire is one interval after the timer is added to a run loop. Throws std::invalid_argument when
  // action is empty.
  static std::shared_ptr<Timer> make(double interval, bool repeats, Action action);
  // make, then add to the current thread's run loop in the default mode.
  static std::shared_ptr<Timer> scheduled(double interval, bool repeats, Action action);

  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  // Stops the timer for good, releases its action (and whatever the action holds) and wakes the run loop
  // it is on. Safe from any thread, at any time, also from inside the action; calling it again does
  // nothing.
  void invalidate();
  bool isValid() const noexcept { return valid_.load(std::memory_order_acquire); }
  TimePoint fireDate() const noexcept;
  // The interval in seconds, after clamping.
  double timeInterval() const noexcept { return interval_; }

 private:
  friend class RunLoop;

  Timer(double interval, bool repeats, Action action);
  // Binds the timer to loop and starts its first interval at now. False when the timer is invalid (it is
  // then ignored); throws std::logic_error when it is already on another run loop.
  bool attach(RunLoop* loop, TimePoint now);
  // Called by the run loop when the fire date has come: runs the action, then moves a repeating timer to
  // its next fire date on the grid or invalidates a one-shot one.
  void fireOnSchedule();

  const double interval_;
  const std::int64_t intervalNanoseconds_;
  const bool repeats_;
  std::atomic<bool> valid_{true};
  std::atomic<std::int64_t> fireDate_;  // nanoseconds on the steady clock
  mutable std::mutex mutex_;
  std::shared_ptr<const Action> action_;  // empty once invalidated
  RunLoop* loop_ = nullptr;  // the run loop it was added to; it invalidates its timers before it goes
};

}  // namespace platform
