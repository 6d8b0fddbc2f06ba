// The volumes controller over a fake system: discovery, order, rates, sizes and settings.
#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "Bexlan/DiskUtilities.hpp"
#include "Draskel/VolumesController.hpp"
#include "Platform/Foundation/Clock.hpp"
#include "tests/Draskel/FakeVolumePlatform.hpp"

namespace {

using Draskel::Volume;
using volumetest::browsableVolume;
using volumetest::FakeMount;

constexpr std::uint64_t mebibyte = 1 << 20;

class VolumesControllerTest : public volumetest::FakeSystemTest {
 protected:
  void SetUp() override {
    platform_->mount("/", browsableVolume("Root", "sda2", "sda", true));
    platform_->setCounters("sda", 0, 0);
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
  const auto mountWith = [&](const std::string& path, const char* disk, auto change) {
    FakeMount mount = browsableVolume(path.substr(path.rfind('/') + 1), disk, disk);
    change(mount);
    platform_->mount(path, mount);
  };
  mountWith("/proc", "proc", [](FakeMount& m) { m.resources->isBrowsable = false; });
  mountWith("/media/nameless", "x", [](FakeMount& m) { m.diskName.reset(); });
  mountWith("/media/blank", "", [](FakeMount&) {});
  mountWith("/media/undecided", "sdc", [](FakeMount& m) { m.resources->isBrowsable.reset(); });
  mountWith("/media/unreadable", "sdd", [](FakeMount& m) { m.resources.reset(); });
  // Nothing is read before the first refresh.
  EXPECT_EQ(controller().volumeCount(), 0);
  EXPECT_EQ(platform_->tableReads(), 0);

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

  // Without a mount notification the table is not read again; after one, rejected mounts are asked again
  // and known volumes are never added again, whatever the order.
  platform_->mount("/", browsableVolume("Root", "sda2", "sda", true));  // now last in the table
  controller().refresh(1);
  EXPECT_EQ(platform_->tableReads(), 1);
  platform_->postMount();
  volumetest::pumpMainQueue();
  EXPECT_EQ(platform_->tableReads(), 2);
  EXPECT_EQ(delegate_->count("added"), 3u);
  EXPECT_EQ(controller().volumeCount(), 3);
  for (const char* path : {"/proc", "/media/nameless", "/media/blank", "/media/unreadable"}) {
    EXPECT_EQ(platform_->resourceReads(path), 2) << path;
  }
}

TEST_F(VolumesControllerTest, TheWholeDiskComesFromTheDescriptionsMediaPath) {
  FakeMount undescribed = browsableVolume("Undescribed", "sdb1", "sdb");
  undescribed.description.reset();
  platform_->mount("/media/undescribed", undescribed);
  FakeMount pathless = browsableVolume("Pathless", "sdc1", "sdc");
  pathless.description->mediaPath.reset();
  platform_->mount("/media/pathless", pathless);
  FakeMount wholeDisk = browsableVolume("Whole", "sdd", "sdd");
  wholeDisk.fileSystemType = "exfat";
  platform_->mount("/media/whole", wholeDisk);
  for (const char* disk : {"sdb", "sdc", "sdd"}) platform_->setCounters(disk, 0, 0);
  // Characteristics need the disk's counters as well as its device.
  platform::BlockDevice device;
  device.model = "Cruzer Blade";
  device.isRotational = false;
  platform_->setDevice("sdd", device);
  platform_->mount("/media/uncounted", browsableVolume("Uncounted", "sde1", "sde"));
  platform_->setDevice("sde", device);

  controller().refresh(1);
  EXPECT_EQ(volumeAt("/media/undescribed")->rootBsdName, "");
  EXPECT_FALSE(volumeAt("/media/undescribed")->deviceProtocol.has_value());
  EXPECT_EQ(volumeAt("/media/pathless")->rootBsdName, "");
  const auto whole = volumeAt("/media/whole");
  EXPECT_EQ(whole->rootBsdName, "sdd");
  // The file system is the mount's type; the kind, the description's.
  EXPECT_EQ(whole->fileSystem, "exfat");
  EXPECT_EQ(whole->volumeKind, "ext4");
  ASSERT_NE(whole->characteristics, nullptr);
  EXPECT_EQ(whole->characteristics->productName(), Draskel::PropertyValue(std::string("Cruzer Blade")));
  EXPECT_EQ(whole->characteristics->mediumType(), Draskel::PropertyValue(std::string("Solid State")));
  EXPECT_EQ(volumeAt("/media/uncounted")->characteristics, nullptr);

  // Without a whole disk a volume never gets counters, so its speeds stay unknown.
  for (const char* disk : {"sdb", "sdc", "sdd"}) platform_->setCounters(disk, mebibyte, mebibyte);
  controller().refresh(1);
  EXPECT_EQ(volumeAt("/media/undescribed")->readSpeed, "-");
  EXPECT_EQ(volumeAt("/media/pathless")->readSpeed, "-");
  EXPECT_EQ(whole->readSpeed, rateText(mebibyte));

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
  for (const auto& [name, disk] : mounts) {
    platform_->mount("/media/" + std::string(disk), browsableVolume(name, disk, disk));
  }
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
  EXPECT_EQ(root->readSpeed, rateText(mebibyte / 2));
  EXPECT_EQ(root->writeSpeed, rateText(mebibyte));
  EXPECT_EQ(controller().string("diskRead"), rateText(mebibyte / 2));
  EXPECT_EQ(controller().string("diskWrite"), rateText(mebibyte));

  // A mount notification refreshes with interval 0: the speed is the whole difference.
  platform_->setCounters("sda", 4 * mebibyte, 2 * mebibyte);
  platform_->postMount();
  ASSERT_TRUE(volumetest::pumpUntil([&] { return root->readDelta == 3 * mebibyte; }));
  EXPECT_EQ(root->readSpeed, rateText(3 * mebibyte));
  EXPECT_EQ(controller().string("diskRead"), rateText(3 * mebibyte));
  EXPECT_EQ(controller().string("diskWrite"), rateText(0));

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
  EXPECT_EQ(root->totalBytes, 2000u);
  EXPECT_EQ(root->freeBytes, 900u);
  EXPECT_EQ(controller().lastStorageRefresh(), 1010);

  // The wall clock set back: the sizes are read at once rather than after it caught up.
  setSizes(3000, 100);
  {
    platform::Clock::Override steppedBack(500, 60);
    controller().refresh(1);
    EXPECT_EQ(root->totalBytes, 3000u);
    EXPECT_EQ(controller().lastStorageRefresh(), 500);
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
  EXPECT_EQ(volumeAt("/")->readSpeed, "-");
  EXPECT_EQ(controller().string("diskWrite"), "-");

  controller().setGatherUsage(false);
  platform_->change("/", [](FakeMount& mount) { mount.resources->totalCapacity = 1; });
  controller().refresh(1);
  EXPECT_EQ(volumeAt("/")->totalBytes, 1000u);
  EXPECT_EQ(platform_->resourceReads("/"), 3);
  EXPECT_THROW(controller().setStorageInterval(std::nan("")), std::invalid_argument);
  // The history size is the store's: the volumes keep their own.
  controller().setHistorySize(30);
  EXPECT_EQ(volumeAt("/")->readHistory.size(), Volume::historyLength);
}

}  // namespace
