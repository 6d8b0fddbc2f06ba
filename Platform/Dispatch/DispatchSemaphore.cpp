#include "Platform/Dispatch/DispatchSemaphore.hpp"

#include <stdexcept>

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
  wakeup_.wait(lock, [this] { return handOffs_ > 0; });
  --handOffs_;
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

}  // namespace platform
