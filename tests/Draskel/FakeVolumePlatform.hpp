#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "Platform/Dispatch/DispatchQueue.hpp"
#include "Platform/System/VolumePlatform.hpp"

namespace volumetest {

// One mount of the fake system: what the platform answers about its path.
struct FakeMount {
  std::optional<platform::VolumeResources> resources;
  std::optional<std::string> diskName;
  std::optional<platform::DiskDescription> description;
  // The whole disk under the device (what wholeDiskName gives for the description's media path).
  std::optional<std::string> wholeDisk;
  std::optional<std::string> fileSystemType;
  std::error_code unmountError;
};

// A browsable volume named `name` on device `device` of disk `disk` (the same for a whole disk), with the
// given sizes; `isRoot` makes it the root file system.
inline FakeMount browsableVolume(const std::string& name, const std::string& device, const std::string& disk,
                                 bool isRoot = false) {
  FakeMount mount;
  platform::VolumeResources& resources = mount.resources.emplace();
  resources.name = name;
  resources.totalCapacity = 1000;
  resources.availableCapacity = 400;
  resources.isInternal = isRoot;
  resources.isLocal = true;
  resources.isBrowsable = true;
  resources.isReadOnly = false;
  resources.isVolume = true;
  resources.isRootFileSystem = isRoot;
  resources.isEjectable = !isRoot;
  mount.diskName = device;
  platform::DiskDescription description;
  description.deviceProtocol = "USB";
  description.volumeKind = "ext4";
  description.volumeType = "ext4";
  description.deviceVendor = "Vendor of " + disk;
  description.mediaBsdName = device;
  description.mediaPath = "/sys/class/block/" + device;
  mount.description = description;
  if (device != disk) mount.wholeDisk = disk;
  mount.fileSystemType = "ext4";
  return mount;
}

// A system whose mounts, disk counters and unmount results the test sets. Thread-safe, as eject threads use
// it. A successful unmount removes the mount and, while observed, posts the unmount notification to the
// main queue as the live mount watcher does.
class FakeVolumePlatform final : public platform::VolumePlatform {
 public:
  void mount(const std::string& path, FakeMount mount) {
    std::lock_guard lock(mutex_);
    std::erase_if(mounts_, [&](const auto& entry) { return entry.first == path; });
    mounts_.emplace_back(path, std::move(mount));
  }
  // Takes the mount out of the table; its directory stays, as on Linux.
  void unmount(const std::string& path) {
    std::lock_guard lock(mutex_);
    std::erase_if(mounts_, [&](const auto& entry) { return entry.first == path; });
  }
  // Changes the mount at `path` in place.
  template <class Change>
  void change(const std::string& path, Change change) {
    std::lock_guard lock(mutex_);
    for (auto& [mountPath, mount] : mounts_) {
      if (mountPath == path) change(mount);
    }
  }
  // Whether a file (a mount point directory) exists at `path`; every path does until the test says not.
  void setExists(const std::string& path, bool exists) {
    std::lock_guard lock(mutex_);
    if (exists) {
      missing_.erase(path);
    } else {
      missing_.insert(path);
    }
  }
  void reverseMountOrder() {
    std::lock_guard lock(mutex_);
    std::reverse(mounts_.begin(), mounts_.end());
  }
  void setMountTableReadable(bool readable) {
    std::lock_guard lock(mutex_);
    tableReadable_ = readable;
  }
  // The disk's counters: bytes in each direction (whole sectors) and one operation each, so that a sample
  // is never empty.
  void setCounters(const std::string& disk, std::uint64_t bytesRead, std::uint64_t bytesWritten) {
    platform::BlockDeviceStat stat;
    stat.readsCompleted = 1;
    stat.writesCompleted = 1;
    stat.sectorsRead = bytesRead / platform::BlockDeviceStat::sectorSize;
    stat.sectorsWritten = bytesWritten / platform::BlockDeviceStat::sectorSize;
    std::lock_guard lock(mutex_);
    counters_[disk] = stat;
  }
  void setDevice(const std::string& disk, platform::BlockDevice device) {
    std::lock_guard lock(mutex_);
    devices_[disk] = std::move(device);
  }

  // Posts the notifications to the main queue, as the live mount watcher does, while observed.
  void postMount() const { post(&Observers::didMount); }
  void postUnmount() const { post(&Observers::didUnmount); }
  bool isObserved() const {
    std::lock_guard lock(mutex_);
    return !observers_.expired();
  }

  int tableReads() const {
    std::lock_guard lock(mutex_);
    return tableReads_;
  }
  int resourceReads(const std::string& path) const {
    std::lock_guard lock(mutex_);
    const auto found = resourceReads_.find(path);
    return found == resourceReads_.end() ? 0 : found->second;
  }
  // The paths unmountAndEject was asked for, in call order, and what each call gave.
  std::vector<std::string> unmountRequests() const {
    std::vector<std::string> paths;
    for (const auto& [path, error] : unmountResults()) paths.push_back(path);
    return paths;
  }
  std::vector<std::pair<std::string, std::error_code>> unmountResults() const {
    std::lock_guard lock(mutex_);
    return unmountResults_;
  }

  std::optional<std::vector<std::string>> mountedVolumePaths() const override {
    std::lock_guard lock(mutex_);
    ++tableReads_;
    if (!tableReadable_) return std::nullopt;
    std::vector<std::string> paths;
    for (const auto& entry : mounts_) paths.push_back(entry.first);
    return paths;
  }
  std::optional<platform::VolumeResources> resources(const std::string& path) const override {
    std::lock_guard lock(mutex_);
    ++resourceReads_[path];
    const FakeMount* mount = find(path);
    return mount ? mount->resources : std::nullopt;
  }
  bool fileExists(const std::string& path) const override {
    std::lock_guard lock(mutex_);
    return !missing_.contains(path);
  }
  std::optional<std::string> diskName(const std::string& path) const override {
    return answer(path, &FakeMount::diskName);
  }
  std::optional<platform::DiskDescription> diskDescription(const std::string& path) const override {
    return answer(path, &FakeMount::description);
  }
  std::optional<std::string> wholeDiskName(const std::string& mediaPath) const override {
    std::lock_guard lock(mutex_);
    for (const auto& [path, mount] : mounts_) {
      if (mount.description && mount.description->mediaPath == mediaPath) return mount.wholeDisk;
    }
    return std::nullopt;
  }
  std::optional<std::string> fileSystemType(const std::string& path) const override {
    return answer(path, &FakeMount::fileSystemType);
  }
  std::optional<platform::BlockDeviceStat> diskStatistics(const std::string& disk) const override {
    std::lock_guard lock(mutex_);
    const auto found = counters_.find(disk);
    return found == counters_.end() ? std::nullopt : std::optional(found->second);
  }
  std::optional<platform::BlockDevice> diskDevice(const std::string& disk) const override {
    std::lock_guard lock(mutex_);
    const auto found = devices_.find(disk);
    return found == devices_.end() ? std::nullopt : std::optional(found->second);
  }
  std::error_code unmountAndEject(const std::string& path) const override {
    std::error_code error;
    {
      std::lock_guard lock(mutex_);
      const FakeMount* mount = find(path);
      // Like umount2 on a directory that is no mount point (any more).
      error = mount ? mount->unmountError : std::make_error_code(std::errc::invalid_argument);
      unmountResults_.emplace_back(path, error);
      if (!error) std::erase_if(mounts_, [&](const auto& entry) { return entry.first == path; });
    }
    if (!error) postUnmount();
    return error;
  }
  std::shared_ptr<void> observeMounts(Notification didMount, Notification didUnmount) const override {
    auto observers = std::make_shared<Observers>(Observers{std::move(didMount), std::move(didUnmount)});
    std::lock_guard lock(mutex_);
    observers_ = observers;
    return observers;
  }

 private:
  struct Observers {
    Notification didMount;
    Notification didUnmount;
  };

  const FakeMount* find(const std::string& path) const {
    for (const auto& [mountPath, mount] : mounts_) {
      if (mountPath == path) return &mount;
    }
    return nullptr;
  }
  template <class Field>
  Field answer(const std::string& path, Field FakeMount::*field) const {
    std::lock_guard lock(mutex_);
    const FakeMount* mount = find(path);
    return mount ? mount->*field : Field{};
  }
  void post(Notification Observers::*which) const {
    std::weak_ptr<Observers> weak;
    {
      std::lock_guard lock(mutex_);
      weak = observers_;
    }
    platform::DispatchQueue::main().async([weak, which] {
      if (const auto observers = weak.lock()) ((*observers).*which)();
    });
  }

  mutable std::mutex mutex_;
  mutable std::vector<std::pair<std::string, FakeMount>> mounts_;
  std::map<std::string, platform::BlockDeviceStat> counters_;
  std::map<std::string, platform::BlockDevice> devices_;
  std::set<std::string> missing_;
  bool tableReadable_ = true;
  mutable int tableReads_ = 0;
  mutable std::map<std::string, int> resourceReads_;
  mutable std::vector<std::pair<std::string, std::error_code>> unmountResults_;
  mutable std::weak_ptr<Observers> observers_;
};

}  // namespace volumetest
