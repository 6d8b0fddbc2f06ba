#pragma once

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "Platform/Dispatch/FileDescriptor.hpp"
#include "Platform/Dispatch/Timer.hpp"

namespace platform {

// A thread's event loop: timers, blocks performed from any thread, and descriptors to watch for reading.
// Each thread has its own (current()); main() belongs to the process's initial thread. Only the owning
// thread runs a loop; perform, add, addReadSource, removeSource and stop may be called from any thread.
//
// One pass waits until the earliest fire date of a timer, a wake-up (a performed block, a timer added or
// invalidated, stop) or a ready descriptor, but no longer than its maximum wait and not at all when work is
// already due. It then fires the due timers in fire-date order, runs the blocks that
// were performed before the pass began (in order; blocks performed meanwhile wait for the next pass) and
// calls the read sources that are ready.
class RunLoop {
 public:
  // The modes a timer or source is registered in. A loop runs only in the default mode, which `common` (the
  // modes every run takes part in) includes, so both register alike.
  enum class Mode : std::uint8_t { defaultMode, common };
  using SourceId = std::uint64_t;
  using Duration = std::chrono::nanoseconds;

  static RunLoop& main();
  // The calling thread's loop, made on first use; main() on the initial thread. A thread's loop is
  // destroyed when the thread exits, which invalidates its timers and drops blocks not yet run.
  static RunLoop& current();

  ~RunLoop();
  RunLoop(const RunLoop&) = delete;
  RunLoop& operator=(const RunLoop&) = delete;

  // Schedules timer, which starts its first interval now. Adding a timer that is already here or an
  // invalidated one changes nothing. Throws std::invalid_argument for a null timer and
  // std::logic_error when the timer is on another loop.
  void add(std::shared_ptr<Timer> timer, Mode mode);
  // Runs block on the loop's thread during a later pass. Throws std::invalid_argument when it is empty.
  void perform(std::function<void()> block);
  // Calls onReadable on each pass while fd is readable (or at end of file or in
  // error); it should read, or remove the source. Remove a source before closing its descriptor. Throws
  // std::invalid_argument for an empty callback and std::system_error when fd cannot be watched (closed, a
  // regular file, already watched by this loop).
  SourceId addReadSource(int fd, std::function<void()> onReadable, Mode mode = Mode::defaultMode);
  // Stops watching; unknown or already removed ids are ignored. On the owning thread, the callback is not
  // called after this returns.
  void removeSource(SourceId id);

  // One pass, waiting at most maxWait. The run functions stop with a fatal error on a thread that does
  // not own the loop.
  void runOnce(Duration maxWait);
  // Passes until duration has passed or stop() is called.
  void runFor(Duration duration);
  // Passes until predicate holds (true), timeout passes or stop() is called (false). The predicate is
  // checked before the first pass and after each one.
  bool runUntil(const std::function<bool()>& predicate, Duration timeout);
  // Passes until stop() is called.
  void run();
  // Makes the running (or else the next) run, runFor or runUntil return after its current pass.
  void stop();

 private:
  friend class Timer;  // wakes the loop when invalidated
  using Clock = std::chrono::steady_clock;
  struct Source {
    int fd;
    std::shared_ptr<const std::function<void()>> onReadable;
  };

  // owner is the thread id that runs the loop; 0 means the process's initial thread.
  explicit RunLoop(pid_t owner);
  void requireRunnable() const;
  // Sleeps as the pass allows and returns the sources found ready.
  std::vector<SourceId> waitForWork(Duration maxWait);
  Clock::time_point wakeTime(Clock::time_point now, Duration maxWait);
  void fireDueTimers();
  void callSources(const std::vector<SourceId>& ready);
  void wake() noexcept;
  bool takeStopRequest() noexcept { return stopRequested_.exchange(false); }

  const pid_t owner_;
  const FileDescriptor wakeFd_;   // eventfd: performs, added or invalidated timers, stop
  const FileDescriptor timerFd_;  // CLOCK_MONOTONIC timerfd armed at the pass's wake time
  const FileDescriptor poll_;
  std::mutex mutex_;
  std::vector<std::function<void()>> performs_;
  std::vector<std::shared_ptr<Timer>> timers_;
  std::unordered_map<SourceId, Source> sources_;
  SourceId nextSourceId_;
  std::atomic<bool> stopRequested_{false};
};

}  // namespace platform
