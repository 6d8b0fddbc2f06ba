// The volumes controller over the Linux volume platform rooted at recorded machines: which mounts become
// volumes, what discovery reads for each, and the platform's scope. Sizes and labels, which the live
// platform asks the file systems themselves for, come from the test.
#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <sstream>
#include <string>
#include <tuple>

#include "Draskel/BlockStorageProperties.hpp"
#include "Draskel/VolumesController.hpp"
#include "Platform/System/VolumePlatform.hpp"
#include "tests/Draskel/VolumesTestSupport.hpp"
#include "tests/platform/System/VolumeFixtures.hpp"

namespace {

using Draskel::Volume;
using Draskel::VolumesController;
using platform::VolumePlatform;

class VolumesControllerRecordedMachineTest : public ::testing::Test {
 protected:
  // Sizes by path length, read-only for the optical disc; labels from udev, else from `labels_`.
  VolumePlatform::FileSystemCalls calls() {
    return {
        [this](const std::string& path) -> std::optional<platform::FileSystemSize> {
          ++sizeReads_[path];
          return platform::FileSystemSize{4096 * path.size(), 1024, path == "/media/cdrom"};
        },
        [this](const std::string& mountPoint, const platform::UdevData* udev) -> std::optional<std::string> {
          if (const auto label = labels_.find(mountPoint); label != labels_.end()) return label->second;
          return udev ? udev->text("ID_FS_LABEL") : std::nullopt;
        },
    };
  }

  std::shared_ptr<const VolumePlatform> machine(std::string scope = "/") {
    return VolumePlatform::live(volumetest::fixtureTree("machine"), std::move(scope), calls(), udev_);
  }

  std::map<std::string, std::string> labels_{{"/mnt/pool", "Pool"}};
  const std::shared_ptr<const platform::UdevDatabase> udev_ = volumetest::fixtureUdev();
  std::map<std::string, int> sizeReads_;
};

TEST_F(VolumesControllerRecordedMachineTest, EveryMountPointInScopeIsListedOnceWhereItsVisibleMountIs) {
  const auto paths = machine()->mountedVolumePaths();
  ASSERT_TRUE(paths.has_value());
  EXPECT_EQ(*paths,
            (std::vector<std::string>{"/proc", "/sys", "/", "/boot/efi", "/home", "/media/user/My Stick",
                                      "/media/user/SD Card\tTab\\", "/mnt/bind", "/mnt/stick again",
                                      "/mnt/pool", "/tmp/image dir", "/media/cdrom", "/mnt/vm", "/tmp/ram"}));
  const auto empty =
      VolumePlatform::live(std::make_shared<platform::MemoryTextSource>(), "/", calls(), udev_);
  EXPECT_FALSE(empty->mountedVolumePaths().has_value());
  EXPECT_FALSE(empty->resources("/").has_value());

  // A scoped platform sees and unmounts only what lies in its directory.
  const auto scoped = machine("/media/user/");
  EXPECT_EQ(scoped->mountedVolumePaths(),
            (std::vector<std::string>{"/media/user/My Stick", "/media/user/SD Card\tTab\\"}));
  EXPECT_FALSE(scoped->resources("/mnt/vm").has_value());
  EXPECT_FALSE(scoped->diskName("/").has_value());
  // Refused before anything is tried: these paths are not even mounts of this machine.
  EXPECT_EQ(scoped->unmountAndEject("/mnt/vm"), std::error_code(EPERM, std::generic_category()));
  EXPECT_EQ(scoped->unmountAndEject("/media/username"), std::error_code(EPERM, std::generic_category()));
  EXPECT_EQ(scoped->wholeDiskName("/sys/class/block/dm-0"), "nvme0n1");
  EXPECT_FALSE(scoped->wholeDiskName("/sys/class/block/vda").has_value());
  EXPECT_THROW(VolumePlatform::live(volumetest::fixtureTree("machine"), "media", calls()),
               std::invalid_argument);
}

TEST_F(VolumesControllerRecordedMachineTest, BrowsableBlockVolumesBecomeVolumesThatKnowTheirDiskAndKind) {
  const auto controller = VolumesController::create(machine());
  controller->refresh(1);
  // In name order: name, path, device, whole disk, protocol, internal, ejectable.
  using Facts =
      std::tuple<std::string, std::string, std::string, std::string, std::optional<std::string>, bool, bool>;
  const Facts expected[] = {
      {"Data Disk", "/", "sda2", "sda", "SATA", true, false},
      {"My Stick", "/media/user/My Stick", "sdb1", "sdb", "USB", false, true},
      {"Pool", "/mnt/pool", "dm-0", "nvme0n1", "PCI-Express", true, false},
      {"SD Card\tTab\\", "/media/user/SD Card\tTab\\", "mmcblk0p1", "mmcblk0", "Secure Digital", false, true},
      {"cdrom", "/media/cdrom", "sr0", "sr0", "ATAPI", false, true},
      {"image dir", "/tmp/image dir", "loop0p1", "loop0", "Disk Image", false, true},
      {"vm", "/mnt/vm", "vda", "vda", "Virtual Interface", true, false},
  };
  ASSERT_EQ(controller->volumeCount(), std::ssize(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const Volume& volume = *controller->volumes()[i];
    const std::string path = volume.url.string();
    EXPECT_EQ(Facts(volume.name, path, volume.bsdName, volume.rootBsdName, volume.deviceProtocol,
                    volume.isInternal, volume.isEjectable),
              expected[i]);
    EXPECT_EQ(volume.mediaBsdName, volume.bsdName) << path;
    EXPECT_EQ(std::tuple(volume.isStartupVolume, volume.isReadOnly, volume.totalBytes, volume.freeBytes),
              std::tuple(path == "/", path == "/media/cdrom", 4096 * path.size(), std::uint64_t{1024}))
        << path;
    // The counters of the whole disk were taken as the first sample.
    EXPECT_NE(volume.currentStatistics, nullptr) << path;
  }
  // System places, a bind mount of a subdirectory, a second mount of a device and memory file systems are
  // left out without asking their file systems anything.
  for (const char* path : {"/proc", "/boot/efi", "/home", "/mnt/bind", "/mnt/stick again", "/tmp/ram"}) {
    EXPECT_EQ(sizeReads_[path], 0) << path;
  }

  const auto root = controller->volumes().front();
  using Texts = std::vector<std::optional<std::string>>;
  EXPECT_EQ((Texts{root->fileSystem, root->volumeKind, root->volumeType, root->vendor, root->model,
                   root->revision, root->volumeName, root->ioDiskPath}),
            (Texts{"ext4", "ext4", "ext4", "ATA", "Samsung SSD 860 EVO 500GB", "4B6Q", "Data Disk",
                   "/sys/devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0"}));
  ASSERT_NE(root->characteristics, nullptr);
  EXPECT_EQ(root->characteristics->serialNumber(), Draskel::PropertyValue(std::string("S3Z9NB0K123456A")));
  const auto vm = controller->volumes().back();
  ASSERT_NE(vm->characteristics, nullptr);
  EXPECT_EQ(vm->characteristics->mediumType(), Draskel::PropertyValue(std::string("Rotational")));
  const auto sda = platform::BlockDeviceStat::read(*volumetest::fixtureTree("machine"), "sda");
  ASSERT_TRUE(sda.has_value());
  EXPECT_EQ(root->currentStatistics->bytesRead, sda->sectorsRead * 512);
  EXPECT_EQ(root->currentStatistics->bytesWritten, sda->sectorsWritten * 512);
  EXPECT_EQ(root->currentStatistics->operationsRead, sda->readsCompleted);
  EXPECT_EQ(controller->string("diskRead"), "-");
  volumetest::pumpMainQueue();
}

TEST_F(VolumesControllerRecordedMachineTest, OnlyRootsOfBlockFileSystemsOutsideSystemPlacesAreBrowsable) {
  auto source = std::make_shared<platform::MemoryTextSource>();
  std::string table;
  // The first five are browsable.
  std::vector<std::string> mountPoints;
  std::istringstream words(
      "/ /run/media/user/USB /srv2 /mnt/x /tmp/z /run/user/1000/doc /srv /srv/data /var/lib/docker "
      "/usr/local /snap/core/1 /efi /opt/x /dev/x /home /boot /sys/x");
  for (std::string point; words >> point; mountPoints.push_back(point)) {
    const std::size_t i = mountPoints.size();
    const std::string device = "sd" + std::to_string(i), number = "8:" + std::to_string(i);
    table += std::to_string(100 + i) + " 1 " + number + " / " + point + " rw - ext4 /dev/" + device + " rw\n";
    source->setLink("/sys/dev/block/" + number, "../../block/" + device);
    source->setFile("/sys/class/block/" + device + "/dev", number + "\n");
  }
  source->setFile("/proc/self/mountinfo", table);
  const auto platform = VolumePlatform::live(source, "/", calls(), udev_);
  ASSERT_TRUE(platform->mountedVolumePaths().has_value());
  for (std::size_t i = 0; i < mountPoints.size(); ++i) {
    const auto resources = platform->resources(mountPoints[i]);
    ASSERT_TRUE(resources.has_value()) << mountPoints[i];
    EXPECT_EQ(resources->isBrowsable, i < 5) << mountPoints[i];
  }
}

}  // namespace
