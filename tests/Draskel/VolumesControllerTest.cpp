// The volumes controller over a fake system: discovery, order, rates, sizes and the store.
#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <tuple>

#include "Bexlan/DiskUtilities.hpp"
#include "Bexlan/StringIdentifier.hpp"
#include "Draskel/VolumesController.hpp"
#include "Platform/Foundation/Clock.hpp"
#include "tests/Draskel/FakeVolumePlatform.hpp"

namespace {

using Draskel::Volume;
using volumetest::browsableVolume;
using volumetest::FakeMount;

constexpr std::uint64_t mebibyte = 1 << 20;
using Texts = std::vector<std::optional<std::string>>;

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

TEST_F(VolumesControllerTest, StartsWithTwoSpeedEntriesWithoutTextAndReadsNoVolume) {
  const auto& store = controller().store();
  for (const char* key : {"diskRead", "diskWrite"}) {
    const auto entry = store->identifierAs<Bexlan::StringIdentifier>(key);
    ASSERT_NE(entry, nullptr) << key;
    EXPECT_EQ(entry->name(), key);
    EXPECT_FALSE(entry->mString().has_value());
    EXPECT_NE(entry->icon(), nullptr);
    EXPECT_EQ(controller().string(key), "-");
  }
  EXPECT_EQ(controller().volumeCount(), 0);
  EXPECT_EQ(platform_->tableReads(), 0);
  EXPECT_TRUE(platform_->isObserved());
  controller_.reset();
  EXPECT_FALSE(platform_->isObserved());
}

TEST_F(VolumesControllerTest, TheFirstRefreshAddsEachBrowsableVolumeOnANamedDiskOnce) {
  platform_->mount("/media/stick", browsableVolume("Stick", "sdb1", "sdb"));
  FakeMount hidden = browsableVolume("proc", "proc", "proc");
  hidden.resources->isBrowsable = false;
  platform_->mount("/proc", hidden);
  FakeMount nameless = browsableVolume("Nameless", "x", "x");
  nameless.diskName.reset();
  platform_->mount("/media/nameless", nameless);
  platform_->mount("/media/blank", browsableVolume("Blank", "", ""));
  FakeMount unknown = browsableVolume("Undecided", "sdc", "sdc");
  unknown.resources->isBrowsable.reset();
  platform_->mount("/media/undecided", unknown);
  FakeMount unreadable = browsableVolume("Unreadable", "sdd", "sdd");
  unreadable.resources.reset();
  platform_->mount("/media/unreadable", unreadable);

  controller().refresh(1);
  EXPECT_EQ(names(), (std::vector<std::string>{"Root", "Stick", "Undecided"}));
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
  platform_->reverseMountOrder();
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

TEST_F(VolumesControllerTest, DiscoveryCopiesTheFactsOfTheMountAndOfItsDisk) {
  FakeMount stick = browsableVolume("Stick", "sdb1", "sdb");
  stick.resources = {"Stick", 5000, 1200, false, true, true, true, true, false, true};
  stick.description->deviceModel = "Cruzer";
  stick.description->deviceRevision = "1.0";
  stick.description->volumeName = "STICK";
  stick.description->devicePath = "/sys/devices/usb1/1-1";
  stick.fileSystemType = "exfat";
  platform_->mount("/media/stick", stick);
  platform_->setCounters("sdb", 0, 0);
  platform::BlockDevice disk;
  disk.model = "Cruzer Blade";
  disk.isRotational = false;
  platform_->setDevice("sdb", disk);
  // A disk whose counters cannot be read gives no characteristics.
  platform_->mount("/media/other", browsableVolume("Other", "sdc1", "sdc"));
  platform_->setDevice("sdc", disk);

  controller().refresh(1);
  const auto v = volumeAt("/media/stick");
  EXPECT_EQ(std::tuple(v->bsdName, v->rootBsdName, v->totalBytes, v->freeBytes, v->icon),
            std::tuple("sdb1", "sdb", 5000u, 1200u, nullptr));
  // Internal, local, read-only, volume, system, startup, ejectable.
  EXPECT_EQ((std::vector<bool>{v->isInternal, v->isLocal, v->isReadOnly, v->isVolume, v->isSystemVolume,
                               v->isStartupVolume, v->isEjectable}),
            (std::vector<bool>{false, true, true, true, false, false, true}));
  EXPECT_EQ((Texts{v->fileSystem, v->deviceProtocol, v->vendor, v->model, v->revision, v->volumeName,
                   v->mediaBsdName, v->volumeKind, v->ioDiskPath}),
            (Texts{"exfat", "USB", "Vendor of sdb", "Cruzer", "1.0", "STICK", "sdb1", "ext4",
                   "/sys/devices/usb1/1-1"}));
  ASSERT_NE(v->characteristics, nullptr);
  EXPECT_EQ(v->characteristics->productName(), Draskel::PropertyValue(std::string("Cruzer Blade")));
  EXPECT_EQ(v->characteristics->mediumType(), Draskel::PropertyValue(std::string("Solid State")));
  EXPECT_EQ(volumeAt("/media/other")->characteristics, nullptr);
  const auto root = volumeAt("/");
  EXPECT_TRUE(root->isSystemVolume && root->isStartupVolume && root->isInternal);
}

TEST_F(VolumesControllerTest, TheWholeDiskComesFromTheDescriptionsMediaPath) {
  FakeMount undescribed = browsableVolume("Undescribed", "sdb1", "sdb");
  undescribed.description.reset();
  platform_->mount("/media/undescribed", undescribed);
  FakeMount pathless = browsableVolume("Pathless", "sdc1", "sdc");
  pathless.description->mediaPath.reset();
  platform_->mount("/media/pathless", pathless);
  platform_->mount("/media/whole", browsableVolume("Whole", "sdd", "sdd"));
  for (const char* disk : {"sdb", "sdc", "sdd"}) platform_->setCounters(disk, 0, 0);

  controller().refresh(1);
  EXPECT_EQ(volumeAt("/media/undescribed")->rootBsdName, "");
  EXPECT_FALSE(volumeAt("/media/undescribed")->deviceProtocol.has_value());
  EXPECT_EQ(volumeAt("/media/pathless")->rootBsdName, "");
  EXPECT_EQ(volumeAt("/media/whole")->rootBsdName, "sdd");

  // Without a whole disk a volume never gets counters, so its speeds stay unknown.
  for (const char* disk : {"sdb", "sdc", "sdd"}) platform_->setCounters(disk, mebibyte, mebibyte);
  controller().refresh(1);
  EXPECT_EQ(volumeAt("/media/undescribed")->readSpeed, "-");
  EXPECT_EQ(volumeAt("/media/pathless")->readSpeed, "-");
  EXPECT_EQ(volumeAt("/media/whole")->readSpeed, rateText(mebibyte));

  // Reading a description again replaces every fact, clearing those it lacks.
  platform_->change("/media/whole", [](FakeMount& mount) { mount.description->deviceVendor.reset(); });
  const auto whole = volumeAt("/media/whole");
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
}

TEST_F(VolumesControllerTest, TheFirstStartupVolumeByNameFeedsTheStore) {
  platform_->mount("/alpha", browsableVolume("Alpha", "sdb", "sdb", true));
  platform_->setCounters("sdb", 0, 0);
  controller().refresh(1);
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

  // The history size reaches the store but not the volumes.
  controller().setHistorySize(30);
  EXPECT_EQ(controller().historySize(), 30);
  EXPECT_EQ(controller().store()->historySize(), 30);
  EXPECT_EQ(volumeAt("/")->readHistory.size(), Volume::historyLength);
  EXPECT_THROW(controller().setHistorySize(-1), std::invalid_argument);
  EXPECT_EQ(controller().historySize(), 30);
}

}  // namespace
