#include "Platform/System/VolumePlatform.hpp"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "Platform/System/FileSystemLabel.hpp"
#include "Platform/System/MountInfo.hpp"
#include "Platform/System/MountWatcher.hpp"
#include "Platform/System/Unmount.hpp"

namespace platform {

namespace {

// Whether `path` is `directory` or lies under it (the test the unmount applies to resolved paths).
bool isWithin(std::string_view path, std::string_view directory) {
  return isWithinDirectory(path, directory);
}

// The system's own places: mounts there are not volumes that users browse. Removable media mounted under
// /run/media are.
bool isSystemPlace(std::string_view mountPoint) {
  static constexpr std::array<std::string_view, 12> places = {
      "/proc", "/sys", "/dev", "/run", "/boot", "/efi", "/snap", "/usr", "/var", "/home", "/opt", "/srv"};
  if (mountPoint == "/" || isWithin(mountPoint, "/run/media")) return false;
  return std::any_of(places.begin(), places.end(),
                     [&](std::string_view place) { return isWithin(mountPoint, place); });
}

// A device number or a /dev node as the source: a block device may hold the file system. This needs no
// sysfs lookup, so it still holds for a device that has just gone away.
bool mayBeBlockBacked(const MountInfoEntry& mount) {
  return mount.major != 0 || mount.source.starts_with("/dev/");
}

// The number of the mount seen at `path` that the kernel never gives to another mount; 0 where it does not
// tell it (before Linux 6.8) or the path cannot be looked at.
std::uint64_t uniqueMountId(const std::string& path) {
  constexpr unsigned int mountIdUnique = 0x4000;  // STATX_MNT_ID_UNIQUE, newer than the C library's headers
  struct statx facts {};
  if (::statx(AT_FDCWD, path.c_str(), AT_NO_AUTOMOUNT | AT_SYMLINK_NOFOLLOW, mountIdUnique, &facts) != 0 ||
      (facts.stx_mask & mountIdUnique) == 0)
    return 0;
  return facts.stx_mnt_id;
}

std::string lastComponent(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

class LinuxVolumePlatform final : public VolumePlatform {
 public:
  LinuxVolumePlatform(std::shared_ptr<const TextSource> source, std::string scope, FileSystemCalls calls,
                      std::shared_ptr<const UdevDatabase> udev)
      : source_(std::move(source)),
        scope_(std::move(scope)),
        calls_(std::move(calls)),
        udev_(std::move(udev)) {}

  std::optional<std::vector<std::string>> mountedVolumePaths() const override {
    const std::shared_ptr<const Table> table = currentTable();
    if (!table) return std::nullopt;
    std::vector<std::string> paths;
    for (const MountInfoEntry& entry : table->info.entries) {
      // Each mount point once, where the mount that is seen there is listed.
      if (isWithin(entry.mountPoint, scope_) && table->index.visibleAt(entry.mountPoint) == &entry) {
        paths.push_back(entry.mountPoint);
      }
    }
    return paths;
  }

  ChangeCheck mountTableChanges() const override {
    // A recorded or staged table may change under the caller's hands at any time.
    if (source_ != TextSource::live()) return [] { return true; };
    return [check = std::make_shared<MountTableCheck>()] { return check->changed(); };
  }

  std::optional<VolumeResources> resources(const std::string& path) const override {
    const Mount mount = mountAt(path);
    if (mount.entry == nullptr) return std::nullopt;
    const std::optional<BlockDevice> device = browsableDevice(mount.table->index, *mount.entry);
    if (!device) {
      VolumeResources hidden;
      hidden.isBrowsable = false;
      return hidden;
    }
    const std::optional<FileSystemSize> size = calls_.size(path);
    if (!size) return std::nullopt;
    const bool isUsbOrCard = device->deviceProtocol == "USB" || device->deviceProtocol == "Secure Digital";
    const std::optional<UdevData> udev = udev_->blockDevice(device->major, device->minor);
    VolumeResources resources;
    resources.name = calls_.label(path, udev ? &*udev : nullptr);
    if (!resources.name) resources.name = path == "/" ? path : lastComponent(path);
    resources.totalCapacity = size->totalBytes;
    resources.availableCapacity = size->availableBytes;
    resources.isInternal = device->devicePath && device->isRemovable != true && !isUsbOrCard;
    resources.isLocal = true;
    resources.isBrowsable = true;
    resources.isReadOnly = size->isReadOnly || mount.entry->isReadOnly;
    resources.isVolume = true;
    resources.isRootFileSystem = path == "/";
    resources.isEjectable =
        device->isRemovable == true || isUsbOrCard || device->deviceProtocol == "Disk Image";
    return resources;
  }

  // ext4 that an error made read-only says so only in the table, and without a mount event.
  void readMountTable() const override { currentTable(); }

  std::optional<MountedVolume> mountedVolume(const std::string& path) const override {
    const Mount mount = mountAt(path);
    if (mount.entry == nullptr) return std::nullopt;
    const MountInfoEntry& entry = *mount.entry;
    return MountedVolume{{entry.mountId, entry.major, entry.minor, uniqueMountId(path)},
                         entry.isReadOnly,
                         mount.table->index.isFirstMountOfDevice(entry)};
  }

  bool fileExists(const std::string& path) const override {
    std::error_code error;
    const bool exists = std::filesystem::exists(path, error);
    // A path that cannot be looked at is not known to be gone.
    return exists || error;
  }

  std::optional<std::string> diskName(const std::string& path) const override {
    const Mount mount = mountAt(path);
    if (mount.entry == nullptr) return std::nullopt;
    return BlockDevice::nameOfMount(*source_, *mount.entry);
  }

  std::optional<DiskDescription> diskDescription(const std::string& path) const override {
    const Mount mount = mountAt(path);
    if (mount.entry == nullptr) return std::nullopt;
    const std::optional<std::string> name = BlockDevice::nameOfMount(*source_, *mount.entry);
    const std::optional<BlockDevice> device =
        name ? BlockDevice::read(*source_, *name, udev_.get()) : std::nullopt;
    if (!device) return std::nullopt;
    const std::optional<UdevData> udev = udev_->blockDevice(device->major, device->minor);
    DiskDescription description;
    description.deviceProtocol = device->deviceProtocol;
    description.volumeKind = mount.entry->fileSystemType;
    description.volumeType = udev ? udev->text("ID_FS_TYPE") : std::nullopt;
    if (!description.volumeType) description.volumeType = description.volumeKind;
    description.deviceVendor = device->vendor;
    description.deviceModel = device->model;
    description.deviceRevision = device->revision;
    description.volumeName = calls_.label(path, udev ? &*udev : nullptr);
    description.mediaBsdName = device->name;
    description.mediaPath = "/sys/class/block/" + device->name;
    description.devicePath = device->devicePath;
    return description;
  }

  std::optional<std::string> wholeDiskName(const std::string& mediaPath) const override {
    const std::string name = lastComponent(mediaPath);
    const std::optional<BlockDevice> device = BlockDevice::read(*source_, name, udev_.get());
    if (!device || device->wholeDisk == name) return std::nullopt;
    return device->wholeDisk;
  }

  std::optional<std::string> fileSystemType(const std::string& path) const override {
    const Mount mount = mountAt(path);
    if (mount.entry == nullptr) return std::nullopt;
    return mount.entry->fileSystemType;
  }

  std::optional<BlockDeviceStat> diskStatistics(const std::string& disk) const override {
    return BlockDeviceStat::read(*source_, disk);
  }

  std::optional<BlockDevice> diskDevice(const std::string& disk) const override {
    return BlockDevice::read(*source_, disk, udev_.get());
  }

  std::error_code unmountAndEject(const std::string& path) const override { return unmount(path, scope_); }

  std::shared_ptr<void> observeMounts(Notification didMount, Notification didUnmount) const override {
    if (!didMount || !didUnmount) throw std::invalid_argument("observeMounts: empty notification");
    return std::make_shared<MountWatcher>(
        [scope = scope_](const MountInfoEntry& mount) {
          return isWithin(mount.mountPoint, scope) && mayBeBlockBacked(mount);
        },
        [didMount = std::move(didMount)](const std::vector<MountInfoEntry>&) { didMount(); },
        [didUnmount = std::move(didUnmount)](const std::vector<MountInfoEntry>&) { didUnmount(); });
  }

 private:
  // A mount table as read, indexed for the questions of a listing.
  struct Table {
    explicit Table(MountInfo read) : info(std::move(read)), index(info) {}
    const MountInfo info;
    const MountIndex index;
  };

  // A mount table and the mount seen at one path in it (null when there is none, or none in scope).
  struct Mount {
    std::shared_ptr<const Table> table;
    const MountInfoEntry* entry = nullptr;
  };

  // The mount at `path` in the table read last, or in the table as it is now before any.
  Mount mountAt(const std::string& path) const {
    std::shared_ptr<const Table> table;
    {
      std::lock_guard lock(mutex_);
      table = table_;
    }
    if (!table) table = currentTable();
    const MountInfoEntry* entry = table && isWithin(path, scope_) ? table->index.visibleAt(path) : nullptr;
    return {std::move(table), entry};
  }

  // The table as it is now, kept for the calls that take the last one read; null when it cannot be read.
  std::shared_ptr<const Table> currentTable() const {
    std::optional<std::string> text = source_->read("/proc/self/mountinfo");
    if (!text) return nullptr;
    {
      // The table seldom changes between two reads: the same text is the same table, parsed once.
      std::lock_guard lock(mutex_);
      if (table_ && *text == tableText_) return table_;
    }
    auto table = std::make_shared<const Table>(MountInfo::parse(*text));
    std::lock_guard lock(mutex_);
    table_ = table;
    tableText_ = std::move(*text);
    return table;
  }

  // The device of a browsable mount; absent for any other mount. The cheap tests come first: most mounts
  // of a system fail them without a look at sysfs.
  std::optional<BlockDevice> browsableDevice(const MountIndex& table, const MountInfoEntry& mount) const {
    // The root shows whatever part of its file system the system was started from: a btrfs subvolume, or
    // a directory bound as the root of a chroot or container.
    const bool isRoot = mount.mountPoint == "/";
    if (!isRoot && (!mount.showsFileSystemRoot() || isSystemPlace(mount.mountPoint))) return std::nullopt;
    if (!table.isFirstMountOfDevice(mount)) return std::nullopt;
    const std::optional<std::string> name = BlockDevice::nameOfMount(*source_, mount);
    if (!name) return std::nullopt;
    return BlockDevice::read(*source_, *name, udev_.get());
  }

  const std::shared_ptr<const TextSource> source_;
  const std::string scope_;
  const FileSystemCalls calls_;
  const std::shared_ptr<const UdevDatabase> udev_;
  mutable std::mutex mutex_;
  mutable std::shared_ptr<const Table> table_;
  mutable std::string tableText_;  // the text table_ was parsed from
};

// `scope` without a trailing "/" (but "/" itself), so that component tests work on it.
std::string scopeDirectory(std::string_view scope) {
  if (!scope.starts_with('/')) throw std::invalid_argument("VolumePlatform: the scope is no absolute path");
  while (scope.size() > 1 && scope.back() == '/') scope.remove_suffix(1);
  return std::string(scope);
}

}  // namespace

VolumePlatform::FileSystemCalls VolumePlatform::liveFileSystemCalls() {
  return {
      [](const std::string& path) { return FileSystemSize::read(path); },
      [](const std::string& mountPoint, const UdevData* udev) { return fileSystemLabel(mountPoint, udev); },
  };
}

std::shared_ptr<const VolumePlatform> VolumePlatform::live(std::shared_ptr<const TextSource> source,
                                                           std::string scope, FileSystemCalls calls,
                                                           std::shared_ptr<const UdevDatabase> udev) {
  if (!source || !calls.size || !calls.label || !udev) {
    throw std::invalid_argument(
        "VolumePlatform: a text source, both file-system calls and a udev database are needed");
  }
  return std::make_shared<LinuxVolumePlatform>(std::move(source), scopeDirectory(scope), std::move(calls),
                                               std::move(udev));
}

}  // namespace platform
