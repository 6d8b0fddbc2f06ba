#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace platform {

// A zombie or dead process ('Z' or 'X'), which has given back its memory and keeps only its exit status.
constexpr bool isZombieState(char state) noexcept { return state == 'Z' || state == 'X'; }

// The fields of /proc/[pid]/stat that the process list reads.
struct ProcessStat {
  static constexpr std::uint64_t kernelThreadFlag = 0x00200000;  // PF_KTHREAD

  std::int32_t pid = 0;
  // The command name (at most 15 bytes, or 63 for kernel threads): the bytes between the first "(" and the
  // last ")", so a name may itself hold parentheses, blanks or line ends. A view into the parsed text.
  std::string_view name;
  char state = '?';  // R, S, D, Z, X, I, T, t...
  std::int32_t ppid = 0;
  std::uint64_t userTicks = 0;    // utime, in clock ticks
  std::uint64_t systemTicks = 0;  // stime, in clock ticks
  std::int64_t threads = 0;       // num_threads
  std::uint64_t startTime = 0;    // starttime: clock ticks from boot to the start; tells reused pids apart
  std::uint64_t flags = 0;        // the kernel's PF_* flags of the task

  // A kernel thread has no memory of its own: its resident size is 0 without asking.
  bool isKernelThread() const noexcept { return (flags & kernelThreadFlag) != 0; }
  bool isZombie() const noexcept { return isZombieState(state); }
};

// Parses the text of /proc/[pid]/stat. Absent when the text ends before the 23rd field (so that the 22nd,
// starttime, is known to be whole), the name is not enclosed in parentheses, or a field read is not a
// number in range (pid and ppid: 0 to 2^31 - 1).
//
// The resident size is not taken from stat's rss field: on recent kernels it is a fast reading of
// per-processor counters that can be off by hundreds of pages, where statm's resident column is exact.
std::optional<ProcessStat> parseProcessStat(std::string_view text);

// The resident size in pages from the text of /proc/[pid]/statm: its second column. Absent when the text
// ends before the third column (so that the second is known to be whole) or the column is not a number.
std::optional<std::uint64_t> parseStatmResidentPages(std::string_view text);

}  // namespace platform
