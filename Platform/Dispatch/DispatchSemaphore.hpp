#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace platform {

// A counting semaphore whose count goes below zero while threads wait: -n means n waiters. Taking or
// releasing a unit without waiting costs one atomic operation and no system call.
class DispatchSemaphore {
 public:
  // Throws std::invalid_argument when count is negative.
  explicit DispatchSemaphore(long count);
  DispatchSemaphore(const DispatchSemaphore&) = delete;
  DispatchSemaphore& operator=(const DispatchSemaphore&) = delete;

  // Takes one unit, sleeping until a signal hands one over.
  void wait();
  // Releases one unit. True when it woke a waiting thread.
  bool signal();

 private:
  std::atomic<long> value_;
  std::mutex mutex_;
  std::condition_variable wakeup_;
  long handOffs_ = 0;  // units that signals handed to sleeping waiters and that no waiter took yet
};

}  // namespace platform
