#pragma once

#include <sys/statvfs.h>

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// The sizes of the file system that holds a path, in bytes, as statvfs gives them and `df -B1` shows them.
struct FileSystemSize {
  // Every block of the file system (df's "size").
  std::uint64_t totalBytes = 0;
  // Blocks an unprivileged user may still fill (df's "avail"): the free blocks less those kept for root.
  std::uint64_t availableBytes = 0;
  // Mounted read-only, or the file system itself is.
  bool isReadOnly = false;

  // The sizes of a statvfs result: block counts times the fragment size (the block size when the fragment
  // size is 0), saturated at the largest 64-bit value.
  static FileSystemSize from(const struct statvfs& status);

  // The sizes of the file system at `path`, or absent when statvfs fails.
  static std::optional<FileSystemSize> read(const std::string& path);

  bool operator==(const FileSystemSize&) const = default;
};

}  // namespace platform
