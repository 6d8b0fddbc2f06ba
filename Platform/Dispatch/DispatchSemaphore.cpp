#include "Platform/Dispatch/DispatchSemaphore.hpp"

#include <stdexcept>

#include "Platform/Dispatch/Deadline.hpp"

namespace platform {

DispatchSemaphore::DispatchSemaphore(long count) : value_(count) {
  if (count < 0) {
    throw std::invalid_argument("DispatchSemaphore: the initial count must not be negative");
  }
}

void DispatchSemaphore::wait() {
  if (value_.fetch_sub(1, std::memory_order_acquire) > 0) {
    return;
  }
  std::unique_lock lock(mutex_);
  awaitHandOff(lock);
}

bool DispatchSemaphore::waitFor(std::chrono::nanoseconds timeout) {
  if (value_.fetch_sub(1, std::memory_order_acquire) > 0) {
    return true;
  }
  const auto deadline = deadlineAfter(timeout);
  std::unique_lock lock(mutex_);
  if (wakeup_.wait_until(lock, deadline, [this] { return handOffs_ > 0; })) {
    --handOffs_;
    return true;
  }
  // Timed out: withdraw this waiter's decrement, but only while some waiter is still unclaimed. A count
  // at or above zero means a signal has already claimed a waiter that nobody else will serve; take its
  // hand-off, or it would wake a later waiter that has no unit coming.
  long value = value_.load(std::memory_order_relaxed);
  while (value < 0) {
    if (value_.compare_exchange_weak(value, value + 1, std::memory_order_relaxed)) {
      return false;
    }
  }
  awaitHandOff(lock);
  return true;
}

bool DispatchSemaphore::signal() {
  if (value_.fetch_add(1, std::memory_order_release) >= 0) {
    return false;
  }
  // Notify under the lock: the woken thread may destroy the semaphore as soon as it can take the mutex.
  std::lock_guard lock(mutex_);
  ++handOffs_;
  wakeup_.notify_one();
  return true;
}

void DispatchSemaphore::awaitHandOff(std::unique_lock<std::mutex>& lock) {
  wakeup_.wait(lock, [this] { return handOffs_ > 0; });
  --handOffs_;
}

}  // namespace platform
