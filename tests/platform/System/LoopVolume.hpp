#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>

#include "Platform/System/TextFields.hpp"
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
// device and removes the temporary directory, whatever the test did in between.
class LoopVolume {
 public:
  explicit LoopVolume(const std::string& label, int megabytes = 64) {
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora-volume-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    directory_ = pattern;
    mountPoint_ = (std::filesystem::path(directory_) / "mount point").string();
    const std::string image = (std::filesystem::path(directory_) / "volume.img").string();
    std::filesystem::create_directory(mountPoint_);
    // No lazy initialisation: a background thread would write to the device while tests count its I/O.
    run("truncate -s " + std::to_string(megabytes) + "M " + shellQuoted(image));
    run("mkfs.ext4 -q -F -E lazy_itable_init=0,lazy_journal_init=0 -L " + shellQuoted(label) + " " +
        shellQuoted(image));
    device_ = platform::textfields::trimmed(run("losetup -f --show " + shellQuoted(image)));
    run("mount -t ext4 " + shellQuoted(device_) + " " + shellQuoted(mountPoint_));
    mounted_ = true;
  }

  ~LoopVolume() { cleanUp(); }

  LoopVolume(const LoopVolume&) = delete;
  LoopVolume& operator=(const LoopVolume&) = delete;

  const std::string& mountPoint() const { return mountPoint_; }
  // "/dev/loop3".
  const std::string& device() const { return device_; }
  // "loop3".
  std::string name() const { return std::filesystem::path(device_).filename().string(); }

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

  // Unmounts only the mount this object made, detaches its loop device and removes its directory.
  void cleanUp() {
    if (mounted_) {
      const CommandResult unmount = runCommand("umount " + shellQuoted(mountPoint_));
      if (unmount.status != 0) {
        // Still mounted: removing the directory would reach into the volume. Leave it for a person.
        std::fprintf(stderr, "LoopVolume: could not unmount %s: %s", mountPoint_.c_str(),
                     unmount.output.c_str());
        return;
      }
    }
    if (!device_.empty()) runCommand("losetup -d " + shellQuoted(device_));
    std::error_code ignored;
    if (!directory_.empty()) std::filesystem::remove_all(directory_, ignored);
    mounted_ = false;
    device_.clear();
    directory_.clear();
  }

  std::string directory_;
  std::string mountPoint_;
  std::string device_;
  bool mounted_ = false;
};

}  // namespace volumetest
