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

WorkerPool::WorkerPool(std::size_t threads) : threadCount_(threads) {
  for (std::size_t i = 0; i < threads; ++i) {
    std::thread([this] { work(); }).detach();
  }
}

std::size_t WorkerPool::bandOf(QualityOfService qos) noexcept {
  // The classes after `unspecified` are declared from the least urgent to the most.
  return qos == QualityOfService::unspecified ? bandOf(QualityOfService::standard)
                                              : static_cast<std::size_t>(qos) - 1;
}

bool WorkerPool::later(const Delayed& a, const Delayed& b) noexcept {
  return a.due != b.due ? a.due > b.due : a.order > b.order;
}

void WorkerPool::submit(QualityOfService qos, Job job) {
  {
    std::lock_guard lock(mutex_);
    bands_[bandOf(qos)].push_back(std::move(job));
  }
  wakeup_.notify_one();
}

void WorkerPool::submitAt(TimePoint due, QualityOfService qos, Job job) {
  {
    std::lock_guard lock(mutex_);
    delayed_.push_back(Delayed{due, nextOrder_++, bandOf(qos), std::move(job)});
    std::push_heap(delayed_.begin(), delayed_.end(), later);
  }
  // Every idle worker waits either for work or for the earliest due time; a woken one re-reads both.
  wakeup_.notify_one();
}

bool WorkerPool::takeJobOrWait(std::unique_lock<std::mutex>& lock, Job& job) {
  const auto now = std::chrono::steady_clock::now();
  while (!delayed_.empty() && delayed_.front().due <= now) {
    std::pop_heap(delayed_.begin(), delayed_.end(), later);
    bands_[delayed_.back().band].push_back(std::move(delayed_.back().job));
    delayed_.pop_back();
  }
  for (auto band = bands_.rbegin(); band != bands_.rend(); ++band) {
    if (!band->empty()) {
      job = std::move(band->front());
      band->pop_front();
      return true;
    }
  }
  if (delayed_.empty()) {
    wakeup_.wait(lock);
  } else {
    wakeup_.wait_until(lock, delayed_.front().due);
  }
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
