#include <gtest/gtest.h>

#include <tuple>

#include "Platform/System/BlockDevice.hpp"
#include "tests/platform/System/VolumeFixtures.hpp"

namespace {

using platform::BlockDevice;

class BlockDeviceTest : public ::testing::Test {
 protected:
  BlockDevice device(const char* name) const {
    std::optional<BlockDevice> read = BlockDevice::read(*source_, name, udev_.get());
    EXPECT_TRUE(read.has_value()) << name;
    return read.value_or(BlockDevice{});
  }

  std::shared_ptr<const platform::TextSource> source_ = volumetest::fixtureTree("machine");
  std::shared_ptr<const platform::UdevDatabase> udev_ = volumetest::fixtureUdev();
};

TEST_F(BlockDeviceTest, APartitionOfASataDiskTakesTheDiskFactsWithUdevFillingTheGaps) {
  const std::string scsiDevice = "/sys/devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0";
  // sysfs has no serial for SCSI disks; udev's record of the whole disk has it.
  const BlockDevice expected{"sda2",           8,     2,     "sda", scsiDevice + "/block/sda",   scsiDevice,
                             "SATA",           false, false, "ATA", "Samsung SSD 860 EVO 500GB", "4B6Q",
                             "S3Z9NB0K123456A"};
  EXPECT_EQ(device("sda2"), expected);
  const BlockDevice sda = device("sda");
  EXPECT_EQ(sda.wholeDisk, "sda");
  EXPECT_EQ(sda.serial, expected.serial);
}

// The volumes controller's test over the same tree checks the protocol of every browsable volume's disk.
TEST_F(BlockDeviceTest, EachBusKeepsItsIdentityInItsOwnAttributes) {
  // A parallel ATA link (sdc) reports no SATA speed.
  EXPECT_EQ(device("sdc").deviceProtocol, "ATA");
  EXPECT_EQ(device("nvme0n1p1").deviceProtocol, "PCI-Express");
  // Removable, rotational, vendor, model, revision and serial. The virtio vendor attribute is a PCI id, not
  // a name; its serial file has no line end.
  const auto facts = [&](const char* name) {
    const BlockDevice d = device(name);
    return std::tuple(d.isRemovable, d.isRotational, d.vendor, d.model, d.revision, d.serial);
  };
  using Text = std::optional<std::string>;
  EXPECT_EQ(facts("nvme0n1p2"), std::tuple(false, false, Text(), Text("Samsung SSD 970 EVO Plus 1TB"),
                                           Text("2B2QEXM7"), Text("S4EWNX0R123456")));
  EXPECT_EQ(device("nvme0n1p2").wholeDisk, "nvme0n1");
  EXPECT_EQ(facts("mmcblk0p1"),
            std::tuple(false, false, Text(), Text("SL16G"), Text("0x0"), Text("0x1234abcd")));
  EXPECT_EQ(facts("sdb1"), std::tuple(true, true, Text("SanDisk"), Text("Cruzer Blade"), Text("1.00"),
                                      Text("4C530001230405109122")));
  EXPECT_EQ(facts("vda"), std::tuple(false, true, Text(), Text(), Text(), Text("overlayblk")));
  EXPECT_EQ(device("vda").devicePath, "/sys/devices/pci0000:00/0000:00:02.0/virtio1");
}

TEST_F(BlockDeviceTest, MadeUpDevicesHaveNoHardware) {
  const BlockDevice loop = device("loop0p1");
  EXPECT_EQ(loop.wholeDisk, "loop0");
  EXPECT_EQ(loop.wholeDiskPath, "/sys/devices/virtual/block/loop0");
  EXPECT_FALSE(loop.devicePath || loop.model || loop.serial);
  // A device-mapper volume lives on the disk of its first member in name order.
  const BlockDevice mapped = device("dm-0");
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
  // btrfs (/mnt/pool) reports a made-up device number; its source names the node, here through a link.
  for (auto [mountPoint, name] : {std::pair<const char*, std::optional<std::string>>{"/mnt/pool", "dm-0"},
                                  {"/tmp/ram", std::nullopt},
                                  {"/proc", std::nullopt}}) {
    const platform::MountInfoEntry* entry = table->visibleAt(mountPoint);
    ASSERT_NE(entry, nullptr) << mountPoint;
    EXPECT_EQ(BlockDevice::nameOfMount(*source_, *entry), name) << mountPoint;
  }
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
  // A link from a device number to a name that is no device, a dev attribute that is not a number, and a
  // /dev link that points at itself.
  source.setLink("/sys/dev/block/9:2", "../../devices/virtual/block/..");
  EXPECT_FALSE(BlockDevice::nameOf(source, 9, 2).has_value());
  source.setFile("/sys/class/block/md3/dev", "9:x\n");
  EXPECT_FALSE(BlockDevice::read(source, "md3").has_value());
  source.setLink("/dev/loopy", "/dev/loopy");
  platform::MountInfoEntry mount;
  mount.source = "/dev/loopy";
  EXPECT_FALSE(BlockDevice::nameOfMount(source, mount).has_value());
}

}  // namespace
