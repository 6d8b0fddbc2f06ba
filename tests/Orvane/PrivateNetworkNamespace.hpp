#pragma once

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>

namespace networktest {

// A network namespace of the test's own ("ip netns add"), deleted with the object, together with every
// interface made in it. enter() moves the calling thread into it (tests run on the main thread, whose
// namespace /proc/self/net shows) until leave() or the end of the object.
class PrivateNetworkNamespace {
 public:
  PrivateNetworkNamespace() = default;
  ~PrivateNetworkNamespace() {
    leave();
    if (created_) run("ip netns delete " + name_);
  }
  PrivateNetworkNamespace(const PrivateNetworkNamespace&) = delete;
  PrivateNetworkNamespace& operator=(const PrivateNetworkNamespace&) = delete;

  bool created() const { return created_; }
  const std::string& name() const { return name_; }

  bool ip(const std::string& arguments) const { return run("ip -n " + name_ + " " + arguments); }
  bool exec(const std::string& command) const { return run("ip netns exec " + name_ + " " + command); }

  bool enter() {
    if (original_ >= 0) return true;
    original_ = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    int target = ::open(("/run/netns/" + name_).c_str(), O_RDONLY | O_CLOEXEC);
    bool entered = original_ >= 0 && target >= 0 && ::setns(target, CLONE_NEWNET) == 0;
    if (target >= 0) ::close(target);
    if (!entered) leave();
    return entered;
  }

  void leave() {
    if (original_ < 0) return;
    ::setns(original_, CLONE_NEWNET);
    ::close(original_);
    original_ = -1;
  }

 private:
  static bool run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
  }

  static inline std::atomic<int> counter_{0};
  std::string name_ = "velmora-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++);
  bool created_ = run("ip netns add " + name_);
  int original_ = -1;
};

}  // namespace networktest
