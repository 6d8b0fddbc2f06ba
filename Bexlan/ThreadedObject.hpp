#pragma once

#include <memory>
#include <string>
#include <type_traits>
#include <utility>

#include "Bexlan/ThreadingType.hpp"
#include "Platform/Dispatch/DispatchQueue.hpp"

namespace Bexlan {

// The label of the next guarded value's queue: "com.threading.dispatchqueue_" followed by a process-wide
// count of the queues made so far, shared by every element type.
std::string nextThreadedQueueLabel();

// One value that callers read and change only through closures run on the object's own dispatch queue.
// Reads are synchronous (in parallel on a concurrent queue); writes are barriers. A write submitted by a
// thread is seen by every later read of that thread, although the asynchronous write returns at once.
template <class T>
class ThreadedObject {
 public:
  ThreadedObject(T value, ThreadingType threadingType)
      : state_(std::make_shared<State>(std::move(value), threadingType)), threadingType_(threadingType) {}
  virtual ~ThreadedObject() = default;
  ThreadedObject(const ThreadedObject&) = delete;
  ThreadedObject& operator=(const ThreadedObject&) = delete;

  ThreadingType threadingType() const noexcept { return threadingType_; }
  const std::shared_ptr<platform::DispatchQueue>& queue() const noexcept { return state_->queue; }

  // Submits `change` as a barrier and returns at once; it runs inline when the queue is idle. The value
  // stays alive until the change has run, even if this object is released first.
  template <class F>
  void asyncWrite(F&& change) {
    state_->queue->asyncBarrier(
        [state = state_, change = std::forward<F>(change)]() mutable { change(state->value); },
        /*inlineIfIdle=*/true);
  }

  // Runs `read` with the value and hands back its result. A closure must not call syncRead or syncWrite of
  // the same object: that stops the process naming the queue.
  template <class F>
  std::invoke_result_t<F, const T&> syncRead(F&& read) const {
    return state_->queue->sync([&]() -> decltype(auto) { return read(std::as_const(state_->value)); });
  }

  // Runs `change` alone on the queue, with the value to change in place, and hands back its result.
  template <class F>
  std::invoke_result_t<F, T&> syncWrite(F&& change) {
    return state_->queue->syncBarrier([&]() -> decltype(auto) { return change(state_->value); });
  }

 private:
  struct State {
    State(T initial, ThreadingType type)
        : value(std::move(initial)),
          queue(platform::DispatchQueue::create(nextThreadedQueueLabel(),
                                                type == ThreadingType::serial
                                                    ? platform::DispatchQueue::Kind::serial
                                                    : platform::DispatchQueue::Kind::concurrent)) {}
    T value;
    std::shared_ptr<platform::DispatchQueue> queue;
  };

  std::shared_ptr<State> state_;
  ThreadingType threadingType_;
};

}  // namespace Bexlan
