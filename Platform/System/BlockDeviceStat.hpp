#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/System/TextSource.hpp"

namespace platform {

// The read and write counters of a block device since it appeared, as /sys/block/<disk>/stat and
// /proc/diskstats give them (fields 1, 3, 4, 5, 7 and 8 of the eleven every kernel writes). Sectors are
// always units of 512 bytes, whatever the device's own block size.
struct BlockDeviceStat {
  static constexpr std::uint64_t sectorSize = 512;

  std::uint64_t readsCompleted = 0;
  std::uint64_t sectorsRead = 0;
  std::uint64_t readMilliseconds = 0;
  std::uint64_t writesCompleted = 0;
  std::uint64_t sectorsWritten = 0;
  std::uint64_t writeMilliseconds = 0;

  // Sectors times 512, saturated at the largest 64-bit value.
  std::uint64_t bytesRead() const;
  std::uint64_t bytesWritten() const;

  // The counters of a stat file: at least eleven whitespace-separated decimal numbers. Absent when there
  // are fewer or one of the first eleven is not a number that fits 64 bits.
  static std::optional<BlockDeviceStat> parse(std::string_view text);

  // The counters of the whole disk or partition `name` from /sys/class/block/<name>/stat; absent when the
  // file cannot be read or parsed, or `name` is not a plain device name.
  static std::optional<BlockDeviceStat> read(const TextSource& source, std::string_view name);

  bool operator==(const BlockDeviceStat&) const = default;
};

// One line of /proc/diskstats: "major minor name" and the counters.
struct DiskStatsEntry {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::string name;
  BlockDeviceStat stat;

  bool operator==(const DiskStatsEntry&) const = default;
};

// The lines of /proc/diskstats text, in order; lines that are not well formed are left out.
std::vector<DiskStatsEntry> parseDiskStats(std::string_view text);

// The counters of every block device from /proc/diskstats, or absent when it cannot be read.
std::optional<std::vector<DiskStatsEntry>> readDiskStats(const TextSource& source);

// Whether `name` can be a block device's name in /sys: not empty, not "." or "..", no "/" and no NUL.
bool isPlainDeviceName(std::string_view name);

}  // namespace platform
