#include "Platform/Foundation/Clock.hpp"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <ctime>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace platform {
namespace {

// The live overrides, oldest first. The count lets the clocks skip the lock when there is none.
struct Overrides {
  std::mutex mutex;
  std::vector<Clock::Override*> stack;
  std::atomic<std::size_t> count{0};
};

// Never destroyed: threads may still read the clocks while static objects are destroyed at exit.
Overrides& overrides() {
  static Overrides* const instance = new Overrides;
  return *instance;
}

}  // namespace

double Clock::now(double Override::*pinned, clockid_t clock) noexcept {
  Overrides& state = overrides();
  if (state.count.load(std::memory_order_acquire) != 0) {
    std::lock_guard lock(state.mutex);
    if (!state.stack.empty()) return state.stack.back()->*pinned;
  }
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double Clock::wallNow() noexcept { return now(&Override::wall_, CLOCK_REALTIME); }

double Clock::monotonicNow() noexcept { return now(&Override::monotonic_, CLOCK_BOOTTIME); }

Clock::Override::Override(double wall, double monotonic) : wall_(wall), monotonic_(monotonic) {
  if (!std::isfinite(wall) || !std::isfinite(monotonic)) {
    throw std::invalid_argument("Clock::Override: the pinned times must be finite");
  }
  Overrides& state = overrides();
  std::lock_guard lock(state.mutex);
  state.stack.push_back(this);
  state.count.store(state.stack.size(), std::memory_order_release);
}

Clock::Override::~Override() {
  Overrides& state = overrides();
  std::lock_guard lock(state.mutex);
  // Usually the last one; overrides made on several threads may end in any order.
  state.stack.erase(std::find(state.stack.begin(), state.stack.end(), this));
  state.count.store(state.stack.size(), std::memory_order_release);
}

void Clock::Override::advance(double seconds) {
  if (!(seconds >= 0) || !std::isfinite(seconds)) {
    throw std::invalid_argument("Clock::Override::advance: seconds must be finite and not negative");
  }
  std::lock_guard lock(overrides().mutex);
  wall_ += seconds;
  monotonic_ += seconds;
}

}  // namespace platform
