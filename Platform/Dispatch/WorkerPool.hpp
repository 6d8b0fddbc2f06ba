#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>

#include "Platform/Dispatch/QualityOfService.hpp"

namespace platform {

// The process-wide threads that run the global queues' blocks and drain private queues. One FIFO per
// quality-of-service band; an idle thread takes the oldest job of the most urgent non-empty band. The pool
// is never destroyed, so jobs may be submitted at any time, exit included.
class WorkerPool {
 public:
  using Job = std::function<void()>;

  // max(2, hardware threads) workers, started on first use.
  static WorkerPool& shared();

  // The index of the band that serves qos, 0 (background) to bandCount - 1 (user-interactive).
  static std::size_t bandOf(QualityOfService qos) noexcept;
  static constexpr std::size_t bandCount = 5;

  void submit(QualityOfService qos, Job job);

 private:
  explicit WorkerPool(std::size_t threads);
  void work();
  // Takes the most urgent job; with none, waits for a submission and returns false.
  bool takeJobOrWait(std::unique_lock<std::mutex>& lock, Job& job);

  std::mutex mutex_;
  std::condition_variable wakeup_;
  std::array<std::deque<Job>, bandCount> bands_;
};

}  // namespace platform
