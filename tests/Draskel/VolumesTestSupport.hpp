#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>

#include "Draskel/VolumesController.hpp"
#include "Draskel/VolumesDelegate.hpp"
#include "Platform/Dispatch/MainThread.hpp"
#include "Platform/Dispatch/RunLoop.hpp"

namespace volumetest {

// One call a listener received, with the thread it came on.
struct VolumesEvent {
  std::string kind;  // "added", "removed", "updated", "ejectStarted", "ejectFailed"
  std::shared_ptr<Draskel::Volume> volume;
  std::error_code error;
  std::thread::id thread;
  bool onMainThread = false;
};

// A listener that records every call. Each call also wakes the main run loop, so a test pumping it sees
// calls from other threads at once.
class RecordingDelegate final : public Draskel::VolumesDelegate {
  using VolumeRef = std::shared_ptr<Draskel::Volume>;

 public:
  void volumeRemoved(const VolumeRef& volume) override { record("removed", volume); }
  void ejectFailed(const VolumeRef& volume, const std::error_code& error) override {
    record("ejectFailed", volume, error);
  }
  void volumeAdded(const VolumeRef& volume) override { record("added", volume); }
  void ejectStarted(const VolumeRef& volume) override { record("ejectStarted", volume); }
  void volumesUpdated() override { record("updated", nullptr); }

  // The calls of `kind` ("" for all), in order.
  std::vector<VolumesEvent> eventsOf(const std::string& kind = "") const {
    std::lock_guard lock(mutex_);
    std::vector<VolumesEvent> matching;
    for (const auto& event : events_) {
      if (kind.empty() || event.kind == kind) matching.push_back(event);
    }
    return matching;
  }
  std::size_t count(const std::string& kind) const { return eventsOf(kind).size(); }
  void clear() {
    std::lock_guard lock(mutex_);
    events_.clear();
  }

 private:
  void record(std::string kind, VolumeRef volume, std::error_code error = {}) {
    {
      std::lock_guard lock(mutex_);
      events_.push_back(
          {std::move(kind), std::move(volume), error, std::this_thread::get_id(), platform::isMainThread()});
    }
    platform::RunLoop::main().perform([] {});
  }

  mutable std::mutex mutex_;
  std::vector<VolumesEvent> events_;
};

// Pumps the main run loop until `condition` holds; false after ten seconds without.
inline bool pumpUntil(const std::function<bool()>& condition) {
  return platform::RunLoop::main().runUntil(condition, std::chrono::seconds(10));
}

// Runs whatever the main queue holds now.
inline void pumpMainQueue() {
  bool drained = false;
  platform::DispatchQueue::main().async([&] { drained = true; });
  pumpUntil([&] { return drained; });
}

// A thread starter for controllers under test: it counts the threads and joins them, and the threads they
// start, when asked and when it is destroyed. Make it before the controller, so that it outlives it.
class JoiningThreads {
 public:
  ~JoiningThreads() { joinAll(); }

  Draskel::VolumesController::ThreadStarter starter() {
    return [this](std::function<void()> body) {
      std::lock_guard lock(mutex_);
      ++started_;
      threads_.emplace_back(std::move(body));
    };
  }

  // Joins every thread started so far and every thread those start, until none is left.
  void joinAll() {
    for (std::vector<std::thread> running;; running.clear()) {
      {
        std::lock_guard lock(mutex_);
        running.swap(threads_);
      }
      if (running.empty()) return;
      for (std::thread& thread : running) thread.join();
    }
  }

  int started() const {
    std::lock_guard lock(mutex_);
    return started_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::thread> threads_;
  int started_ = 0;
};

}  // namespace volumetest
