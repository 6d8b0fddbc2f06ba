#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Platform/System/MountInfo.hpp"
#include "Platform/System/TextSource.hpp"
#include "Platform/System/UdevDatabase.hpp"

namespace platform {

// What sysfs, and udev when it keeps a record, tells about a block device and the whole disk it lives on.
// The hardware facts (removable, rotational, vendor, model, revision, serial, protocol) are the whole
// disk's: a partition has none of its own.
struct BlockDevice {
  // The device itself: "sda2" and its number.
  std::string name;
  std::uint32_t major = 0;
  std::uint32_t minor = 0;

  // The disk under it: the parent of a partition; for device-mapper and md devices the disk under their
  // first member (in name order). A whole disk is its own.
  std::string wholeDisk;
  // The whole disk's node in sysfs ("/sys/devices/pci0000:00/0000:00:02.0/virtio1/block/vda").
  std::string wholeDiskPath;
  // The hardware device of the whole disk in sysfs ("/sys/devices/pci0000:00/0000:00:02.0/virtio1");
  // absent for devices the kernel makes up (loop, device-mapper, zram).
  std::optional<std::string> devicePath;
  // How the whole disk is attached, as the system's volume descriptions name it (see BlockDeviceProtocol).
  std::optional<std::string> deviceProtocol;

  std::optional<bool> isRemovable;
  std::optional<bool> isRotational;
  // Texts trimmed of blanks; absent when neither sysfs nor udev has a non-empty one. The vendor comes from
  // sysfs only for SCSI devices (other buses keep a numeric id there).
  std::optional<std::string> vendor;
  std::optional<std::string> model;
  std::optional<std::string> revision;
  std::optional<std::string> serial;

  // The facts of the device `name`, or absent when sysfs has no block device of that name. The whole disk's
  // record in `udev`, when given, fills what sysfs lacks.
  static std::optional<BlockDevice> read(const TextSource& source, std::string_view name,
                                         const UdevDatabase* udev = nullptr);

  // The name of the block device major:minor ("254:0" -> "vda"), or absent.
  static std::optional<std::string> nameOf(const TextSource& source, std::uint32_t major,
                                           std::uint32_t minor);

  // The name of the block device that holds the file system of a mount: by its device number, or, for
  // file systems that report a made-up number (major 0, as btrfs does), by a source naming a node under
  // /dev. Absent for mounts that no block device holds (proc, tmpfs, overlay, network file systems).
  static std::optional<std::string> nameOfMount(const TextSource& source, const MountInfoEntry& mount);

  bool operator==(const BlockDevice&) const = default;
};

}  // namespace platform
