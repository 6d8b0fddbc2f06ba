#include "Platform/Dispatch/WorkerPool.hpp"

#include <algorithm>
#include <thread>

#include "Platform/Dispatch/AsyncBlock.hpp"

namespace platform {

WorkerPool& WorkerPool::shared() {
  // Leaked on purpose: blocks may still be submitted while static objects are destroyed at exit.
  static WorkerPool* const pool =
      new WorkerPool(std::max<std::size_t>(2, std::thread::hardware_concurrency()));
  return *pool;
}

WorkerPool::WorkerPool(std::size_t threads) {
  for (std::size_t i = 0; i < threads; ++i) {
    std::thread([this] { work(); }).detach();
  }
}

std::size_t WorkerPool::bandOf(QualityOfService qos) noexcept {
  // The classes after `unspecified` are declared from the least urgent to the most.
  return qos == QualityOfService::unspecified ? bandOf(QualityOfService::standard)
                                              : static_cast<std::size_t>(qos) - 1;
}

void WorkerPool::submit(QualityOfService qos, Job job) {
  {
    std::lock_guard lock(mutex_);
    bands_[bandOf(qos)].push_back(std::move(job));
  }
  wakeup_.notify_one();
}

bool WorkerPool::takeJobOrWait(std::unique_lock<std::mutex>& lock, Job& job) {
  for (auto band = bands_.rbegin(); band != bands_.rend(); ++band) {
    if (!band->empty()) {
      job = std::move(band->front());
      band->pop_front();
      return true;
    }
  }
  wakeup_.wait(lock);
  return false;
}

void WorkerPool::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    Job job;
    if (!takeJobOrWait(lock, job)) {
      continue;
    }
    lock.unlock();
    runAsyncBlock(job, "a block on a global queue");
    job = nullptr;  // release the block's captures before taking the lock again
    lock.lock();
  }
}

}  // namespace platform
