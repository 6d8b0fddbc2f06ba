#pragma once

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include "Platform/System/MountInfo.hpp"
#include "tests/support/ScratchDirectory.hpp"

namespace volumetest {

// Whether a file system is mounted at `path` in this process's mount table.
inline bool isMountPoint(const std::string& path) {
  const auto table = platform::MountInfo::read(*platform::TextSource::live());
  return table && table->visibleAt(path) != nullptr;
}

using testsupport::hasMountsWithin;

// Why "/" is not in this process's mount table, or empty when it is. It is not in a plain chroot, whose
// root is a folder of a file system mounted outside it.
inline std::string whyNoRootMount() {
  return isMountPoint("/") ? std::string()
                           : "needs \"/\" to be a mount point (here it is not, as in a plain chroot)";
}

// A new temporary directory, removed with everything in it when the object goes, unless something is
// still mounted in it (removing would reach into that file system). Make mounts in it only through guards
// declared after it.
class TemporaryDirectory {
 public:
  const std::string& path() const { return directory_.path(); }

 private:
  testsupport::ScratchDirectory directory_{"velmora-mounts"};
};

// Why this process cannot make a private mount namespace, or empty when it can: a child tries unshare(2)
// and marks every mount below "/" private, which fails where "/" is no mount point (a plain chroot).
inline std::string whyNoPrivateMountNamespace() {
  if (::geteuid() != 0) return "needs root to make a private mount namespace";
  const pid_t child = ::fork();
  if (child == 0) {
    if (::unshare(CLONE_NEWNS) != 0) ::_exit(1);
    ::_exit(::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 ? 0 : 2);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
    return "could not start a child to try a private mount namespace";
  }
  switch (WEXITSTATUS(status)) {
    case 0: return {};
    case 1: return "needs mount namespaces (unshare(CLONE_NEWNS) is refused here)";
    default: return "needs a mountable \"/\" (here \"/\" is no mount point, as in a plain chroot)";
  }
}

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
