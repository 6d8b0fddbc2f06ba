#pragma once

#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

#include "Platform/System/MountInfo.hpp"
#include "tests/platform/System/LoopVolume.hpp"

namespace volumetest {

// Whether a file system is mounted at `path` in this process's mount table.
inline bool isMountPoint(const std::string& path) {
  const auto table = platform::MountInfo::read(*platform::TextSource::live());
  return table && table->visibleAt(path) != nullptr;
}

// Whether anything is mounted at or under `directory`.
inline bool hasMountsWithin(const std::string& directory) {
  const auto table = platform::MountInfo::read(*platform::TextSource::live());
  if (!table) return true;
  return std::any_of(table->entries.begin(), table->entries.end(),
                     [&](const platform::MountInfoEntry& entry) {
                       return entry.mountPoint == directory || entry.mountPoint.starts_with(directory + "/");
                     });
}

// A new temporary directory, removed with everything in it when the object goes, unless something is
// still mounted in it (removing would reach into that file system). Make mounts in it only through guards
// declared after it.
class TemporaryDirectory {
 public:
  TemporaryDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora-mounts-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
      throw std::system_error(errno, std::generic_category(), "mkdtemp");
    path_ = pattern;
  }
  ~TemporaryDirectory() {
    if (hasMountsWithin(path_)) {
      std::fprintf(stderr, "TemporaryDirectory: %s still holds a mount; left in place\n", path_.c_str());
      return;
    }
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// A file system mounted (mount(2) with `source`, `type` and `options`) at a new directory `mountPoint`.
// The destructor unmounts it when it is still mounted, whatever the test did, and removes the directory.
class ScopedMount {
 public:
  ScopedMount(std::string mountPoint, const std::string& source, const std::string& type,
              const std::string& options)
      : mountPoint_(std::move(mountPoint)) {
    std::filesystem::create_directory(mountPoint_);
    if (::mount(source.c_str(), mountPoint_.c_str(), type.c_str(), 0, options.c_str()) != 0) {
      throw std::system_error(errno, std::generic_category(), "mount " + source + " at " + mountPoint_);
    }
  }
  // A small tmpfs.
  explicit ScopedMount(std::string mountPoint)
      : ScopedMount(std::move(mountPoint), "velmora-test", "tmpfs", "size=1m") {}
  ~ScopedMount() {
    if (isMountPoint(mountPoint_)) ::umount2(mountPoint_.c_str(), 0);
    std::error_code ignored;
    if (!isMountPoint(mountPoint_)) std::filesystem::remove(mountPoint_, ignored);
  }
  ScopedMount(const ScopedMount&) = delete;
  ScopedMount& operator=(const ScopedMount&) = delete;

  const std::string& mountPoint() const { return mountPoint_; }

 private:
  std::string mountPoint_;
};

// The image file behind a loop volume's device, as losetup reports it.
inline std::string backingFile(const LoopVolume& volume) {
  const CommandResult result = runCommand("losetup -n -O BACK-FILE " + shellQuoted(volume.device()));
  return result.status == 0 ? std::string(platform::textfields::trimmed(result.output)) : std::string();
}

// Whether the volume's loop device lets go of `image` within five seconds. The kernel detaches a device that
// someone else (udev's probe, a parallel test) still has open when the last of them closes it, so a detach
// may land a moment after the call that asked for it returned.
inline bool becomesDetached(const LoopVolume& volume, const std::string& image) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (backingFile(volume) != image) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

// Mounts a loop volume that a test unmounted at its mount point again, first attaching its image to the
// same loop device when the device was detached, so that its guard takes it down as it made it. When that
// fails (the device was taken by someone else meanwhile), removes the volume's directory instead, where
// nothing is mounted.
inline void remount(const LoopVolume& volume, const std::string& image) {
  if (isMountPoint(volume.mountPoint())) return;
  const std::string device = shellQuoted(volume.device());
  if (backingFile(volume) == image ||
      runCommand("losetup " + device + " " + shellQuoted(image)).status == 0) {
    if (runCommand("mount -t ext4 " + device + " " + shellQuoted(volume.mountPoint())).status == 0) return;
    runCommand("losetup -d " + device);
  }
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(volume.mountPoint()).parent_path(), ignored);
}

}  // namespace volumetest
