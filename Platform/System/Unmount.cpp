#include "Platform/System/Unmount.hpp"

#include <fcntl.h>
#include <linux/loop.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>

#include "Platform/System/BlockDevice.hpp"
#include "Platform/System/MountInfo.hpp"
#include "Platform/System/TextSource.hpp"

namespace platform {

namespace {

std::error_code posixError(int code) { return {code, std::generic_category()}; }

// EBUSY when `path` is the root directory, the error of looking it up when that fails, else nothing. The
// plain spellings of "/" are caught without any system call; other ones by comparing identities.
std::error_code refuseRoot(const std::string& path) {
  if (std::filesystem::path(path).lexically_normal() == "/") return posixError(EBUSY);
  struct stat target {};
  struct stat root {};
  if (::stat(path.c_str(), &target) != 0) return posixError(errno);
  if (::stat("/", &root) != 0) return posixError(errno);
  if (target.st_dev == root.st_dev && target.st_ino == root.st_ino) return posixError(EBUSY);
  return {};
}

// `path` as the mount table spells mount points: without "." and ".." and without a trailing "/".
std::string tableSpelling(const std::string& path) {
  std::string spelling = std::filesystem::path(path).lexically_normal().string();
  if (spelling.size() > 1 && spelling.back() == '/') spelling.pop_back();
  return spelling;
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

std::error_code unmount(const std::string& mountPoint) {
  if (const std::error_code refused = refuseRoot(mountPoint)) return refused;
  const TextSource& source = *TextSource::live();
  std::optional<std::string> loopDisk;
  if (const std::optional<MountInfo> table = MountInfo::read(source)) {
    if (const MountInfoEntry* mount = table->visibleAt(tableSpelling(mountPoint))) {
      loopDisk = loopDiskOf(source, *mount);
    }
  }
  if (::umount2(mountPoint.c_str(), UMOUNT_NOFOLLOW) != 0) return posixError(errno);
  if (!loopDisk) return {};
  // Another mount of the device (or of another of its partitions) keeps it attached; so does a table that
  // cannot be read, which could not show such a mount.
  const std::optional<MountInfo> remaining = MountInfo::read(source);
  if (!remaining || hasMountOn(source, *remaining, *loopDisk)) return {};
  return detachLoop(*loopDisk);
}

}  // namespace platform
