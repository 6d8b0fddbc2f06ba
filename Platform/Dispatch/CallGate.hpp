#pragma once

#include <condition_variable>
#include <mutex>
#include <utility>

namespace platform {

// Lets calls through until it is closed; closing waits for the calls that are running, so once close()
// returns no call runs or starts. A call that closes its own gate does not wait for itself. Used by
// sources whose posted callbacks must stop for good when their owner does.
class CallGate {
 public:
  CallGate() = default;
  CallGate(const CallGate&) = delete;
  CallGate& operator=(const CallGate&) = delete;

  // Runs call() unless the gate is closed; false when it was closed.
  template <class F>
  bool run(F&& call) {
    if (!enter()) return false;
    CallGate* const outer = std::exchange(runningHere, this);
    try {
      std::forward<F>(call)();
    } catch (...) {
      leave(outer);
      throw;
    }
    leave(outer);
    return true;
  }

  // Closes for good and waits for the running calls (other than the caller's own); calling it again only
  // waits again.
  void close();

 private:
  bool enter();
  void leave(CallGate* outer);

  static thread_local CallGate* runningHere;  // the gate whose call this thread is running

  std::mutex mutex_;
  std::condition_variable idle_;
  bool closed_ = false;
  int running_ = 0;
};

}  // namespace platform
