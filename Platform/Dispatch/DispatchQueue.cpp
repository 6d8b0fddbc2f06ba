#include "Platform/Dispatch/DispatchQueue.hpp"

#include <array>
#include <cassert>
#include <exception>
#include <stdexcept>

#include "Platform/Dispatch/AsyncBlock.hpp"
#include "Platform/Dispatch/DispatchSemaphore.hpp"
#include "Platform/Dispatch/RunLoop.hpp"
#include "Platform/Dispatch/WorkerPool.hpp"
#include "Platform/Foundation/FatalError.hpp"

namespace platform {

namespace {

// The private queues whose lock this thread holds, innermost first. The nodes live in the Hold objects
// on the stack of the frames that took the locks.
struct HeldQueue {
  const DispatchQueue* queue;
  const HeldQueue* outer;
};
thread_local const HeldQueue* innermostHeld = nullptr;

void requireBlock(const std::function<void()>& block) {
  if (!block) {
    throw std::invalid_argument("DispatchQueue: the block is empty");
  }
}

}  // namespace

// Takes a private queue's lock for the scope and records the queue in the thread's chain of held queues.
class DispatchQueue::Hold {
 public:
  enum class Mode { shared, exclusive, adoptExclusive };

  Hold(DispatchQueue& queue, Mode mode)
      : queue_(queue), shared_(mode == Mode::shared), node_{&queue, innermostHeld} {
    if (mode == Mode::shared) {
      queue_.lock_.lock_shared();
    } else if (mode == Mode::exclusive) {
      queue_.lock_.lock();
    }
    innermostHeld = &node_;
  }
  ~Hold() {
    innermostHeld = node_.outer;
    if (shared_) {
      queue_.lock_.unlock_shared();
    } else {
      queue_.lock_.unlock();
    }
  }
  Hold(const Hold&) = delete;
  Hold& operator=(const Hold&) = delete;

 private:
  DispatchQueue& queue_;
  const bool shared_;
  const HeldQueue node_;
};

std::shared_ptr<DispatchQueue> DispatchQueue::create(std::string label, Kind kind, QualityOfService qos) {
  if (kind != Kind::serial && kind != Kind::concurrent) {
    throw std::invalid_argument(
        "DispatchQueue::create makes serial or concurrent queues; use main() or global()");
  }
  return std::shared_ptr<DispatchQueue>(new DispatchQueue(std::move(label), kind, qos));
}

DispatchQueue& DispatchQueue::main() {
  // Leaked on purpose, like the main run loop it feeds.
  static const auto* const queue = new std::shared_ptr<DispatchQueue>(
      new DispatchQueue("main", Kind::main, QualityOfService::userInteractive));
  return **queue;
}

DispatchQueue& DispatchQueue::global(QualityOfService qos) {
  static const auto* const queues = [] {
    auto* made = new std::array<std::shared_ptr<DispatchQueue>, WorkerPool::bandCount>;
    const std::array<const char*, WorkerPool::bandCount> labels = {"global.background", "global.utility",
                                                                   "global.standard", "global.userInitiated",
                                                                   "global.userInteractive"};
    for (std::size_t band = 0; band < labels.size(); ++band) {
      (*made)[band].reset(
          new DispatchQueue(labels[band], Kind::global, static_cast<QualityOfService>(band + 1)));
    }
    return made;
  }();
  return *(*queues)[WorkerPool::bandOf(qos)];
}

DispatchQueue::DispatchQueue(std::string label, Kind kind, QualityOfService qos)
    : label_(std::move(label)), kind_(kind), qos_(qos) {}

DispatchQueue::~DispatchQueue() {
  // Every waiting block holds the queue alive through its drain job, so none can be left here.
  assert(waiting_.empty());
}

void DispatchQueue::async(std::function<void()> block) {
  requireBlock(block);
  switch (kind_) {
    case Kind::global: WorkerPool::shared().submit(qos_, std::move(block)); return;
    case Kind::main: RunLoop::main().perform(std::move(block)); return;
    case Kind::serial:
    case Kind::concurrent: enqueue(std::move(block), true); return;
  }
}

void DispatchQueue::asyncBarrier(std::function<void()> block, bool inlineIfIdle) {
  if (kind_ == Kind::global || kind_ == Kind::main) {
    async(std::move(block));  // a global queue has no barriers; the main queue runs one block at a time
    return;
  }
  requireBlock(block);
  // Never try the lock while this thread holds it (undefined for a shared_mutex): such a block is queued.
  if (inlineIfIdle && !isHeldByThisThread() && lock_.try_lock()) {
    Hold writer(*this, Hold::Mode::adoptExclusive);
    if (waitingCount_.load(std::memory_order_acquire) == 0) {
      runAsyncBlock(block, "a block on queue ", label_);
    } else {
      enqueue(std::move(block), false);
      drain();
    }
    return;
  }
  enqueue(std::move(block), true);
}

void DispatchQueue::runSync(detail::BlockRef block, bool barrier) {
  if (kind_ == Kind::global) {
    block();
    return;
  }
  if (kind_ == Kind::main) {
    runSyncOnMain(block);
    return;
  }
  if (isHeldByThisThread()) {
    failNestedSync();
  }
  if (kind_ == Kind::concurrent && !barrier) {
    if (waitingCount_.load(std::memory_order_acquire) != 0) {
      Hold writer(*this, Hold::Mode::exclusive);
      drain();
    }
    Hold reader(*this, Hold::Mode::shared);
    block();
    return;
  }
  Hold writer(*this, Hold::Mode::exclusive);
  drain();
  block();
}

void DispatchQueue::runSyncOnMain(detail::BlockRef block) {
  if (isMainThread()) {
    failNestedSync();
  }
  DispatchSemaphore done(0);
  std::exception_ptr failure;
  RunLoop::main().perform([&] {
    try {
      block();
    } catch (...) {
      failure = std::current_exception();
    }
    done.signal();
  });
  done.wait();
  if (failure) {
    std::rethrow_exception(failure);
  }
}

void DispatchQueue::failNestedSync() const {
  fatalError("synchronous call on queue " + label_ + " from a block already running on it");
}

bool DispatchQueue::isHeldByThisThread() const noexcept {
  for (const HeldQueue* held = innermostHeld; held != nullptr; held = held->outer) {
    if (held->queue == this) {
      return true;
    }
  }
  return false;
}

void DispatchQueue::enqueue(std::function<void()> block, bool scheduleDrain) {
  bool post = false;
  {
    std::lock_guard lock(waitingMutex_);
    waiting_.push_back(std::move(block));
    waitingCount_.fetch_add(1, std::memory_order_release);
    post = scheduleDrain && !drainScheduled_;
    drainScheduled_ = drainScheduled_ || post;
  }
  // One job at a time per queue is enough: until a drain finds the list empty, it takes every block added
  // meanwhile. The job holds the queue, so waiting blocks always run before the queue can be destroyed.
  if (post) {
    WorkerPool::shared().submit(qos_, [self = shared_from_this()] {
      Hold writer(*self, Hold::Mode::exclusive);
      self->drain();
    });
  }
}

void DispatchQueue::drain() {
  for (;;) {
    std::function<void()> block;
    {
      std::lock_guard lock(waitingMutex_);
      if (waiting_.empty()) {
        drainScheduled_ = false;
        return;
      }
      block = std::move(waiting_.front());
      waiting_.pop_front();
      waitingCount_.fetch_sub(1, std::memory_order_relaxed);
    }
    runAsyncBlock(block, "a block on queue ", label_);
  }
}

}  // namespace platform
