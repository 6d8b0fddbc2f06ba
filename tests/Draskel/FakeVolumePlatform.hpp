#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <system_error>
#include <utility>

#include "Platform/Dispatch/DispatchQueue.hpp"
#include "Platform/System/VolumePlatform.hpp"
#include "tests/Draskel/VolumesTestSupport.hpp"

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

// A browsable ext4 volume on USB named `name` on device `device` of disk `disk` (the same for a whole disk),
// 1000 bytes with 400 free; `isRoot` makes it the internal root file system.
inline FakeMount browsableVolume(const std::string& name, const std::string& device, const std::string& disk,
                                 bool isRoot = false) {
  FakeMount mount;
  mount.resources =
      platform::VolumeResources{name, 1000, 400, isRoot, true, true, false, true, isRoot, !isRoot};
  mount.diskName = device;
  platform::DiskDescription& description = mount.description.emplace();
  description.deviceProtocol = "USB";
  description.volumeKind = description.volumeType = "ext4";
  description.deviceVendor = "Vendor of " + disk;
  description.mediaBsdName = device;
  description.mediaPath = "/sys/class/block/" + device;
  if (device != disk) mount.wholeDisk = disk;
  mount.fileSystemType = "ext4";
  return mount;
}

// A system whose mounts, disk counters and unmount results the test sets. Thread-safe, as eject threads use
// it. A successful unmount removes the mount and, while observed, posts the unmount notification to the
// main queue as the live mount watcher does.
class FakeVolumePlatform final : public platform::VolumePlatform {
  using Lock = std::lock_guard<std::recursive_mutex>;

 public:
  // Mounts at `path` (again: at the end of the table).
  void mount(const std::string& path, FakeMount mount) {
    Lock lock(mutex_);
    unmount(path);
    mounts_.emplace_back(path, std::move(mount));
  }
  // Takes the mount out of the table; its directory stays, as on Linux, until removeDirectory.
  void unmount(const std::string& path) const {
    Lock lock(mutex_);
    std::erase_if(mounts_, [&](const auto& entry) { return entry.first == path; });
  }
  void removeDirectory(const std::string& path) {
    Lock lock(mutex_);
    missing_.insert(path);
  }
  // Changes the mount at `path` in place.
  template <class Change>
  void change(const std::string& path, Change change) {
    Lock lock(mutex_);
    if (FakeMount* mount = find(path)) change(*mount);
  }
  void setMountTableReadable(bool readable) {
    Lock lock(mutex_);
    tableReadable_ = readable;
  }
  // The disk's counters: bytes in each direction (whole sectors) and one operation each, so that a sample
  // is never empty.
  void setCounters(const std::string& disk, std::uint64_t bytesRead, std::uint64_t bytesWritten) {
    Lock lock(mutex_);
    platform::BlockDeviceStat& stat = counters_[disk];
    stat.readsCompleted = stat.writesCompleted = 1;
    stat.sectorsRead = bytesRead / platform::BlockDeviceStat::sectorSize;
    stat.sectorsWritten = bytesWritten / platform::BlockDeviceStat::sectorSize;
  }
  void setDevice(const std::string& disk, const platform::BlockDevice& device) {
    Lock lock(mutex_);
    devices_[disk] = device;
  }

  void postMount() const { post(&Observers::didMount); }
  void postUnmount() const { post(&Observers::didUnmount); }
  bool isObserved() const { return !copy(observers_).expired(); }
  int tableReads() const { return copy(tableReads_); }
  int resourceReads(const std::string& path) const { return copy(resourceReads_)[path]; }
  // What unmountAndEject was asked for, in call order, and what each call gave.
  std::vector<std::pair<std::string, std::error_code>> unmountResults() const {
    return copy(unmountResults_);
  }
  std::vector<std::string> unmountRequests() const {
    std::vector<std::string> paths;
    for (const auto& [path, error] : unmountResults()) paths.push_back(path);
    return paths;
  }

  std::optional<std::vector<std::string>> mountedVolumePaths() const override {
    Lock lock(mutex_);
    ++tableReads_;
    if (!tableReadable_) return std::nullopt;
    std::vector<std::string> paths;
    for (const auto& entry : mounts_) paths.push_back(entry.first);
    return paths;
  }
  std::optional<platform::VolumeResources> resources(const std::string& path) const override {
    Lock lock(mutex_);
    ++resourceReads_[path];
    return answer(path, &FakeMount::resources);
  }
  bool fileExists(const std::string& path) const override { return !copy(missing_).contains(path); }
  std::optional<std::string> diskName(const std::string& path) const override {
    return answer(path, &FakeMount::diskName);
  }
  std::optional<platform::DiskDescription> diskDescription(const std::string& path) const override {
    return answer(path, &FakeMount::description);
  }
  std::optional<std::string> wholeDiskName(const std::string& mediaPath) const override {
    Lock lock(mutex_);
    for (const auto& [path, mount] : mounts_) {
      if (mount.description && mount.description->mediaPath == mediaPath) return mount.wholeDisk;
    }
    return std::nullopt;
  }
  std::optional<std::string> fileSystemType(const std::string& path) const override {
    return answer(path, &FakeMount::fileSystemType);
  }
  std::optional<platform::BlockDeviceStat> diskStatistics(const std::string& disk) const override {
    return lookup(counters_, disk);
  }
  std::optional<platform::BlockDevice> diskDevice(const std::string& disk) const override {
    return lookup(devices_, disk);
  }
  std::error_code unmountAndEject(const std::string& path) const override {
    std::error_code error;
    {
      Lock lock(mutex_);
      const FakeMount* mount = find(path);
      // Like umount2 on a directory that is no mount point (any more).
      error = mount ? mount->unmountError : std::make_error_code(std::errc::invalid_argument);
      unmountResults_.emplace_back(path, error);
      if (!error) unmount(path);
    }
    if (!error) postUnmount();  // outside the lock, as the live watcher posts from its own thread
    return error;
  }
  std::shared_ptr<void> observeMounts(Notification didMount, Notification didUnmount) const override {
    auto observers = std::make_shared<Observers>(Observers{std::move(didMount), std::move(didUnmount)});
    Lock lock(mutex_);
    observers_ = observers;
    return observers;
  }

 private:
  struct Observers {
    Notification didMount, didUnmount;
  };

  // A copy of `member`, taken under the lock.
  template <class Member>
  Member copy(const Member& member) const {
    Lock lock(mutex_);
    return member;
  }
  FakeMount* find(const std::string& path) const {
    const auto found =
        std::find_if(mounts_.begin(), mounts_.end(), [&](auto& entry) { return entry.first == path; });
    return found == mounts_.end() ? nullptr : &found->second;
  }
  template <class Field>
  Field answer(const std::string& path, Field FakeMount::*field) const {
    Lock lock(mutex_);
    const FakeMount* mount = find(path);
    return mount ? mount->*field : Field{};
  }
  template <class Value>
  std::optional<Value> lookup(const std::map<std::string, Value>& map, const std::string& key) const {
    Lock lock(mutex_);
    const auto found = map.find(key);
    return found == map.end() ? std::nullopt : std::optional(found->second);
  }
  // Posts the notification to the main queue, as the live mount watcher does, while observed.
  void post(Notification Observers::*which) const {
    platform::DispatchQueue::main().async([weak = copy(observers_), which] {
      if (const auto observers = weak.lock()) ((*observers).*which)();
    });
  }

  mutable std::recursive_mutex mutex_;
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

// A volumes controller over a fake system, made on first use, with a recording listener; its threads are
// joined and the main queue drained after each test.
class FakeSystemTest : public ::testing::Test {
 protected:
  void TearDown() override {
    threads_.joinAll();
    pumpMainQueue();
  }
  Draskel::VolumesController& controller() {
    if (!controller_) {
      controller_ = Draskel::VolumesController::create(platform_, threads_.starter());
      controller_->delegates()->add(delegate_);
    }
    return *controller_;
  }
  // The volume mounted at `path`, or null.
  std::shared_ptr<Draskel::Volume> find(const std::string& path) {
    for (const auto& volume : controller().volumes()) {
      if (volume->url == path) return volume;
    }
    return nullptr;
  }
  // The volume mounted at `path`; a failure and a placeholder when there is none.
  std::shared_ptr<Draskel::Volume> volumeAt(const std::string& path) {
    if (auto volume = find(path)) return volume;
    ADD_FAILURE() << "no volume at " << path;
    return std::make_shared<Draskel::Volume>(path);
  }

  JoiningThreads threads_;
  std::shared_ptr<FakeVolumePlatform> platform_ = std::make_shared<FakeVolumePlatform>();
  std::shared_ptr<RecordingDelegate> delegate_ = std::make_shared<RecordingDelegate>();
  std::shared_ptr<Draskel::VolumesController> controller_;
};

}  // namespace volumetest
