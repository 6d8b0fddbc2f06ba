#pragma once

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>

#include "Platform/System/TextFields.hpp"
#include "tests/platform/System/MountTestGuards.hpp"
#include "tests/platform/System/SystemFixtures.hpp"

namespace volumetest {

using systemtest::CommandResult;
using systemtest::runCommand;

// `text` in single quotes for the shell.
inline std::string shellQuoted(const std::string& text) {
  std::string result = "'";
  for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return result + "'";
}

// Why loop-device volumes cannot be made here, or empty when they can (root, /dev/loop-control, the tools).
inline std::string whyNoLoopVolumes() {
  if (::geteuid() != 0) return "needs root to attach and mount loop devices";
  if (::access("/dev/loop-control", F_OK) != 0) return "no /dev/loop-control";
  if (runCommand("command -v losetup && command -v mkfs.ext4 && command -v mount").status != 0) {
    return "losetup, mkfs.ext4 or mount is missing";
  }
  return {};
}

// An ext4 file system in an image file, on a loop device, mounted at "<temporary directory>/mount point"
// (a blank in the path on purpose). The destructor unmounts that mount point only, detaches the loop
// device and removes the temporary directory, whatever the test did in between. `fileSystem` may be btrfs.
class LoopVolume {
 public:
  explicit LoopVolume(const std::string& label, int megabytes = 64, const std::string& fileSystem = "ext4")
      : mountPoint_(directory_.path() + "/mount point") {
    const std::string image = shellQuoted(directory_.path() + "/volume.img");
    std::filesystem::create_directory(mountPoint_);
    // No lazy initialisation: a background thread would write to the device while tests count its I/O.
    const std::string options = fileSystem == "ext4" ? " -F -E lazy_itable_init=0,lazy_journal_init=0" : "";
    run("truncate -s " + std::to_string(megabytes) + "M " + image);
    run("mkfs." + fileSystem + " -q" + options + " -L " + shellQuoted(label) + " " + image);
    device_ = platform::textfields::trimmed(run("losetup -f --show " + image));
    run("mount -t " + fileSystem + " " + shellQuoted(device_) + " " + shellQuoted(mountPoint_));
    mounted_ = true;
  }

  ~LoopVolume() { cleanUp(); }

  LoopVolume(const LoopVolume&) = delete;
  LoopVolume& operator=(const LoopVolume&) = delete;

  const std::string& mountPoint() const { return mountPoint_; }
  const std::string& device() const { return device_; }                                    // "/dev/loop3"
  std::string name() const { return std::filesystem::path(device_).filename().string(); }  // "loop3"

 private:
  // Runs a setup step. A failure undoes the earlier steps (a constructor that throws runs no destructor)
  // and throws with the command's output.
  std::string run(const std::string& command) {
    CommandResult result = runCommand(command);
    if (result.status != 0) {
      cleanUp();
      throw std::runtime_error(command + " failed: " + result.output);
    }
    return std::move(result.output);
  }

  // Unmounts only the mount this object made and detaches its loop device. Still mounted, the volume keeps
  // its device, and its directory stays (removing it would reach into the volume): left for a person.
  void cleanUp() {
    if (mounted_) {
      const CommandResult unmount = runCommand("umount " + shellQuoted(mountPoint_));
      if (unmount.status != 0) {
        std::fprintf(stderr, "LoopVolume: could not unmount %s: %s", mountPoint_.c_str(),
                     unmount.output.c_str());
        return;
      }
      mounted_ = false;
    }
    if (!device_.empty()) runCommand("losetup -d " + shellQuoted(device_));
    device_.clear();
  }

  TemporaryDirectory directory_;
  std::string mountPoint_;
  std::string device_;
  bool mounted_ = false;
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
