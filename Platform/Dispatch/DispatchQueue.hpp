#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <type_traits>
#include <utility>

#include "Platform/Dispatch/MainThread.hpp"
#include "Platform/Dispatch/QualityOfService.hpp"
#include "Platform/Dispatch/SyncCall.hpp"

namespace platform {

// A queue of blocks with the ordering of a dispatch queue, without a thread of its own.
//
// Private queues (serial, concurrent): every block other than a synchronous read of a concurrent queue runs
// alone, in submission order; synchronous reads of a concurrent queue may overlap one another. A synchronous
// call runs on the caller's thread after every block submitted before it, so a thread always reads its own
// earlier writes. A synchronous call from a block that the queue is running stops the process with a fatal
// error naming the queue's label (it could never complete).
//
// Global queues run asynchronous blocks on the worker pool in their quality-of-service band and
// synchronous ones at once on the caller's thread. The main queue runs its blocks on the main run loop.
class DispatchQueue : public std::enable_shared_from_this<DispatchQueue> {
 public:
  enum class Kind : std::uint8_t { serial, concurrent, main, global };

  // A private queue. Throws std::invalid_argument for Kind::main or Kind::global (use main(), global()).
  static std::shared_ptr<DispatchQueue> create(std::string label, Kind kind,
                                               QualityOfService qos = QualityOfService::unspecified);
  // The queue of the main run loop, labelled "main"; it lives as long as the process.
  static DispatchQueue& main();
  // The global queue of a band (unspecified is the standard band); it lives as long as the process.
  static DispatchQueue& global(QualityOfService qos = QualityOfService::standard);

  ~DispatchQueue();
  DispatchQueue(const DispatchQueue&) = delete;
  DispatchQueue& operator=(const DispatchQueue&) = delete;

  const std::string& label() const noexcept { return label_; }
  Kind kind() const noexcept { return kind_; }

  // Runs block and returns its result; an exception it throws reaches the caller. On the main queue from
  // another thread, waits for the main run loop to run it.
  template <class F>
  std::invoke_result_t<F> sync(F&& block) {
    return callSync(block, false);
  }
  // As sync, but the block runs alone: after every block submitted before it, before every one after it.
  template <class F>
  std::invoke_result_t<F> syncBarrier(F&& block) {
    return callSync(block, true);
  }
  // Submits block and returns at once; it never runs on the caller's thread during the call. Blocks stay
  // alive, with what they capture, until they have run; an exception escaping one is a fatal error.
  // Throws std::invalid_argument for an empty block.
  void async(std::function<void()> block);
  // As async, but the block runs alone. With inlineIfIdle, a private queue that nothing is running runs
  // it at once on the caller's thread; a busy queue never makes the caller wait.
  void asyncBarrier(std::function<void()> block, bool inlineIfIdle = false);

 private:
  class Hold;

  DispatchQueue(std::string label, Kind kind, QualityOfService qos);

  template <class F>
  std::invoke_result_t<F> callSync(F& block, bool barrier) {
    using Result = std::invoke_result_t<F>;
    if constexpr (std::is_void_v<Result>) {
      runSync(detail::BlockRef(block), barrier);
    } else {
      detail::SyncResult<Result> result;
      auto produce = [&] { result.produce(block); };
      runSync(detail::BlockRef(produce), barrier);
      return result.take();
    }
  }

  void runSync(detail::BlockRef block, bool barrier);
  void runSyncOnMain(detail::BlockRef block);
  [[noreturn]] void failNestedSync() const;
  bool isHeldByThisThread() const noexcept;
  // Appends block to the waiting list. With scheduleDrain, also makes sure a pool job will drain the list.
  void enqueue(std::function<void()> block, bool scheduleDrain);
  // Runs waiting blocks in order until none is left; the caller holds the exclusive lock.
  void drain();

  const std::string label_;
  const Kind kind_;
  const QualityOfService qos_;
  std::shared_mutex lock_;  // private queues: shared for synchronous reads, exclusive for everything else
  std::mutex waitingMutex_;
  std::deque<std::function<void()>> waiting_;
  std::atomic<std::size_t> waitingCount_{0};  // waiting_.size(), readable without the mutex
  bool drainScheduled_ = false;               // a pool job will drain waiting_; under waitingMutex_
};

}  // namespace platform
