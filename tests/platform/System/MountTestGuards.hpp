#pragma once

#include <sys/mount.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include "Platform/System/MountInfo.hpp"

namespace volumetest {

// Whether a file system is mounted at `path` in this process's mount table.
inline bool isMountPoint(const std::string& path) {
  const auto table = platform::MountInfo::read(*platform::TextSource::live());
  return table && table->visibleAt(path) != nullptr;
}

// Whether anything is mounted at or under `directory`.
inline bool hasMountsWithin(const std::string& directory) {
  const auto table = platform::MountInfo::read(*platform::TextSource::live());
  return !table || std::any_of(table->entries.begin(), table->entries.end(), [&](const auto& entry) {
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

}  // namespace volumetest
