#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "Platform/Dispatch/DispatchQueue.hpp"
#include "Platform/Dispatch/MainThread.hpp"
#include "Platform/Dispatch/RunLoop.hpp"
#include "Platform/System/MountInfo.hpp"
#include "Platform/System/MountWatcher.hpp"
#include "tests/platform/System/MountTestGuards.hpp"
#include "tests/platform/System/VolumeFixtures.hpp"

namespace {

using platform::MountInfo;
using platform::MountInfoEntry;
using platform::MountWatcher;

std::vector<std::string> mountPoints(const std::vector<MountInfoEntry>& entries) {
  std::vector<std::string> points;
  for (const MountInfoEntry& entry : entries) points.push_back(entry.mountPoint);
  return points;
}

// Escaped paths, bind mounts and repeated mounts of this tree are checked through the volume platform in
// the volumes controller's tests.
TEST(MountInfoTest, ReadsEveryFieldOfARecordedTableAndTheLastMountAtAPointIsVisible) {
  const MountInfo table = MountInfo::read(*volumetest::fixtureTree("machine")).value();
  ASSERT_EQ(table.entries.size(), 15u);
  EXPECT_EQ(table.entries[2], (MountInfoEntry{27, 1, 8, 2, "/", "/", "ext4", "/dev/sda2", ""}));
  // Optional fields of any number stand between the options and the separator.
  const MountInfoEntry* vm = table.visibleAt("/mnt/vm");
  ASSERT_NE(vm, nullptr);
  EXPECT_EQ(std::tuple(vm->fileSystemType, vm->source, vm->major), std::tuple("ext4", "/dev/vda", 254u));
  // Two mounts at /tmp/ram: the later one, whose source is empty (two blanks in a row).
  const MountInfoEntry* ram = table.visibleAt("/tmp/ram");
  ASSERT_NE(ram, nullptr);
  EXPECT_EQ(std::tuple(ram->mountId, ram->source), std::tuple(49u, ""));
  EXPECT_EQ(table.visibleAt("/nowhere"), nullptr);
}

TEST(MountInfoTest, LeavesOutLinesThatAreNotWellFormedAndAnUnreadableTableIsAbsent) {
  const MountInfo table = MountInfo::parse(
      "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
      "x 1 8:1 / /c rw - ext4 /dev/sda1 rw\n"         // id not a number
      "2 1 8:1 / /a rw shared:1 ext4 /dev/sda1 rw\n"  // no separator
      "\n"
      "8 1 0:5 / /h rw - tmpfs tmpfs rw\n");
  EXPECT_EQ(mountPoints(table.entries), (std::vector<std::string>{"/", "/h"}));

  platform::MemoryTextSource source;
  EXPECT_FALSE(MountInfo::read(source).has_value());
  source.setFile("/proc/self/mountinfo", "");
  EXPECT_TRUE(MountInfo::read(source).value().entries.empty());
}

TEST(MountInfoTest, AMountIsReadOnlyByEitherOptionsFieldAndAnEmptySubvolumeIsNone) {
  const MountInfo table = MountInfo::parse(
      "30 1 0:40 / /a rw - btrfs /dev/sdb rw,space_cache=v2,subvol=\n"
      "31 1 8:1 / /b ro,relatime - ext4 /dev/sda1 rw\n"
      "32 1 8:2 / /c rw,relatime - ext4 /dev/sda2 ro,errors=remount-ro\n"
      "33 1 8:3 / /d rw,relatime - ext4 /dev/sda3 rw,errors=remount-ro\n"
      "34 1 8:4 / /e rw,relatime - ext4 /dev/sda4 rw,errors=remount-ro,emergency_ro\n");
  ASSERT_EQ(mountPoints(table.entries), (std::vector<std::string>{"/a", "/b", "/c", "/d", "/e"}));
  EXPECT_EQ(std::tuple(table.entries[0].subvolume, table.entries[0].showsFileSystemRoot()),
            std::tuple("", true));
  std::vector<bool> readOnly;
  for (const MountInfoEntry& entry : table.entries) readOnly.push_back(entry.isReadOnly);
  EXPECT_EQ(readOnly, (std::vector<bool>{false, true, true, false, true}));
}

// A device at /a, a bind of its root over that, and the device at /b too: what /a shows counts first.
TEST(MountInfoTest, AMountCoveredByABindOfItsOwnRootLeavesTheBindTheFirstMountOfTheDevice) {
  const MountInfo table = MountInfo::parse(
      "40 1 8:1 / /a rw - ext4 /dev/sda1 rw\n"
      "41 1 8:1 / /a rw - ext4 /dev/sda1 rw\n"
      "42 1 8:1 / /b rw - ext4 /dev/sda1 rw\n");
  std::vector<bool> counted;
  for (const MountInfoEntry& entry : table.entries) counted.push_back(table.isFirstMountOfDevice(entry));
  EXPECT_EQ(counted, (std::vector<bool>{true, true, false}));
}

// Lines come in the order the mounts were made: one that propagation put beneath another (61 under 60)
// comes after it, and one on a mount that another covers (62 on 50, under 51) is seen nowhere.
TEST(MountInfoTest, TheMountSeenAtAPointIsOnTopThereAndSitsOnAMountThatIsSeen) {
  const MountInfo table = MountInfo::parse(
      "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
      "50 1 0:50 / /x rw - tmpfs t rw\n"
      "60 61 8:2 / /y/p rw - ext4 /dev/sda2 rw\n"
      "61 1 8:3 / /y/p rw - ext4 /dev/sda3 rw\n"
      "62 50 8:4 / /x/q rw - ext4 /dev/sda4 rw\n"
      "51 50 0:51 / /x rw - tmpfs u rw\n"
      "63 1 8:3 / /z rw - ext4 /dev/sda3 rw\n");
  EXPECT_EQ(std::tuple(table.visibleAt("/y/p")->mountId, table.visibleAt("/x")->mountId),
            std::tuple(60u, 51u));
  EXPECT_EQ(table.visibleAt("/x/q"), nullptr);
  // sda3 is seen at /z only.
  EXPECT_TRUE(table.isFirstMountOfDevice(table.entries[6]));
}

TEST(MountWatcherTest, ChangesAreTheMountsOnlyOneTableListsComparedByIdDeviceRootAndPlace) {
  const MountInfo before = MountInfo::parse(
      "27 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
      "40 27 8:17 / /media/stick rw - vfat /dev/sdb1 rw\n"
      "41 27 8:33 / /media/card rw - vfat /dev/sdc1 rw\n"
      "42 27 8:2 /srv /mnt/bind rw - ext4 /dev/sda2 rw\n");
  const MountInfo after = MountInfo::parse(
      "27 1 8:2 / / ro - ext4 /dev/sda2 ro\n"              // remounted read-only: the same mount
      "41 27 8:49 / /media/card rw - vfat /dev/sdd1 rw\n"  // id 41 again, another device
      "42 27 8:2 /srv /mnt/bind rw - ext4 /dev/sda2 rw\n"
      "43 27 8:65 / /media/new rw - ext4 /dev/sde1 rw\n");
  const platform::MountChanges changes = platform::diffMounts(before, after);
  EXPECT_EQ(mountPoints(changes.mounted), (std::vector<std::string>{"/media/card", "/media/new"}));
  EXPECT_EQ(mountPoints(changes.unmounted), (std::vector<std::string>{"/media/stick", "/media/card"}));
  EXPECT_EQ(std::tuple(changes.mounted[0].minor, changes.unmounted[1].minor), std::tuple(49u, 33u));
  EXPECT_TRUE(platform::diffMounts(after, after).empty());

  const auto any = [](const MountInfoEntry&) { return true; };
  const auto none = [](const std::vector<MountInfoEntry>&) {};
  EXPECT_THROW(MountWatcher(nullptr, none, none), std::invalid_argument);
  EXPECT_THROW(MountWatcher(any, nullptr, none), std::invalid_argument);
}

// Mounts made by the test in a temporary directory; `makeWatcher` counts only those under
// "<directory>/counted".
class MountLiveTest : public ::testing::Test {
 protected:
  // Mounted or not, the mount points, and whether it came on the main thread.
  using Notice = std::tuple<bool, std::vector<std::string>, bool>;

  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to mount file systems";
  }

  // `filtered` hears of every mount the watcher asks about.
  std::unique_ptr<MountWatcher> makeWatcher(std::function<void(const MountInfoEntry&)> filtered = {}) {
    return std::make_unique<MountWatcher>(
        [this, filtered](const MountInfoEntry& entry) {
          if (filtered) filtered(entry);
          return entry.mountPoint.starts_with(counted_);
        },
        [this](const std::vector<MountInfoEntry>& entries) { note(true, entries); },
        [this](const std::vector<MountInfoEntry>& entries) { note(false, entries); });
  }

  void note(bool mounted, const std::vector<MountInfoEntry>& entries) {
    notices_.emplace_back(mounted, mountPoints(entries), platform::isMainThread());
  }

  bool pumpUntil(const std::function<bool()>& done) {
    return platform::RunLoop::main().runUntil(done, std::chrono::seconds(10));
  }
  // Runs whatever the main queue holds now.
  bool pumpMainQueue() {
    bool drained = false;
    platform::DispatchQueue::main().async([&] { drained = true; });
    return pumpUntil([&] { return drained; });
  }

  volumetest::TemporaryDirectory directory_;
  const std::string counted_ = directory_.path() + "/counted";
  std::vector<Notice> notices_;
};

TEST_F(MountLiveTest, MountsAndUnmountsThatCountArriveOnTheMainQueue) {
  const auto watcher = makeWatcher();
  volumetest::ScopedMount ignored(directory_.path() + "/ignored");
  volumetest::ScopedMount counted(counted_);
  ASSERT_TRUE(pumpUntil([&] { return notices_.size() >= 1; }));
  EXPECT_EQ(notices_[0], Notice(true, {counted_}, true));
  ASSERT_EQ(::umount2(counted_.c_str(), 0), 0);
  ASSERT_TRUE(pumpUntil([&] { return notices_.size() >= 2; }));
  EXPECT_EQ(notices_[1], Notice(false, {counted_}, true));
}

// With the main loop idle one notice waits, of the sum of the changes: 200 mounts come and gone are none.
TEST_F(MountLiveTest, ChangesWhileTheMainLoopIsIdleWaitAsOneNotice) {
  const std::string sentinel = directory_.path() + "/sentinel";  // not counted, mounted after the others
  std::atomic<bool> sentinelSeen = false;
  const auto watcher = makeWatcher([&](const MountInfoEntry& entry) {
    if (entry.mountPoint == sentinel) sentinelSeen = true;
  });
  for (int pair = 0; pair < 200; ++pair) volumetest::ScopedMount{counted_};  // mounted and unmounted
  volumetest::ScopedMount last(counted_), afterLast(sentinel);
  for (int wait = 0; wait < 1000 && !sentinelSeen; ++wait)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // for the watcher to keep the table it read
  ASSERT_TRUE(pumpUntil([&] { return !notices_.empty(); }));
  ASSERT_TRUE(pumpMainQueue());
  EXPECT_EQ(notices_, std::vector<Notice>{Notice(true, {counted_}, true)});
}

TEST_F(MountLiveTest, ADestroyedWatcherHasStoppedAndCallsNothingMore) {
  std::promise<void> seen;
  std::once_flag once;
  auto watcher = makeWatcher([&](const MountInfoEntry& entry) {
    if (entry.mountPoint == counted_) std::call_once(once, [&] { seen.set_value(); });
  });
  volumetest::ScopedMount counted(counted_);
  ASSERT_EQ(seen.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
  watcher.reset();
  ASSERT_TRUE(pumpMainQueue());
  EXPECT_TRUE(notices_.empty());
}

}  // namespace
