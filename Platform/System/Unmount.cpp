#include "Platform/System/Unmount.hpp"

#include <fcntl.h>
#include <linux/loop.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <optional>

#include "Platform/System/BlockDevice.hpp"
#include "Platform/System/MountInfo.hpp"
#include "Platform/System/TextSource.hpp"

namespace platform {

namespace {

std::error_code posixError(int code) { return {code, std::generic_category()}; }

// The path with every link, "." and ".." resolved, or the error of resolving it.
std::error_code resolve(const std::string& path, std::string& resolved) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return posixError(errno);
  resolved = real;
  std::free(real);
  return {};
}

// A resolved path held by the directory that contains it, opened from "/" one component at a time without
// following links: a component that became a link after the resolution fails the open (ENOTDIR) instead of
// leading elsewhere, and everything after reaches the last component through this directory.
class HeldPath {
 public:
  // The directory of `resolved` (absolute, without links, "." or ".."); "/" is held as "/" and ".".
  std::error_code open(const std::string& resolved) {
    const std::filesystem::path path(resolved);
    std::error_code error = enter(AT_FDCWD, "/");
    for (auto part = std::next(path.begin()); !error && part != path.end(); ++part) {
      if (std::next(part) == path.end()) {
        name_ = part->string();
      } else {
        error = enter(directory_, part->c_str());
      }
    }
    return error;
  }
  ~HeldPath() {
    if (directory_ >= 0) ::close(directory_);
  }

  int directory() const { return directory_; }
  const std::string& name() const { return name_; }
  // The path through the calling thread's descriptor of the directory, for calls that take no directory.
  std::string procPath() const { return "/proc/thread-self/fd/" + std::to_string(directory_) + "/" + name_; }

 private:
  std::error_code enter(int from, const char* part) {
    const int next = ::openat(from, part, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (next < 0) return posixError(errno);
    if (directory_ >= 0) ::close(directory_);
    directory_ = next;
    return {};
  }

  int directory_ = -1;
  std::string name_ = ".";
};

// The mount id of the held path (the mount whose root it is, when it is one), or the error of looking it up:
// EBUSY when it is the root of the mount seen at "/" (by mount id, so neither a spelling nor a bind mount of
// the root elsewhere misleads it).
std::error_code refuseRoot(const HeldPath& held, std::uint64_t& mountId) {
  struct statx target {};
  struct statx root {};
  constexpr unsigned mask = STATX_MNT_ID;
  if (::statx(held.directory(), held.name().c_str(), AT_SYMLINK_NOFOLLOW, mask, &target) != 0) {
    return posixError(errno);
  }
  if (::statx(AT_FDCWD, "/", 0, mask, &root) != 0) return posixError(errno);
  if ((target.stx_mask & root.stx_mask & STATX_MNT_ID) == 0) return posixError(ENOTSUP);
  mountId = target.stx_mnt_id;
  if (target.stx_mnt_id != root.stx_mnt_id) return {};
  // A directory of the root file system that is no mount point: umount2 reports EINVAL for it.
  const bool knowsMountRoot = (target.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0;
  if (knowsMountRoot && (target.stx_attributes & STATX_ATTR_MOUNT_ROOT) == 0) return {};
  return posixError(EBUSY);
}

// The attached loop device (the whole disk) that holds the file system of `mount`, or absent.
std::optional<std::string> loopDiskOf(const TextSource& source, const MountInfoEntry& mount) {
  const std::optional<std::string> name = BlockDevice::nameOfMount(source, mount);
  if (!name) return std::nullopt;
  const std::optional<BlockDevice> device = BlockDevice::read(source, *name);
  // Only an attached loop device names a backing file.
  if (!device || !source.read("/sys/class/block/" + device->wholeDisk + "/loop/backing_file")) {
    return std::nullopt;
  }
  return device->wholeDisk;
}

bool hasMountOn(const TextSource& source, const MountInfo& table, const std::string& loopDisk) {
  return std::any_of(table.entries.begin(), table.entries.end(),
                     [&](const MountInfoEntry& mount) { return loopDiskOf(source, mount) == loopDisk; });
}

std::error_code detachLoop(const std::string& loopDisk) {
  const int fd = ::open(("/dev/" + loopDisk).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return posixError(errno);
  const int result = ::ioctl(fd, LOOP_CLR_FD, 0);
  const int error = errno;
  ::close(fd);
  // ENXIO: nothing is attached any more (a device set to clear itself did so at its last unmount).
  if (result != 0 && error != ENXIO) return posixError(error);
  return {};
}

}  // namespace

bool isWithinDirectory(std::string_view path, std::string_view directory) {
  if (directory == "/") return path.starts_with('/');
  return path.starts_with(directory) && (path.size() == directory.size() || path[directory.size()] == '/');
}

std::error_code unmount(const std::string& mountPoint, const std::string& scope) {
  std::string directory;
  // A scope that cannot be resolved holds only what lies under its spelling.
  if (resolve(scope, directory)) directory = scope;
  std::string path;
  if (const std::error_code error = resolve(mountPoint, path)) {
    // Nothing to unmount; an absolute spelling outside the scope is refused as such all the same.
    const std::string spelling = std::filesystem::path(mountPoint).lexically_normal().string();
    return spelling.starts_with('/') && !isWithinDirectory(spelling, directory) ? posixError(EPERM) : error;
  }
  if (!isWithinDirectory(path, directory)) return posixError(EPERM);
  HeldPath held;
  if (const std::error_code error = held.open(path)) return error;
  std::uint64_t mountId = 0;
  if (const std::error_code refused = refuseRoot(held, mountId)) return refused;
  const TextSource& source = *TextSource::live();
  std::optional<std::string> loopDisk;
  if (const std::optional<MountInfo> table = MountInfo::read(source)) {
    const auto mount = std::find_if(table->entries.begin(), table->entries.end(),
                                    [&](const MountInfoEntry& entry) { return entry.mountId == mountId; });
    if (mount != table->entries.end()) loopDisk = loopDiskOf(source, *mount);
  }
  if (::umount2(held.procPath().c_str(), UMOUNT_NOFOLLOW) != 0) return posixError(errno);
  if (!loopDisk) return {};
  // Another mount of the device (or of another of its partitions) keeps it attached; so does a table that
  // cannot be read, which could not show such a mount.
  const std::optional<MountInfo> remaining = MountInfo::read(source);
  if (!remaining || hasMountOn(source, *remaining, *loopDisk)) return {};
  return detachLoop(*loopDisk);
}

}  // namespace platform
