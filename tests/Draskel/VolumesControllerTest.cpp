// The volumes controller over a fake system: discovery, order, rates, sizes, settings, removals, mount
// notifications, ejecting, and the threads each listener call comes on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <thread>

#include "Bexlan/DiskUtilities.hpp"
#include "Platform/Foundation/Clock.hpp"
#include "tests/Draskel/VolumesTestSupport.hpp"

namespace {

using Draskel::Volume;
using Draskel::VolumesController;
using volumetest::browsableVolume;
using volumetest::FakeMount;

constexpr std::uint64_t mebibyte = 1 << 20;

class VolumesControllerTest : public volumetest::ControllerTest {
 protected:
  void SetUp() override {
    platform_->mount("/", browsableVolume("Root", "sda2", "sda", true));
    platform_->setCounters("sda", 0, 0);
  }
  // Mounts at `path` a browsable volume named after the path's last part, as `change` alters it.
  void mountWith(const std::string& path, const std::string& device, const std::string& disk,
                 const std::function<void(FakeMount&)>& change) {
    FakeMount mount = browsableVolume(path.substr(path.rfind('/') + 1), device, disk);
    change(mount);
    platform_->mount(path, mount);
  }
  // A stick and a card beside the root, known to the controller, and no listener call recorded yet.
  void mountRemovables() {
    platform_->mount("/media/stick", browsableVolume("Stick", "sdb1", "sdb"));
    platform_->mount("/media/card", browsableVolume("Card", "SDC1", "SDC"));
    controller().refresh(1);
    volumetest::pumpMainQueue();
    delegate_->clear();
  }
  std::vector<std::string> names() {
    std::vector<std::string> names;
    for (const auto& volume : controller().volumes()) names.push_back(volume->name);
    return names;
  }
  static std::string rateText(std::uint64_t bytesPerSecond) {
    return Bexlan::DiskUtilities::rateStringVariant(bytesPerSecond, false);
  }
};

TEST_F(VolumesControllerTest, TheFirstRefreshAddsEachBrowsableVolumeOnANamedDiskOnce) {
  platform_->mount("/media/stick", browsableVolume("Stick", "sdb1", "sdb"));
  mountWith("/proc", "proc", "proc", [](FakeMount& m) { m.resources->isBrowsable = false; });
  mountWith("/media/nameless", "x", "x", [](FakeMount& m) { m.diskName.reset(); });
  mountWith("/media/blank", "", "", [](FakeMount&) {});
  mountWith("/media/undecided", "sdc", "sdc", [](FakeMount& m) { m.resources->isBrowsable.reset(); });
  mountWith("/media/unreadable", "sdd", "sdd", [](FakeMount& m) { m.resources.reset(); });
  // Nothing is read before the first refresh.
  EXPECT_EQ(std::tuple(controller().volumeCount(), platform_->tableReads()), std::tuple(0, 0));

  controller().refresh(1);
  EXPECT_EQ(names(), (std::vector<std::string>{"Root", "Stick", "undecided"}));
  const auto added = delegate_->eventsOf("added");
  ASSERT_EQ(added.size(), 3u);
  for (const auto& event : added) {
    EXPECT_EQ(event.thread, std::this_thread::get_id());
    // Read once to be made and once more by the first size pass, due at once.
    EXPECT_EQ(platform_->resourceReads(event.volume->url), 2) << event.volume->url;
  }
  EXPECT_EQ(platform_->resourceReads("/proc"), 1);

  // While paths are refused for want of facts or a device name, every refresh lists the mounts again and
  // asks each path that is no volume yet once, until a name makes a volume of one; known ones are not.
  controller().refresh(1);
  platform_->change("/media/nameless", [](FakeMount& m) { m.diskName = "sde1"; });
  controller().refresh(1);
  EXPECT_EQ(
      std::tuple(platform_->tableReads(), delegate_->count("added"), volumeAt("/media/nameless")->bsdName),
      std::tuple(3, 4u, "sde1"));
  for (const char* path : {"/proc", "/media/nameless", "/media/blank", "/media/unreadable"})
    EXPECT_EQ(platform_->resourceReads(path), 3) << path;
  EXPECT_EQ(platform_->resourceReads("/"), 2);

  // With nothing refused, an unchanged table is not read again. A changed one is, at the next refresh,
  // without a notification or a run loop, and so is one that could not be read; a known volume is never
  // added again, whatever the order.
  platform_->unmount("/media/blank");
  platform_->unmount("/media/unreadable");
  controller().refresh(1);
  controller().refresh(1);
  EXPECT_EQ(platform_->tableReads(), 4);
  platform_->setMountTableReadable(false);
  platform_->mount("/media/late", browsableVolume("Late", "sdf1", "sdf"));
  platform_->mount("/", browsableVolume("Root", "sda2", "sda", true));  // now last in the table
  controller().refresh(1);
  platform_->setMountTableReadable(true);
  controller().refresh(1);
  EXPECT_EQ(std::tuple(platform_->tableReads(), delegate_->count("added"), names()),
            std::tuple(6, 5u, std::vector<std::string>{"Late", "Root", "Stick", "nameless", "undecided"}));
  // A notification lists again too, where a main loop runs.
  platform_->postMount();
  volumetest::pumpMainQueue();
  EXPECT_EQ(platform_->tableReads(), 7);
}

TEST_F(VolumesControllerTest, TheWholeDiskComesFromTheDescriptionsMediaPath) {
  mountWith("/media/undescribed", "sdb1", "sdb", [](FakeMount& m) { m.description.reset(); });
  mountWith("/media/pathless", "sdc1", "sdc", [](FakeMount& m) { m.description->mediaPath.reset(); });
  mountWith("/media/whole", "sdd", "sdd", [](FakeMount& m) { m.fileSystemType = "exfat"; });
  for (const char* disk : {"sdb", "sdc", "sdd"}) platform_->setCounters(disk, 0, 0);
  // Characteristics need the disk's counters as well as its device.
  platform::BlockDevice device;
  device.model = "Cruzer Blade";
  device.isRotational = false;
  platform_->setDevice("sdd", device);
  platform_->mount("/media/uncounted", browsableVolume("Uncounted", "sde1", "sde"));
  platform_->setDevice("sde", device);

  controller().refresh(1);
  const auto undescribed = volumeAt("/media/undescribed"), pathless = volumeAt("/media/pathless");
  EXPECT_EQ(std::tuple(undescribed->rootBsdName, undescribed->deviceProtocol, pathless->rootBsdName),
            std::tuple("", std::optional<std::string>(), ""));
  // The file system is the mount's type; the kind, the description's.
  const auto whole = volumeAt("/media/whole");
  EXPECT_EQ(std::tuple(whole->rootBsdName, whole->fileSystem, whole->volumeKind),
            std::tuple("sdd", "exfat", "ext4"));
  ASSERT_NE(whole->characteristics, nullptr);
  EXPECT_EQ(whole->characteristics->productName(), Draskel::PropertyValue(std::string("Cruzer Blade")));
  EXPECT_EQ(whole->characteristics->mediumType(), Draskel::PropertyValue(std::string("Solid State")));
  EXPECT_EQ(volumeAt("/media/uncounted")->characteristics, nullptr);

  // Without a whole disk a volume never gets counters, so its speeds stay unknown.
  for (const char* disk : {"sdb", "sdc", "sdd"}) platform_->setCounters(disk, mebibyte, mebibyte);
  controller().refresh(1);
  EXPECT_EQ(std::tuple(undescribed->readSpeed, pathless->readSpeed, whole->readSpeed),
            std::tuple("-", "-", rateText(mebibyte)));

  // Reading a description again replaces every fact, clearing those it lacks.
  EXPECT_EQ(whole->vendor, "Vendor of sdd");
  platform_->change("/media/whole", [](FakeMount& mount) { mount.description->deviceVendor.reset(); });
  controller().readDiskDescription(*whole);
  EXPECT_FALSE(whole->vendor.has_value());
}

TEST_F(VolumesControllerTest, VolumesAreSortedByTheCodePointsOfTheirComposedNames) {
  platform_->unmount("/");
  const std::pair<const char*, const char*> mounts[] = {
      {"b", "sdb"}, {"e\u0301x", "sdc"}, {"A", "sdd"},   {"Same", "sde"},
      {"a", "sdf"}, {"\u00E9a", "sdg"},  {"Same", "sdh"}};
  for (const auto& [name, disk] : mounts)
    platform_->mount("/media/" + std::string(disk), browsableVolume(name, disk, disk));
  controller().refresh(1);
  // Case counts, capitals first; the decomposed e and acute sort as the composed letter.
  EXPECT_EQ(names(), (std::vector<std::string>{"A", "Same", "Same", "a", "b", "\u00E9a", "e\u0301x"}));
  // Equal names keep their order.
  EXPECT_EQ(controller().volumes()[1]->bsdName, "sde");
  EXPECT_EQ(controller().volumes()[2]->bsdName, "sdh");
}

TEST_F(VolumesControllerTest, RatesFollowTheIntervalAndAMountRefreshesWithTheRawDifference) {
  EXPECT_EQ(controller().string("diskRead"), "-");
  controller().refresh(1);
  EXPECT_EQ(controller().string("diskRead"), "-");
  platform_->setCounters("sda", mebibyte, 2 * mebibyte);
  controller().refresh(2);
  const auto root = volumeAt("/");
  EXPECT_EQ(
      std::tuple(root->readSpeed, root->writeSpeed, controller().string("diskRead"),
                 controller().string("diskWrite")),
      std::tuple(rateText(mebibyte / 2), rateText(mebibyte), rateText(mebibyte / 2), rateText(mebibyte)));

  // A mount notification refreshes with interval 0: the speed is the whole difference.
  platform_->setCounters("sda", 4 * mebibyte, 2 * mebibyte);
  platform_->postMount();
  ASSERT_TRUE(volumetest::pumpUntil([&] { return root->readDelta == 3 * mebibyte; }));
  EXPECT_EQ(std::tuple(root->readSpeed, controller().string("diskRead"), controller().string("diskWrite")),
            std::tuple(rateText(3 * mebibyte), rateText(3 * mebibyte), rateText(0)));

  // The first startup volume by name feeds the store.
  platform_->mount("/alpha", browsableVolume("Alpha", "sdb", "sdb", true));
  platform_->setCounters("sdb", 0, 0);
  platform_->postMount();
  volumetest::pumpMainQueue();
  platform_->setCounters("sda", 8 * mebibyte, 0);
  platform_->setCounters("sdb", 2 * mebibyte, 0);
  controller().refresh(1);
  EXPECT_EQ(controller().string("diskRead"), rateText(2 * mebibyte));
}

TEST_F(VolumesControllerTest, SizesAreReadAgainOncePerStorageIntervalAndAfterTheClockWentBack) {
  platform::Clock::Override clock(1000, 50);
  const auto setSizes = [&](std::uint64_t total, std::uint64_t available) {
    platform_->change("/", [&](FakeMount& mount) {
      mount.resources->totalCapacity = total;
      mount.resources->availableCapacity = available;
    });
  };
  controller().refresh(1);
  const auto root = volumeAt("/");
  EXPECT_EQ(controller().lastStorageRefresh(), 1000);

  setSizes(2000, 900);
  clock.advance(5);
  controller().refresh(1);
  EXPECT_EQ(root->totalBytes, 1000u);
  clock.advance(5);
  controller().refresh(1);
  EXPECT_EQ(std::tuple(root->totalBytes, root->freeBytes, controller().lastStorageRefresh()),
            std::tuple(2000u, 900u, 1010));

  // The wall clock set back: the sizes are read at once rather than after it caught up.
  setSizes(3000, 100);
  {
    platform::Clock::Override steppedBack(500, 60);
    controller().refresh(1);
    EXPECT_EQ(std::tuple(root->totalBytes, controller().lastStorageRefresh()), std::tuple(3000u, 500));
  }

  // A failed read, or a volume said not to be browsable any more, keeps the sizes.
  clock.advance(20);
  platform_->change("/", [](FakeMount& mount) { mount.resources->isBrowsable = false; });
  setSizes(7, 7);
  controller().refresh(1);
  EXPECT_EQ(root->totalBytes, 3000u);
  clock.advance(20);
  platform_->change("/", [](FakeMount& mount) { mount.resources.reset(); });
  controller().refresh(1);
  EXPECT_EQ(root->freeBytes, 100u);
}

// As a file system the kernel made read-only after an error: the mount table tells nothing new.
TEST_F(VolumesControllerTest, ASizePassTakesTheReadOnlyStateOfAVolumeWhoseMountIsUnchanged) {
  controller().setStorageInterval(0);
  controller().refresh(1);
  platform_->change("/", [](FakeMount& mount) { mount.resources->isReadOnly = true; });
  controller().refresh(1);
  EXPECT_EQ(std::tuple(volumeAt("/")->isReadOnly, platform_->tableReads()), std::tuple(true, 1));
}

TEST_F(VolumesControllerTest, SettingsForSizesStatisticsAndHistoriesTakeEffectAtTheNextRefresh) {
  platform::Clock::Override clock(1000, 50);
  controller().setStorageInterval(0);
  controller().setGatherStatistics(false);
  controller().refresh(1);
  platform_->setCounters("sda", mebibyte, mebibyte);
  controller().refresh(1);
  EXPECT_EQ(platform_->resourceReads("/"), 3);  // once to make the volume, then on every refresh
  // Without gathering statistics the speeds never change.
  EXPECT_EQ(volumeAt("/")->currentStatistics, nullptr);
  EXPECT_EQ(std::tuple(volumeAt("/")->readSpeed, controller().string("diskWrite")), std::tuple("-", "-"));

  controller().setGatherUsage(false);
  platform_->change("/", [](FakeMount& mount) { mount.resources->totalCapacity = 1; });
  controller().refresh(1);
  EXPECT_EQ(std::tuple(volumeAt("/")->totalBytes, platform_->resourceReads("/")), std::tuple(1000u, 3));
  EXPECT_THROW(controller().setStorageInterval(std::nan("")), std::invalid_argument);
  // The history size is the store's: the volumes keep their own.
  controller().setHistorySize(30);
  EXPECT_EQ(volumeAt("/")->readHistory.size(), Volume::historyLength);
}

TEST_F(VolumesControllerTest, ARefreshAddsOnItsThreadAndTellsOfVanishedVolumesAndUpdatesOnTheMainQueue) {
  mountRemovables();
  // Without mount notifications the changed table is read at the next refresh.
  controller_->removeObservers();
  platform_->mount("/media/new", browsableVolume("New", "sdd1", "sdd"));
  const auto stick = find("/media/stick");
  // Unmounted and its directory removed, without a notification: it leaves at once.
  platform_->unmount("/media/stick");
  platform_->removeDirectory("/media/stick");
  std::thread refresher([&] { controller_->refresh(1); });
  const std::thread::id refresherId = refresher.get_id();
  refresher.join();
  const auto added = delegate_->eventsOf("added");
  ASSERT_EQ(added.size(), 1u);
  EXPECT_EQ(std::tuple(added[0].thread, added[0].volume->url), std::tuple(refresherId, "/media/new"));
  EXPECT_EQ(find("/media/stick"), nullptr);
  EXPECT_EQ(delegate_->count("updated") + delegate_->count("removed"), 0u);
  // Refreshes while the main queue does not run leave one volumesUpdated waiting, not one each.
  controller_->refresh(1);
  controller_->refresh(1);
  volumetest::pumpMainQueue();
  const auto removed = delegate_->eventsOf("removed");
  const auto updated = delegate_->eventsOf("updated");
  ASSERT_EQ(removed.size() + updated.size(), 2u);
  EXPECT_EQ(removed.at(0).volume, stick);
  EXPECT_TRUE(removed[0].onMainThread && updated.at(0).onMainThread);
  controller_->refresh(1);
  volumetest::pumpMainQueue();
  EXPECT_EQ(delegate_->count("updated"), 2u);
  // Unmounted without a notification, its directory kept: the next listing drops it and tells at once.
  const auto card = find("/media/card");
  platform_->unmount("/media/card");
  controller_->refresh(1);
  const auto gone = delegate_->eventsOf("removed");
  ASSERT_EQ(gone.size(), 2u);
  EXPECT_EQ(std::tuple(gone[1].volume, gone[1].onMainThread, controller_->volumeCount()),
            std::tuple(card, true, 2));
}

TEST_F(VolumesControllerTest, AnUnmountDropsTheVolumesNoLongerMountedAndTellsAtOnce) {
  mountRemovables();
  // A mount the controller never knew: nothing to remove, nobody told.
  platform_->unmount("/media/card");
  platform_->mount("/media/other", browsableVolume("Other", "sde1", "sde"));
  platform_->unmount("/media/other");
  const auto card = volumeAt("/media/card");

  std::thread handler([&] { controller_->handleUnmount(); });
  const std::thread::id handlerId = handler.get_id();
  handler.join();
  const auto removed = delegate_->eventsOf("removed");
  ASSERT_EQ(removed.size(), 1u);
  EXPECT_EQ(std::tuple(removed[0].volume, removed[0].thread), std::tuple(card, handlerId));
  EXPECT_EQ(controller_->volumeCount(), 2);

  // Without a mount table nothing is removed; the notification path runs on the main thread.
  platform_->unmount("/media/stick");
  platform_->setMountTableReadable(false);
  controller_->handleUnmount();
  EXPECT_EQ(controller_->volumeCount(), 2);
  platform_->setMountTableReadable(true);
  platform_->postUnmount();
  ASSERT_TRUE(volumetest::pumpUntil([&] { return delegate_->count("removed") == 2; }));
  EXPECT_TRUE(delegate_->eventsOf("removed")[1].onMainThread);
  EXPECT_EQ(controller_->volumeCount(), 1);
}

TEST_F(VolumesControllerTest, EjectAllLeavesOutTheStartupVolumeAndExactBsdNamesOnly) {
  mountRemovables();
  // Other letter case excludes nothing.
  controller_->ejectAll({"SDB1", "sdc1"});
  threads_.joinAll();
  auto requests = platform_->unmountRequests();
  std::sort(requests.begin(), requests.end());
  EXPECT_EQ(requests, (std::vector<std::string>{"/media/card", "/media/stick"}));
  // One pass thread, then one thread per volume.
  EXPECT_EQ(threads_.started(), 3);
  ASSERT_TRUE(volumetest::pumpUntil([&] { return controller_->volumeCount() == 1; }));

  // With only the startup volume left, only the pass thread starts.
  controller_->ejectAll();
  threads_.joinAll();
  EXPECT_EQ(std::tuple(threads_.started(), platform_->unmountRequests().size()), std::tuple(4, 2u));

  mountRemovables();
  controller_->ejectAll({"sdb1"});
  threads_.joinAll();
  requests = platform_->unmountRequests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[2], "/media/card");

  // A single eject tries whatever it is given, the startup volume too.
  controller_->eject(volumeAt("/"));
  threads_.joinAll();
  EXPECT_EQ(platform_->unmountRequests().back(), "/");
}

TEST_F(VolumesControllerTest, NullArgumentsAreRefusedAndAReleasedControllerStopsFollowingMounts) {
  mountRemovables();
  EXPECT_THROW(controller_->setDelegates(nullptr), std::invalid_argument);
  EXPECT_THROW(controller_->eject(nullptr), std::invalid_argument);
  EXPECT_THROW(VolumesController::create(nullptr), std::invalid_argument);
  EXPECT_THROW(VolumesController::create(platform_, nullptr), std::invalid_argument);

  controller_->refresh(1);  // queues volumesUpdated
  platform_->postMount();
  controller_.reset();
  EXPECT_FALSE(platform_->isObserved());
  volumetest::pumpMainQueue();
  // No volumesUpdated; the table read once, by the first refresh: the second had no notification, and the
  // late one did nothing.
  EXPECT_EQ(std::tuple(delegate_->count("updated"), platform_->tableReads()), std::tuple(0u, 1));
}

}  // namespace
