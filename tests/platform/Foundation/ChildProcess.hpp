#pragma once

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <new>

// Child processes for checks that might hang, crash or take all memory: the test process goes on.
namespace childprocess {

using Clock = std::chrono::steady_clock;

// A child process that runs `body` and exits with what it returns, or with 255 when an exception leaves it.
// One still running after `limit` seconds (none when 0) is ended by SIGALRM.
inline pid_t forked(const std::function<int()>& body, unsigned limit = 0) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::alarm(limit);
    try {
      ::_exit(body());
    } catch (...) {
      ::_exit(255);
    }
  }
  return child;
}

// The exit code of `child`; -1 when it ended otherwise (a signal, a crash, its time limit).
inline int exitCodeOf(pid_t child) {
  int status = 0;
  return ::waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Whether an address-space limit can hold: not under a sanitizer, which maps terabytes of shadow memory.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool addressSpaceCanBeLimited = false;
#else
inline constexpr bool addressSpaceCanBeLimited = true;
#endif

// Limits this process's address space to what it has mapped now and `margin` bytes more, so that a runaway
// allocation throws std::bad_alloc soon; false where it cannot.
inline bool limitAddressSpace(rlim_t margin) {
  if (!addressSpaceCanBeLimited) return false;
  rlim_t pages = 0;
  std::ifstream("/proc/self/statm") >> pages;  // the size mapped now
  const rlim_t size = pages * rlim_t(::sysconf(_SC_PAGESIZE)) + margin;
  const rlimit limit{size, size};
  return ::setrlimit(RLIMIT_AS, &limit) == 0;
}

// All the memory an address-space limit leaves, taken block by block down to the smallest: while it is held,
// every allocation fails. The blocks are chained through themselves, so holding them takes no more.
class AllMemory {
 public:
  AllMemory() {
    for (std::size_t size = 4096; size >= sizeof(void*); size -= sizeof(void*))
      for (void* block; (block = ::operator new(size, std::nothrow)) != nullptr; taken_ = block)
        *static_cast<void**>(block) = taken_;
  }
  ~AllMemory() {
    for (void* next; taken_ != nullptr; taken_ = next) {
      next = *static_cast<void**>(taken_);
      ::operator delete(taken_);
    }
  }
  AllMemory(const AllMemory&) = delete;
  AllMemory& operator=(const AllMemory&) = delete;

 private:
  void* taken_ = nullptr;
};

}  // namespace childprocess
