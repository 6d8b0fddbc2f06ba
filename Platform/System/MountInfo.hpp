#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Platform/System/TextSource.hpp"

namespace platform {

// One line of /proc/self/mountinfo: a mount, in the order the kernel lists them (mostly the order they were
// made in). libmount reads the table: paths are unescaped ("\040" is a blank).
struct MountInfoEntry {
  std::uint64_t mountId = 0;
  // The mount this one sits on: the one that holds its mount point, or the one it covers at the same mount
  // point. It may be missing from the table (the mount at "/", mounts outside a chroot).
  std::uint64_t parentId = 0;
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

  // The mount that is seen at `mountPoint` (see MountIndex), or nullptr. Indexes the table anew: for many
  // questions, ask a MountIndex.
  const MountInfoEntry* visibleAt(std::string_view mountPoint) const;

  // Whether no earlier entry that is seen at its mount point is a mount of the same device (see
  // MountIndex). `entry` must be one of `entries`.
  bool isFirstMountOfDevice(const MountInfoEntry& entry) const;

  // The entries of mountinfo text, parsed by libmount; lines that are not well formed are left out.
  static MountInfo parse(std::string_view text);

  // The table of the calling process (/proc/self/mountinfo), or absent when it cannot be read.
  static std::optional<MountInfo> read(const TextSource& source);
};

// What a mount table tells of the mounts seen, made in one pass over it, each question then answered in
// constant time, so that a listing that asks about every mount point costs time linear in the table.
//
// The mount seen at a mount point is the one on top there: no mount of the table sits on it at the same
// mount point, and the mount it sits on is seen itself (or is missing from the table, as the mount at "/"
// is). The order of the lines does not tell it: a mount that propagation or move_mount places beneath
// another comes after it. Where a table names two mounts at one point with neither on the other, the later
// one counts.
class MountIndex {
 public:
  // An index of `table`, which must stay as it is for the index's lifetime.
  explicit MountIndex(const MountInfo& table);
  MountIndex(const MountIndex&) = delete;
  MountIndex& operator=(const MountIndex&) = delete;

  // The mount seen at `mountPoint`, or nullptr.
  const MountInfoEntry* visibleAt(std::string_view mountPoint) const;
  // Whether no earlier entry that is seen at its mount point is a mount of the same device, so that bind
  // mounts and repeated mounts of a file system count once, and a mount covered by another of its device
  // (a bind of its root over it) does not hide that one. False for an entry not of the table.
  bool isFirstMountOfDevice(const MountInfoEntry& entry) const;

 private:
  const MountInfo& table_;
  std::unordered_map<std::string_view, const MountInfoEntry*> visible_;
  std::vector<bool> firstOfDevice_;  // by the entries' order
};

}  // namespace platform
