#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>
#include <utility>

#include "Draskel/VolumesController.hpp"
#include "Draskel/VolumesDelegate.hpp"
#include "Platform/Dispatch/DispatchQueue.hpp"
#include "Platform/Dispatch/MainThread.hpp"
#include "Platform/Dispatch/RunLoop.hpp"
#include "Platform/System/VolumePlatform.hpp"

namespace volumetest {

// One call a listener received, with the thread it came on.
struct VolumesEvent {
  std::string kind;  // "added", "removed", "updated", "ejectStarted", "ejectFailed"
  std::shared_ptr<Draskel::Volume> volume;
  std::error_code error;
  std::thread::id thread;
  bool onMainThread = false;
};

// A listener that records every call. Each call also wakes the main run loop, so a test pumping it sees
// calls from other threads at once.
class RecordingDelegate final : public Draskel::VolumesDelegate {
  using VolumeRef = std::shared_ptr<Draskel::Volume>;

 public:
  void volumeRemoved(const VolumeRef& volume) override { record("removed", volume); }
  void ejectFailed(const VolumeRef& volume, const std::error_code& error) override {
    record("ejectFailed", volume, error);
  }
  void volumeAdded(const VolumeRef& volume) override { record("added", volume); }
  void ejectStarted(const VolumeRef& volume) override { record("ejectStarted", volume); }
  void volumesUpdated() override { record("updated", nullptr); }

  // The calls of `kind` ("" for all), in order.
  std::vector<VolumesEvent> eventsOf(const std::string& kind = "") const {
    std::lock_guard lock(mutex_);
    std::vector<VolumesEvent> matching;
    std::ranges::copy_if(events_, std::back_inserter(matching),
                         [&](const VolumesEvent& event) { return kind.empty() || event.kind == kind; });
    return matching;
  }
  std::size_t count(const std::string& kind) const { return eventsOf(kind).size(); }
  void clear() {
    std::lock_guard lock(mutex_);
    events_.clear();
  }

 private:
  void record(std::string kind, VolumeRef volume, std::error_code error = {}) {
    {
      std::lock_guard lock(mutex_);
      events_.push_back(
          {std::move(kind), std::move(volume), error, std::this_thread::get_id(), platform::isMainThread()});
    }
    platform::RunLoop::main().perform([] {});
  }

  mutable std::mutex mutex_;
  std::vector<VolumesEvent> events_;
};

// Pumps the main run loop until `condition` holds; false after ten seconds without.
inline bool pumpUntil(const std::function<bool()>& condition) {
  return platform::RunLoop::main().runUntil(condition, std::chrono::seconds(10));
}

// Runs whatever the main queue holds now.
inline void pumpMainQueue() {
  bool drained = false;
  platform::DispatchQueue::main().async([&] { drained = true; });
  pumpUntil([&] { return drained; });
}

// A thread starter for controllers under test: it counts the threads and joins them, and the threads they
// start, when asked and when it is destroyed. Make it before the controller, so that it outlives it.
class JoiningThreads {
 public:
  ~JoiningThreads() { joinAll(); }

  Draskel::VolumesController::ThreadStarter starter() {
    return [this](std::function<void()> body) {
      std::lock_guard lock(mutex_);
      ++started_;
      threads_.emplace_back(std::move(body));
    };
  }

  // Joins every thread started so far and every thread those start, until none is left.
  void joinAll() {
    for (std::vector<std::thread> running;; running.clear()) {
      {
        std::lock_guard lock(mutex_);
        running.swap(threads_);
      }
      if (running.empty()) return;
      for (std::thread& thread : running) thread.join();
    }
  }

  int started() const {
    std::lock_guard lock(mutex_);
    return started_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::thread> threads_;
  int started_ = 0;
};

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
// it. Mounting and unmounting change the mount table (what the change checks tell); changing a mount's
// facts or the table's readability does not. A successful unmount removes the mount and, while observed,
// posts the unmount notification to the main queue as the live mount watcher does.
class FakeVolumePlatform final : public platform::VolumePlatform {
  using Lock = std::lock_guard<std::recursive_mutex>;

 public:
  // Mounts at `path` (again: at the end of the table).
  void mount(const std::string& path, FakeMount mount) {
    Lock lock(mutex_);
    unmount(path);
    mounts_.emplace_back(path, std::move(mount));
    ++tableVersion_;
  }
  // Takes the mount out of the table; its directory stays, as on Linux, until removeDirectory.
  void unmount(const std::string& path) const {
    Lock lock(mutex_);
    std::erase_if(mounts_, [&](const auto& entry) { return entry.first == path; });
    ++tableVersion_;
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
    platform::BlockDeviceStat& stat = counters_[disk].emplace();
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
  ChangeCheck mountTableChanges() const override {
    return [this, seen = std::make_shared<int>(copy(tableVersion_))] {
      const int now = copy(tableVersion_);
      return std::exchange(*seen, now) != now;
    };
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
    for (const auto& [path, mount] : mounts_)
      if (mount.description && mount.description->mediaPath == mediaPath) return mount.wholeDisk;
    return std::nullopt;
  }
  std::optional<std::string> fileSystemType(const std::string& path) const override {
    return answer(path, &FakeMount::fileSystemType);
  }
  std::optional<platform::BlockDeviceStat> diskStatistics(const std::string& disk) const override {
    return copy(counters_)[disk];
  }
  std::optional<platform::BlockDevice> diskDevice(const std::string& disk) const override {
    return copy(devices_)[disk];
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
    const auto found = std::ranges::find(mounts_, path, &std::pair<std::string, FakeMount>::first);
    return found == mounts_.end() ? nullptr : &found->second;
  }
  template <class Field>
  Field answer(const std::string& path, Field FakeMount::*field) const {
    Lock lock(mutex_);
    const FakeMount* mount = find(path);
    return mount ? mount->*field : Field{};
  }
  // Posts the notification to the main queue, as the live mount watcher does, while observed.
  void post(Notification Observers::*which) const {
    platform::DispatchQueue::main().async([weak = copy(observers_), which] {
      if (const auto observers = weak.lock()) ((*observers).*which)();
    });
  }

  mutable std::recursive_mutex mutex_;
  mutable std::vector<std::pair<std::string, FakeMount>> mounts_;
  // By disk name; absent for the disks the test gave nothing.
  std::map<std::string, std::optional<platform::BlockDeviceStat>> counters_;
  std::map<std::string, std::optional<platform::BlockDevice>> devices_;
  std::set<std::string> missing_;
  bool tableReadable_ = true;
  mutable int tableReads_ = 0;
  mutable int tableVersion_ = 0;
  mutable std::map<std::string, int> resourceReads_;
  mutable std::vector<std::pair<std::string, std::error_code>> unmountResults_;
  mutable std::weak_ptr<Observers> observers_;
};

// A volumes controller, made on first use over the system the first call names (the fake one when none),
// with a recording listener; its threads are joined, the controller released and the main queue drained
// after each test.
class ControllerTest : public ::testing::Test {
 protected:
  void TearDown() override {
    threads_.joinAll();
    controller_.reset();
    pumpMainQueue();
  }
  Draskel::VolumesController& controller(std::shared_ptr<const platform::VolumePlatform> system = nullptr) {
    if (!controller_) {
      controller_ = Draskel::VolumesController::create(system ? system : platform_, threads_.starter());
      controller_->delegates()->add(delegate_);
    }
    return *controller_;
  }
  // The volume mounted at `path`, or null.
  std::shared_ptr<Draskel::Volume> find(const std::string& path) {
    for (const auto& volume : controller().volumes())
      if (volume->url == path) return volume;
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
