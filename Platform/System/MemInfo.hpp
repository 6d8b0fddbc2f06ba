#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace platform {

// The lines of /proc/meminfo that the memory monitor reads, in bytes (the file counts in kB of 1024
// bytes).
struct MemInfo {
  // Required: a text without any of these four is not a meminfo sample.
  std::uint64_t total = 0;     // MemTotal: usable physical memory
  std::uint64_t free = 0;      // MemFree
  std::uint64_t active = 0;    // Active
  std::uint64_t inactive = 0;  // Inactive
  // Optional: 0 when the kernel does not report the line.
  std::uint64_t unevictable = 0;        // Unevictable
  std::uint64_t slabUnreclaimable = 0;  // SUnreclaim
  std::uint64_t kernelStack = 0;        // KernelStack
  std::uint64_t pageTables = 0;         // PageTables
  std::uint64_t perCpu = 0;             // Percpu
  std::uint64_t zswap = 0;              // Zswap: the compressed pool of zswap
  // The anonymous and file halves of Inactive; absent when the kernel does not split it.
  std::optional<std::uint64_t> inactiveAnon;  // Inactive(anon)
  std::optional<std::uint64_t> inactiveFile;  // Inactive(file)
};

// Parses the text of /proc/meminfo. Lines may come in any order; the first line of a name counts; a line
// whose value is not a whole number of kB (or overflows 64 bits in bytes) counts as missing. Absent when a
// required line is missing.
std::optional<MemInfo> parseMemInfo(std::string_view text);

}  // namespace platform
