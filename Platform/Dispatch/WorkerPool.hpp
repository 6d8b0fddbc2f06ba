#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "Platform/Dispatch/QualityOfService.hpp"

namespace platform {

// The process-wide threads that run the global queues' blocks and drain private queues. One FIFO per
// quality-of-service band; an idle thread takes the oldest job of the most urgent non-empty band. Delayed
// jobs move into their band once due. The pool is never destroyed, so jobs may be submitted at any time,
// exit included.
class WorkerPool {
 public:
  using Job = std::function<void()>;
  using TimePoint = std::chrono::steady_clock::time_point;

  // max(2, hardware threads) workers, started on first use.
  static WorkerPool& shared();

  // The index of the band that serves qos, 0 (background) to bandCount - 1 (user-interactive).
  static std::size_t bandOf(QualityOfService qos) noexcept;
  static constexpr std::size_t bandCount = 5;

  std::size_t threadCount() const noexcept { return threadCount_; }
  void submit(QualityOfService qos, Job job);
  void submitAt(TimePoint due, QualityOfService qos, Job job);

 private:
  struct Delayed {
    TimePoint due;
    std::uint64_t order;  // submission order, so jobs due at the same time keep it
    std::size_t band;
    Job job;
  };

  explicit WorkerPool(std::size_t threads);
  static bool later(const Delayed& a, const Delayed& b) noexcept;
  void work();
  // Moves due delayed jobs into their bands and takes the most urgent job; with none, waits for a
  // submission or the earliest due time and returns false.
  bool takeJobOrWait(std::unique_lock<std::mutex>& lock, Job& job);

  const std::size_t threadCount_;
  std::mutex mutex_;
  std::condition_variable wakeup_;
  std::array<std::deque<Job>, bandCount> bands_;
  std::vector<Delayed> delayed_;  // a min-heap on (due, order)
  std::uint64_t nextOrder_ = 0;
};

}  // namespace platform
