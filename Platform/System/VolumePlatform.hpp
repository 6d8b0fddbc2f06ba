#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "Platform/System/BlockDevice.hpp"
#include "Platform/System/BlockDeviceStat.hpp"
#include "Platform/System/FileSystemSize.hpp"
#include "Platform/System/TextSource.hpp"
#include "Platform/System/UdevData.hpp"
#include "Platform/System/UdevDatabase.hpp"

namespace platform {

// What the system tells about the file system mounted at a path. A fact it does not know is absent.
struct VolumeResources {
  // The label of the file system; else the last component of the mount point ("/" for the root).
  std::optional<std::string> name;
  // Every byte of the file system, and the bytes an unprivileged user may still fill.
  std::optional<std::uint64_t> totalCapacity;
  std::optional<std::uint64_t> availableCapacity;
  // On a device built into the machine (not removable, not on USB or in an SD slot, not made up).
  std::optional<bool> isInternal;
  std::optional<bool> isLocal;
  // A volume that users browse (see VolumePlatform::live); when false, nothing else is given.
  std::optional<bool> isBrowsable;
  std::optional<bool> isReadOnly;
  std::optional<bool> isVolume;
  std::optional<bool> isRootFileSystem;
  // On removable media, a USB or SD device, or a disk image (loop device).
  std::optional<bool> isEjectable;

  bool operator==(const VolumeResources&) const = default;
};

// The description of the device that holds a mounted file system.
struct DiskDescription {
  // How its disk is attached ("SATA", "USB", "Secure Digital"...; see BlockDeviceProtocol).
  std::optional<std::string> deviceProtocol;
  // The format found on the device ("ext4", "ntfs"), and the type it is mounted as ("ext4", "fuseblk").
  std::optional<std::string> volumeType;
  std::optional<std::string> volumeKind;
  // The disk's hardware facts.
  std::optional<std::string> deviceVendor;
  std::optional<std::string> deviceModel;
  std::optional<std::string> deviceRevision;
  // The file system's label.
  std::optional<std::string> volumeName;
  // The device itself ("sda2") and its place in sysfs ("/sys/class/block/sda2").
  std::optional<std::string> mediaBsdName;
  std::optional<std::string> mediaPath;
  // The disk's hardware device in sysfs; absent for made-up devices (loop, device-mapper).
  std::optional<std::string> devicePath;

  bool operator==(const DiskDescription&) const = default;
};

// Which mount a path shows: the kernel's numbers of the mount and the device of its file system. Another
// mount at the path (another device, a mount over the one there) differs in one of them. The kernel gives a
// freed mount number and device number to a new mount again (a second btrfs, another file system on the
// same loop device or USB disk); only the number it never gives again (Linux 6.8 on; 0 before) tells those
// apart, and the same device unmounted and mounted again.
struct MountIdentity {
  std::uint64_t mountId = 0;
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint64_t uniqueMountId = 0;

  bool operator==(const MountIdentity&) const = default;
};

// The mount seen at a path.
struct MountedVolume {
  MountIdentity identity;
  // The mount or its file system is read-only.
  bool isReadOnly = false;
  // No earlier mount of its device is seen at its own place: a device is one volume, at the first such
  // mount (see VolumePlatform::live).
  bool isFirstMountOfDevice = true;
};

// Everything the volumes controller asks of the system about mounted volumes, behind one seam so that
// tests can stage mounts, counters and unmount results. Calls may come from several threads at once.
class VolumePlatform {
 public:
  using Notification = std::function<void()>;

  virtual ~VolumePlatform() = default;

  // Whether the mount table changed since the previous call of this function, or for the first call since
  // it was made; true also when that cannot be told. It does not wait.
  using ChangeCheck = std::function<bool()>;

  // The mount points of the mounted file systems, each once, in the mount table's order; absent when the
  // table cannot be read.
  virtual std::optional<std::vector<std::string>> mountedVolumePaths() const = 0;
  // A change check of the mount table for one caller, who asks it on its own thread: take it before the
  // listing it is to follow.
  virtual ChangeCheck mountTableChanges() const = 0;
  // The facts of the file system mounted at `path`, as the mount table read last tells them (read-only
  // included); absent when `path` is no mount point or its file system cannot be asked.
  virtual std::optional<VolumeResources> resources(const std::string& path) const = 0;
  // Reads the mount table again for the answers that follow, as a listing does, so that what changes with
  // no mount event shows (ext4 that an error made read-only). A pass over the volumes' sizes calls it once
  // before it asks about them. Nothing to do for a system whose answers read no table.
  virtual void readMountTable() const {}
  // The mount seen at `path`; absent when there is none, and always on a system that cannot tell one mount
  // at a path from the next (then a volume stays the same as long as its path is mounted).
  virtual std::optional<MountedVolume> mountedVolume(const std::string& /*path*/) const {
    return std::nullopt;
  }
  virtual bool fileExists(const std::string& path) const = 0;
  // The block device that holds the file system mounted at `path` ("sda2"), or absent.
  virtual std::optional<std::string> diskName(const std::string& path) const = 0;
  virtual std::optional<DiskDescription> diskDescription(const std::string& path) const = 0;
  // The whole disk under the device at `mediaPath` (a description's media path); absent when the device
  // is a whole disk itself or is unknown.
  virtual std::optional<std::string> wholeDiskName(const std::string& mediaPath) const = 0;
  // The type of the file system mounted at `path` ("ext4", "vfat"), or absent.
  virtual std::optional<std::string> fileSystemType(const std::string& path) const = 0;
  // The I/O counters and the facts of the disk `disk`; absent when it cannot be read.
  virtual std::optional<BlockDeviceStat> diskStatistics(const std::string& disk) const = 0;
  virtual std::optional<BlockDevice> diskDevice(const std::string& disk) const = 0;
  // Unmounts the file system at `path` and detaches its device where that applies; the POSIX error, or an
  // empty code on success.
  virtual std::error_code unmountAndEject(const std::string& path) const = 0;
  // Calls `didMount` when volumes were mounted and `didUnmount` when some were unmounted, on the main
  // thread, until the returned token is released. At most one notification waits on the main queue at a
  // time; it tells of every change before it. Throws std::system_error when mounts cannot be followed.
  virtual std::shared_ptr<void> observeMounts(Notification didMount, Notification didUnmount) const = 0;

  // The calls that the live platform makes on file systems themselves rather than through text; tests
  // that root the platform at a recorded tree replace them.
  struct FileSystemCalls {
    // The sizes of the file system at a path (statvfs).
    std::function<std::optional<FileSystemSize>(const std::string& path)> size;
    // The label of the file system mounted at a path, given the device's udev record when there is one.
    std::function<std::optional<std::string>(const std::string& mountPoint, const UdevData* udev)> label;
  };
  static FileSystemCalls liveFileSystemCalls();

  // The system behind `source` and udev's records in `udev`, limited to the mounts at or under the
  // directory `scope`: only they are listed, described, followed and unmounted (others are refused with
  // EPERM).
  //
  // A mount is browsable when it is the first mount of its device in the table, a block device holds it,
  // and either its mount point is "/" (whatever part of its file system it shows: a btrfs subvolume, a
  // chroot or container root bound from a directory) or it lies outside the system's own places (/proc,
  // /sys, /dev, /run but /run/media, /boot, /efi, /snap, /usr, /var, /home, /opt, /srv) and shows the root of
  // its file system (a btrfs subvolume mounted by its subvol= option does; a bind mount of a subdirectory
  // does not). Answers about a path use the mount table of the latest mountedVolumePaths or readMountTable
  // call (read then if there was none), so that the questions of a listing all see one table, read once,
  // and each costs the same however many mounts it holds. The mount at a path is the one on top there
  // (see MountIndex). The change check polls the live
  // mount table of the namespace the process is in (MountTableCheck) when `source` is the live system, and
  // says yes every time for any other source. Mount notifications come from a MountWatcher, for
  // block-backed mounts in scope only; unmounting is platform::unmount.
  static std::shared_ptr<const VolumePlatform> live(
      std::shared_ptr<const TextSource> source = TextSource::live(), std::string scope = "/",
      FileSystemCalls calls = liveFileSystemCalls(),
      std::shared_ptr<const UdevDatabase> udev = UdevDatabase::live());
};

}  // namespace platform
