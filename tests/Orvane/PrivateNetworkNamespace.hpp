#pragma once

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/platform/System/SystemFixtures.hpp"
#include "tests/support/ScratchDirectory.hpp"

namespace networktest {

// Why this process cannot make network namespaces of its own, or empty when it can.
inline std::string whyNoNetworkNamespaces() {
  if (::geteuid() != 0) return "needs root to create a network namespace (ip netns add)";
  if (::access("/proc/self/ns/net", F_OK) != 0) return "needs network namespaces (no /proc/self/ns/net)";
  if (systemtest::runCommand("command -v ip && command -v nsenter").status != 0) {
    return "needs ip (iproute2) and nsenter (util-linux) to set up a network namespace";
  }
  return {};
}

// A network namespace of the test's own ("ip netns add"), deleted with the object, together with every
// interface made in it. enter() moves the calling thread into it (tests run on the main thread, whose
// namespace /proc/self/net shows) until leave() or the end of the object. Commands run in it through
// nsenter, which needs no mountable "/" ("ip netns exec" and "ip -n" make "/" a slave mount first, which
// fails where it is no mount point, as in a plain chroot). The namespaces of test processes that died are
// deleted when the next one is made.
class PrivateNetworkNamespace {
 public:
  PrivateNetworkNamespace() {
    for (const std::string& path : testsupport::ScratchDirectory::leftovers(prefix, "/run/netns")) {
      run("ip netns delete " + std::filesystem::path(path).filename().string());
    }
    const systemtest::CommandResult added = systemtest::runCommand("ip netns add " + name_);
    if (added.status == 0)
      created_ = true;
    else
      error_ = "ip netns add failed: " + added.output;
  }
  ~PrivateNetworkNamespace() {
    leave();
    if (created_) run("ip netns delete " + name_);
  }
  PrivateNetworkNamespace(const PrivateNetworkNamespace&) = delete;
  PrivateNetworkNamespace& operator=(const PrivateNetworkNamespace&) = delete;

  bool created() const { return created_; }
  // What "ip netns add" said when it failed.
  const std::string& error() const { return error_; }
  const std::string& name() const { return name_; }

  // `command` as a shell command line that runs it inside the namespace.
  std::string inside(const std::string& command) const {
    return "nsenter --net=/run/netns/" + name_ + " " + command;
  }
  bool ip(const std::string& arguments) const { return run(inside("ip " + arguments)); }
  bool exec(const std::string& command) const { return run(inside(command)); }
  // Runs `commands`, one ip command a line ("link set v0 up"), through one "ip -batch" in the namespace.
  bool batch(const std::string& commands) const {
    FILE* input = ::popen(inside("ip -batch - >/dev/null 2>&1").c_str(), "w");
    if (input == nullptr) return false;
    const bool written = std::fputs(commands.c_str(), input) >= 0;
    return ::pclose(input) == 0 && written;
  }

  // Waits, up to five seconds, until `link` is operationally up with its queueing discipline attached: the
  // kernel does both a moment after the link comes up, and until then drops every frame sent on it.
  bool waitUntilUp(const std::string& link) const {
    return exec("sh -c 'for try in $(seq 100); do ip -o link show dev " + link +
                " | grep -v \"qdisc noop\" | grep -q \"state UP\" && exit 0; sleep 0.05; done; exit 1'");
  }

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

  static constexpr const char* prefix = "velmora-test";
  static inline std::atomic<int> counter_{0};
  std::string name_ =
      std::string(prefix) + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++);
  bool created_ = false;
  std::string error_;
  int original_ = -1;
};

}  // namespace networktest
