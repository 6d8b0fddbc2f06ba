#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "Platform/System/TextSource.hpp"

namespace platform {

// The machine's memory as the memory monitor shows it, in bytes, from /proc/meminfo and the zram devices.
//
// Active memory is Active plus Inactive(anon): anonymous memory cannot be dropped without swap, and recent
// kernels put new anonymous pages on the inactive list, so a program's fresh allocation would otherwise
// not count as used. Inactive memory is then Inactive(file), the file cache the kernel can drop. Where
// meminfo does not split Inactive, active is Active and inactive is Inactive.
//
// Linux keeps no count of "wired" memory; the nearest is the memory the kernel neither pages out nor
// reclaims: Unevictable + SUnreclaim + KernelStack + PageTables + Percpu. None of these pages is on the
// active or inactive lists, so nothing is counted twice. Compressed memory is the zswap pool plus the
// memory that every zram device uses for its compressed pages (mm_stat's mem_used_total).
struct HostMemory {
  std::uint64_t physical = 0;  // MemTotal
  std::uint64_t free = 0;
  std::uint64_t active = 0;
  std::uint64_t inactive = 0;
  std::uint64_t wired = 0;
  std::uint64_t compressed = 0;
};

// The memory a zram device uses for its compressed pages: the third field (mem_used_total, in bytes) of
// /sys/block/zram<N>/mm_stat. Absent when the text has no such number.
std::optional<std::uint64_t> parseZramMemoryUsed(std::string_view mmStat);

// Reads /proc/meminfo and the mm_stat of every zram device in /sys/block. Absent when /proc/meminfo cannot
// be read or parsed; a zram device whose mm_stat cannot be read counts as using nothing.
std::optional<HostMemory> readHostMemory(const TextSource& source);

// The machine's physical memory as sysinfo(2) gives it (the MemTotal of meminfo), for when /proc/meminfo
// cannot be read; 0 when sysinfo fails.
std::uint64_t sysinfoPhysicalMemory();

}  // namespace platform
