#include "Platform/Dispatch/Timer.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "Platform/Dispatch/RunLoop.hpp"

namespace platform {

namespace {

constexpr double substituteInterval = 1e-4;                      // for a zero, negative or NaN interval
constexpr std::int64_t longestInterval = std::int64_t{1} << 62;  // about 146 years, so sums never overflow

std::int64_t toNanoseconds(double seconds) {
  const double nanoseconds = seconds * 1e9;
  if (nanoseconds >= static_cast<double>(longestInterval)) {
    return longestInterval;
  }
  return std::max<std::int64_t>(1, std::llround(nanoseconds));
}

std::int64_t sinceEpoch(Timer::TimePoint time) {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
}

std::int64_t saturatingSum(std::int64_t time, std::int64_t span) {
  return time > std::numeric_limits<std::int64_t>::max() - span ? std::numeric_limits<std::int64_t>::max()
                                                                : time + span;
}

}  // namespace

std::shared_ptr<Timer> Timer::make(double interval, bool repeats, Action action) {
  if (!action) {
    throw std::invalid_argument("Timer: the action is empty");
  }
  return std::shared_ptr<Timer>(new Timer(interval, repeats, std::move(action)));
}

std::shared_ptr<Timer> Timer::scheduled(double interval, bool repeats, Action action) {
  auto timer = make(interval, repeats, std::move(action));
  RunLoop::current().add(timer, RunLoop::Mode::defaultMode);
  return timer;
}

Timer::Timer(double interval, bool repeats, Action action)
    : interval_(interval > 0 ? interval : substituteInterval),
      intervalNanoseconds_(toNanoseconds(interval_)),
      repeats_(repeats),
      fireDate_(saturatingSum(sinceEpoch(std::chrono::steady_clock::now()), intervalNanoseconds_)),
      action_(std::make_shared<const Action>(std::move(action))) {}

void Timer::invalidate() {
  std::shared_ptr<const Action> released;
  {
    std::lock_guard lock(mutex_);
    if (!isValid()) {
      return;
    }
    valid_.store(false, std::memory_order_release);
    released = std::move(action_);
    if (loop_ != nullptr) {
      loop_->wake();  // so that a loop waiting for this timer, or for it to end, looks again
    }
  }
  // The action's captures are destroyed here, outside the lock.
}

Timer::TimePoint Timer::fireDate() const noexcept {
  return TimePoint(std::chrono::nanoseconds(fireDate_.load(std::memory_order_acquire)));
}

bool Timer::attach(RunLoop* loop, TimePoint now) {
  std::lock_guard lock(mutex_);
  if (!isValid()) {
    return false;
  }
  if (loop_ != nullptr) {
    throw std::logic_error("Timer: a timer can be added to one run loop only");
  }
  loop_ = loop;
  fireDate_.store(saturatingSum(sinceEpoch(now), intervalNanoseconds_), std::memory_order_release);
  return true;
}

void Timer::fireOnSchedule() {
  std::shared_ptr<const Action> action;
  {
    std::lock_guard lock(mutex_);
    action = action_;
  }
  // The copy keeps the action alive even if it invalidates its own timer.
  if (!action) {
    return;
  }
  (*action)(*this);
  if (!repeats_) {
    invalidate();
    return;
  }
  if (!isValid()) {
    return;
  }
  const std::int64_t now = sinceEpoch(std::chrono::steady_clock::now());
  std::int64_t next = fireDate_.load(std::memory_order_relaxed);
  if (next <= now) {
    const std::int64_t periods = (now - next) / intervalNanoseconds_ + 1;
    next = saturatingSum(next, periods * intervalNanoseconds_);
  }
  fireDate_.store(next, std::memory_order_release);
}

}  // namespace platform
