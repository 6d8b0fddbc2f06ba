#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "Platform/System/TextSource.hpp"

namespace platform {

// Processor time in clock ticks (USER_HZ), in the four counters the monitors show. From the ten columns
// of a /proc/stat "cpu" line: user = user; nice = nice; system = system + irq + softirq + steal;
// idle = idle + iowait. Guest time is already inside user and nice and is not added again.
struct CpuTicks {
  std::uint64_t user = 0;
  std::uint64_t nice = 0;
  std::uint64_t system = 0;
  std::uint64_t idle = 0;

  bool operator==(const CpuTicks&) const = default;
};

// The counters of one processor, from its "cpu<number>" line.
struct ProcessorTicks {
  unsigned number = 0;
  CpuTicks ticks;

  bool operator==(const ProcessorTicks&) const = default;
};

// What the monitors read from /proc/stat.
struct CpuStat {
  // The "cpu " line: all processors together.
  CpuTicks total;
  // One per "cpu<N>" line, in file order; the kernel lists online processors only.
  std::vector<ProcessorTicks> perCpu;
  // "btime": seconds since 1970.
  std::optional<std::int64_t> bootTime;

  // The counters of processor `number`, or null when the file has no line for it.
  const CpuTicks* processor(unsigned number) const noexcept;
};

// Parses the text of /proc/stat into `stat`, reusing its storage. A "cpu" line needs at least the four
// columns user, nice, system and idle; missing later columns count as 0; a line with a column that is not
// a number, and a last line without its line end, are left out. False (and `stat` unspecified) when the
// text has no valid "cpu " line.
bool parseCpuStat(std::string_view text, CpuStat& stat);

// Reads and parses /proc/stat; false when it cannot be read or parsed.
bool readCpuStat(const TextSource& source, CpuStat& stat);

}  // namespace platform
