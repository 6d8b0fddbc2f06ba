#pragma once

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

// Child processes for checks that might hang, crash or take all memory: the test process goes on.
namespace childprocess {

using Clock = std::chrono::steady_clock;

// A child process that runs `body` and exits with what it returns, or with 255 when an exception leaves it.
inline pid_t forked(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    try {
      ::_exit(body());
    } catch (...) {
      ::_exit(255);
    }
  }
  return child;
}

// The exit code of `child`; -1 when it ended otherwise (a signal, a crash) or had not ended by `deadline`
// (it is then killed).
inline int exitCodeOf(pid_t child, Clock::time_point deadline = Clock::time_point::max()) {
  int status = 0;
  for (;;) {
    const pid_t ended = ::waitpid(child, &status, deadline == Clock::time_point::max() ? 0 : WNOHANG);
    if (ended == child) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (ended < 0) return -1;
    if (Clock::now() >= deadline) {
      ::kill(child, SIGKILL);
      ::waitpid(child, nullptr, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
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
  std::ifstream status("/proc/self/status");
  std::string word;
  while (status >> word && word != "VmSize:") status.ignore(1 << 16, '\n');
  const rlim_t size = std::stoull((status >> word, word)) * 1024 + margin;
  const rlimit limit{size, size};
  return ::setrlimit(RLIMIT_AS, &limit) == 0;
}

}  // namespace childprocess
