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

  bool isZombie() const noexcept { return isZombieState(state); }
};

// The processes of /proc, read from /proc/[pid]/stat and, for the resident size, /proc/[pid]/statm. Kernel
// threads and zombies are listed too, as `ps -e` lists them.
class ProcessTable {
 public:
  ProcessTable(std::shared_ptr<const TextSource> source, std::uint64_t pageSize);

  // Fills `entries` with every process whose files could be read and parsed, in the order /proc lists
  // them, reusing the vector's elements and the storage of their names. With `residentMemory`, each
  // process's statm is read too, except for kernel threads and zombies, which have no memory of their own
  // (resident 0); without it, residentBytes is 0. A process that ends during the scan, or whose stat
  // names another pid than its directory, is left out. False, with `entries` emptied, when /proc cannot be
  // listed or holds no readable process (there is always one: the caller).
  bool scan(std::vector<ProcessEntry>& entries, bool residentMemory);

 private:
  std::shared_ptr<const TextSource> source_;
  std::uint64_t pageSize_;
  std::string path_;
};

}  // namespace platform
