#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Platform/System/ProcessStat.hpp"
#include "Platform/System/TextSource.hpp"

namespace platform {

// One process of the process table.
struct ProcessEntry {
  std::int32_t pid = 0;
  std::int32_t ppid = 0;
  char state = '?';
  std::string name;            // raw bytes of the command name, not necessarily UTF-8
  std::uint64_t cpuTicks = 0;  // user + system time, in clock ticks
  std::int64_t threads = 0;
  std::uint64_t residentBytes = 0;
  // Not in the previous successful scan: a new pid, or a reused one (another start time).
  bool isNew = true;

  bool isZombie() const noexcept { return isZombieState(state); }
};

// The processes of /proc, read from /proc/[pid]/stat and, for the resident size, /proc/[pid]/statm. Kernel
// threads and zombies are listed too, as `ps -e` lists them. Scans reuse their storage: once it has grown to
// the machine's process count, a scan allocates nothing. The resident size of a process changes only while
// it runs, so it is read again only for a process that is new (a pid the previous scan did not see, or saw
// with another start time), that used processor time since the previous scan, or whose size was read
// residentRereadInterval seconds ago or more; otherwise its last size stands.
class ProcessTable {
 public:
  static constexpr double residentRereadInterval = 10;

  ProcessTable(std::shared_ptr<const TextSource> source, std::uint64_t pageSize);

  // Fills `entries` with every process whose files could be read and parsed, in the order /proc lists
  // them, reusing the vector's elements and the storage of their names. With `residentMemory`, resident
  // sizes come from statm as above (at `now`, seconds on a monotonic clock), except for kernel threads and
  // zombies, which have no memory of their own (resident 0); without it, residentBytes is 0. A process that
  // ends during the scan, or whose stat names another pid than its directory, is left out. False, with
  // `entries` emptied, when /proc cannot be listed or holds no readable process (there is always one: the
  // caller); the previous successful scan then stays the one that entries are new against.
  bool scan(std::vector<ProcessEntry>& entries, bool residentMemory, double now);

 private:
  // What a scan learnt of one process, for the next scan.
  struct Seen {
    std::int32_t pid = 0;
    std::uint64_t startTime = 0;
    std::uint64_t cpuTicks = 0;
    std::uint64_t residentBytes = 0;
    double residentReadAt = 0;  // -infinity: never read
  };
  // The previous scan's record of the process, or null.
  const Seen* previous(std::int32_t pid, std::uint64_t startTime) const;
  // The resident size of the process whose stat path_ holds: the last one (of `before`, its record in the
  // previous scan), or statm's when it must be read again (noted in `seen`); absent when statm cannot be
  // read.
  std::optional<std::uint64_t> residentBytes(const Seen* before, double now, Seen& seen);

  std::shared_ptr<const TextSource> source_;
  std::uint64_t pageSize_;
  // Sorted by pid; swapped after each scan.
  std::vector<Seen> previous_;
  std::vector<Seen> current_;
  std::vector<std::string> names_;
  std::string path_;
  std::string buffer_;
};

}  // namespace platform
