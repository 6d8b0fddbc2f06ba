#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/System/TextSource.hpp"

namespace platform {

// One line of /proc/self/mountinfo: a mount, in the order the kernel lists them (a mount comes after the
// mount it sits on). libmount reads the table: paths are unescaped ("\040" is a blank).
struct MountInfoEntry {
  std::uint64_t mountId = 0;
  // The device of the file system ("254:0"); major 0 is a device number the kernel made up (tmpfs, proc,
  // and also btrfs, whose block device is then only named by `source`).
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  // The directory of the file system that appears at the mount point: "/" for a whole file system, a
  // subdirectory for a bind mount of one.
  std::string root;
  std::string mountPoint;
  // "ext4", "vfat", "fuse.sshfs".
  std::string fileSystemType;
  // What was mounted: "/dev/vda", "tmpfs", "none"; may be empty.
  std::string source;
  // The btrfs subvolume mounted (its subvol= option, "/@"), read as the kernel means it: the escapes it
  // writes for blanks, commas and the like ("\054") undone. Empty for other file systems.
  std::string subvolume;
  // The mount or its file system is read-only: "ro" in the mount's options or in its file system's, or
  // "emergency_ro" in its file system's (ext4 after an error).
  bool isReadOnly = false;

  // Whether the mount shows the whole of its file system rather than a part of it (a bind mount of a
  // subdirectory): its root is "/", or it is a btrfs subvolume mounted by its subvol= option, which is the
  // root of its own tree.
  bool showsFileSystemRoot() const;

  bool operator==(const MountInfoEntry&) const = default;
};

// The mount table of a process.
struct MountInfo {
  std::vector<MountInfoEntry> entries;

  // The mount that is seen at `mountPoint` (the last one listed there: a later mount covers an earlier
  // one), or nullptr.
  const MountInfoEntry* visibleAt(std::string_view mountPoint) const;

  // Whether no earlier entry that is seen at its mount point is a mount of the same device, so that bind
  // mounts and repeated mounts of a file system count once, and a mount covered by another of its device
  // (a bind of its root over it) does not hide that one. `entry` must be one of `entries`.
  bool isFirstMountOfDevice(const MountInfoEntry& entry) const;

  // The entries of mountinfo text, parsed by libmount; lines that are not well formed are left out.
  static MountInfo parse(std::string_view text);

  // The table of the calling process (/proc/self/mountinfo), or absent when it cannot be read.
  static std::optional<MountInfo> read(const TextSource& source);
};

}  // namespace platform
