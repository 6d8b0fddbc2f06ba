#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

// Records the calls of a completion handler that may run on any thread: how many there were, the first
// value and the thread it ran on.
namespace testsupport {

template <class T>
class Completions {
 public:
  void operator()(T value) {
    std::lock_guard lock(mutex_);
    if (++count_ == 1) {
      value_ = std::move(value);
      thread_ = std::this_thread::get_id();
    }
    changed_.notify_all();
  }
  // The first value, after waiting up to 15 s for it and then a little longer for any second call.
  T first() {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(15), [this] { return count_ > 0; });
    changed_.wait_for(lock, std::chrono::milliseconds(50), [this] { return count_ > 1; });
    return value_.value();
  }
  int count() const {
    std::lock_guard lock(mutex_);
    return count_;
  }
  std::thread::id thread() const {
    std::lock_guard lock(mutex_);
    return thread_;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  int count_ = 0;
  std::optional<T> value_;
  std::thread::id thread_;
};

}  // namespace testsupport
