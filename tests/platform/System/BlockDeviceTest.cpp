#include "Platform/System/BlockDevice.hpp"

#include <gtest/gtest.h>

#include "tests/platform/System/VolumeFixtures.hpp"

namespace {

using platform::BlockDevice;

class BlockDeviceTest : public ::testing::Test {
 protected:
  BlockDevice device(const char* name) const {
    std::optional<BlockDevice> read = BlockDevice::read(*source_, name);
    EXPECT_TRUE(read.has_value()) << name;
    return read.value_or(BlockDevice{});
  }

  std::shared_ptr<const platform::TextSource> source_ = volumetest::fixtureTree("machine");
};

TEST_F(BlockDeviceTest, APartitionOfASataDiskTakesTheDiskFactsWithUdevFillingTheGaps) {
  const BlockDevice sda2 = device("sda2");
  EXPECT_EQ(sda2.name, "sda2");
  EXPECT_EQ(sda2.major, 8u);
  EXPECT_EQ(sda2.minor, 2u);
  EXPECT_TRUE(sda2.isPartition);
  EXPECT_EQ(sda2.wholeDisk, "sda");
  const std::string scsiDevice = "/sys/devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0";
  EXPECT_EQ(sda2.wholeDiskPath, scsiDevice + "/block/sda");
  EXPECT_EQ(sda2.devicePath, scsiDevice);
  EXPECT_EQ(sda2.deviceProtocol, "SATA");
  EXPECT_EQ(sda2.isRemovable, false);
  EXPECT_EQ(sda2.isRotational, false);
  EXPECT_EQ(sda2.vendor, "ATA");
  EXPECT_EQ(sda2.model, "Samsung SSD 860 EVO 500GB");
  EXPECT_EQ(sda2.revision, "4B6Q");
  // sysfs has no serial for SCSI disks; udev's record of the whole disk has it.
  EXPECT_EQ(sda2.serial, "S3Z9NB0K123456A");

  const BlockDevice sda = device("sda");
  EXPECT_FALSE(sda.isPartition);
  EXPECT_EQ(sda.wholeDisk, "sda");
  EXPECT_EQ(sda.serial, sda2.serial);
}

TEST_F(BlockDeviceTest, TheBusPathGivesTheDeviceProtocol) {
  EXPECT_EQ(device("nvme0n1p1").deviceProtocol, "PCI-Express");
  EXPECT_EQ(device("sdb1").deviceProtocol, "USB");
  EXPECT_EQ(device("mmcblk0p1").deviceProtocol, "Secure Digital");
  EXPECT_EQ(device("sr0").deviceProtocol, "ATAPI");
  // A parallel ATA link reports no SATA speed.
  EXPECT_EQ(device("sdc").deviceProtocol, "ATA");
  EXPECT_EQ(device("vda").deviceProtocol, "Virtual Interface");
  EXPECT_EQ(device("loop0p1").deviceProtocol, "Disk Image");
}

TEST_F(BlockDeviceTest, EachBusKeepsItsIdentityInItsOwnAttributes) {
  const BlockDevice nvme = device("nvme0n1p2");
  EXPECT_EQ(nvme.wholeDisk, "nvme0n1");
  EXPECT_EQ(nvme.model, "Samsung SSD 970 EVO Plus 1TB");
  EXPECT_EQ(nvme.serial, "S4EWNX0R123456");
  EXPECT_EQ(nvme.revision, "2B2QEXM7");
  EXPECT_FALSE(nvme.vendor.has_value());

  const BlockDevice card = device("mmcblk0p1");
  EXPECT_EQ(card.model, "SL16G");
  EXPECT_EQ(card.revision, "0x0");
  EXPECT_EQ(card.serial, "0x1234abcd");

  const BlockDevice stick = device("sdb1");
  EXPECT_EQ(stick.isRemovable, true);
  EXPECT_EQ(stick.vendor, "SanDisk");
  EXPECT_EQ(stick.model, "Cruzer Blade");
  EXPECT_EQ(stick.serial, "4C530001230405109122");

  // The virtio vendor attribute is a PCI id, not a name; the serial file has no line end.
  const BlockDevice vda = device("vda");
  EXPECT_FALSE(vda.vendor.has_value());
  EXPECT_FALSE(vda.model.has_value());
  EXPECT_EQ(vda.serial, "overlayblk");
  EXPECT_EQ(vda.isRotational, true);
  EXPECT_EQ(vda.devicePath, "/sys/devices/pci0000:00/0000:00:02.0/virtio1");
}

TEST_F(BlockDeviceTest, MadeUpDevicesHaveNoHardware) {
  const BlockDevice loop = device("loop0p1");
  EXPECT_EQ(loop.wholeDisk, "loop0");
  EXPECT_EQ(loop.wholeDiskPath, "/sys/devices/virtual/block/loop0");
  EXPECT_FALSE(loop.devicePath.has_value());
  EXPECT_FALSE(loop.model.has_value());
  EXPECT_FALSE(loop.serial.has_value());

  // A device-mapper volume lives on the disk of its first member in name order.
  const BlockDevice mapped = device("dm-0");
  EXPECT_FALSE(mapped.isPartition);
  EXPECT_EQ(mapped.wholeDisk, "nvme0n1");
  EXPECT_EQ(mapped.deviceProtocol, "PCI-Express");
  EXPECT_EQ(mapped.model, "Samsung SSD 970 EVO Plus 1TB");
}

TEST_F(BlockDeviceTest, NamesComeFromDeviceNumbersOrFromTheMountSource) {
  EXPECT_EQ(BlockDevice::nameOf(*source_, 8, 2), "sda2");
  EXPECT_EQ(BlockDevice::nameOf(*source_, 254, 0), "vda");
  EXPECT_FALSE(BlockDevice::nameOf(*source_, 8, 99).has_value());

  const auto table = platform::MountInfo::read(*source_);
  ASSERT_TRUE(table.has_value());
  const auto nameAt = [&](const char* mountPoint) {
    const platform::MountInfoEntry* entry = table->visibleAt(mountPoint);
    EXPECT_NE(entry, nullptr) << mountPoint;
    return entry ? BlockDevice::nameOfMount(*source_, *entry) : std::nullopt;
  };
  EXPECT_EQ(nameAt("/"), "sda2");
  EXPECT_EQ(nameAt("/tmp/image dir"), "loop0p1");
  // btrfs reports a made-up device number; its source names the node, here through a link.
  EXPECT_EQ(nameAt("/mnt/pool"), "dm-0");
  EXPECT_FALSE(nameAt("/tmp/ram").has_value());
  EXPECT_FALSE(nameAt("/proc").has_value());
}

TEST(BlockDeviceLinksTest, ResolvesOnlyWhatIsThereAndEndsOnCycles) {
  platform::MemoryTextSource source;
  EXPECT_FALSE(BlockDevice::read(source, "sda").has_value());
  // Two stacked devices that name each other as members.
  source.setFile("/sys/class/block/md0/dev", "9:0\n");
  source.setFile("/sys/class/block/md1/dev", "9:1\n");
  source.setLink("/sys/class/block/md0/slaves/md1", "../../md1");
  source.setLink("/sys/class/block/md1/slaves/md0", "../../md0");
  const auto md0 = BlockDevice::read(source, "md0");
  ASSERT_TRUE(md0.has_value());
  EXPECT_EQ(md0->wholeDisk, "md1");
  EXPECT_EQ(md0->wholeDiskPath, "");
  EXPECT_FALSE(md0->deviceProtocol.has_value());

  // A link from a device number to a name that is no device, and a dev attribute that is not a number.
  source.setLink("/sys/dev/block/9:2", "../../devices/virtual/block/..");
  EXPECT_FALSE(BlockDevice::nameOf(source, 9, 2).has_value());
  source.setFile("/sys/class/block/md3/dev", "9:x\n");
  EXPECT_FALSE(BlockDevice::read(source, "md3").has_value());
  // A /dev link that points at itself.
  source.setLink("/dev/loopy", "/dev/loopy");
  platform::MountInfoEntry mount;
  mount.source = "/dev/loopy";
  EXPECT_FALSE(BlockDevice::nameOfMount(source, mount).has_value());
}

}  // namespace
