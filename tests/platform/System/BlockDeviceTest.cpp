#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "Platform/System/BlockDevice.hpp"
#include "Platform/System/BlockDeviceStat.hpp"
#include "Platform/System/UdevData.hpp"
#include "tests/platform/System/VolumeFixtures.hpp"

namespace {

using platform::BlockDevice;
using platform::BlockDeviceStat;

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

// The volumes controller's test over the same tree checks the protocol of every browsable volume's disk.
TEST_F(BlockDeviceTest, EachDeviceHasTheFactsOfItsWholeDiskFromItsOwnBusWithUdevFillingTheGaps) {
  const std::string scsiDevice = "/sys/devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0";
  // sysfs has no serial for SCSI disks; udev's record of the whole disk has it.
  EXPECT_EQ(device("sda2"),
            (BlockDevice{"sda2", 8, 2, "sda", scsiDevice + "/block/sda", scsiDevice, "SATA", false, false,
                         "ATA", "Samsung SSD 860 EVO 500GB", "4B6Q", "S3Z9NB0K123456A"}));
  // The device, then its whole disk, protocol, removable, rotational, vendor, model, revision and serial.
  using Text = std::optional<std::string>;
  using Flag = std::optional<bool>;
  constexpr std::nullopt_t none = std::nullopt;
  const std::tuple<const char*, std::string, Text, Flag, Flag, Text, Text, Text, Text> cases[] = {
      {"sda", "sda", "SATA", false, false, "ATA", "Samsung SSD 860 EVO 500GB", "4B6Q", "S3Z9NB0K123456A"},
      // A parallel ATA link reports no SATA speed.
      {"sdc", "sdc", "ATA", false, true, "ATA", "ST340014A", "3.06", none},
      {"nvme0n1p2", "nvme0n1", "PCI-Express", false, false, none, "Samsung SSD 970 EVO Plus 1TB", "2B2QEXM7",
       "S4EWNX0R123456"},
      {"mmcblk0p1", "mmcblk0", "Secure Digital", false, false, none, "SL16G", "0x0", "0x1234abcd"},
      {"sdb1", "sdb", "USB", true, true, "SanDisk", "Cruzer Blade", "1.00", "4C530001230405109122"},
      // The virtio vendor attribute is a PCI id, not a name; its serial file has no line end.
      {"vda", "vda", "Virtual Interface", false, true, none, none, none, "overlayblk"},
      // A made-up device has no hardware; a device-mapper volume lives on the disk of its first member in
      // name order.
      {"loop0p1", "loop0", "Disk Image", false, false, none, none, none, none},
      {"dm-0", "nvme0n1", "PCI-Express", false, false, none, "Samsung SSD 970 EVO Plus 1TB", "2B2QEXM7",
       "S4EWNX0R123456"},
  };
  for (const auto& [name, disk, protocol, removable, rotational, vendor, model, revision, serial] : cases) {
    const BlockDevice d = device(name);
    EXPECT_EQ(std::tuple(d.wholeDisk, d.deviceProtocol, d.isRemovable, d.isRotational, d.vendor, d.model,
                         d.revision, d.serial),
              std::tuple(disk, protocol, removable, rotational, vendor, model, revision, serial))
        << name;
  }
  EXPECT_EQ(device("vda").devicePath, "/sys/devices/pci0000:00/0000:00:02.0/virtio1");
  const BlockDevice loop = device("loop0p1");
  EXPECT_EQ(std::tuple(loop.wholeDiskPath, loop.devicePath),
            std::tuple("/sys/devices/virtual/block/loop0", std::nullopt));
}

TEST_F(BlockDeviceTest, NamesComeFromDeviceNumbersOrFromTheMountSource) {
  EXPECT_EQ(BlockDevice::nameOf(*source_, 8, 2), "sda2");
  EXPECT_FALSE(BlockDevice::nameOf(*source_, 8, 99).has_value());
  const platform::MountInfo table = platform::MountInfo::read(*source_).value();
  // btrfs (/mnt/pool) reports a made-up device number; its source names the node, here through a link.
  for (auto [mountPoint, name] : {std::pair<const char*, std::optional<std::string>>{"/mnt/pool", "dm-0"},
                                  {"/tmp/ram", std::nullopt},
                                  {"/proc", std::nullopt}}) {
    const platform::MountInfoEntry* entry = table.visibleAt(mountPoint);
    ASSERT_NE(entry, nullptr) << mountPoint;
    EXPECT_EQ(BlockDevice::nameOfMount(*source_, *entry), name) << mountPoint;
  }
}

using BlockDeviceStatTest = BlockDeviceTest;

TEST_F(BlockDeviceStatTest, TurnsAStatLineIntoExactByteCountersThatSaturate) {
  const BlockDeviceStat stat = BlockDeviceStat::read(*source_, "sda").value();
  EXPECT_EQ(std::tuple(stat.readsCompleted, stat.writesCompleted, stat.readMilliseconds,
                       stat.writeMilliseconds, stat.bytesRead(), stat.bytesWritten()),
            std::tuple(42260u, 17374u, 29205u, 18545u, 3420042ull * 512, 7162872ull * 512));
  const std::uint64_t largest = std::numeric_limits<std::uint64_t>::max();
  const BlockDeviceStat huge{.sectorsRead = largest / 512, .sectorsWritten = largest / 512 + 1};
  EXPECT_EQ(std::pair(huge.bytesRead(), huge.bytesWritten()), std::pair(largest / 512 * 512, largest));
}

TEST_F(BlockDeviceStatTest, AStatThatCannotBeReadIsNoSample) {
  // Empty, a counter short, a counter that is not a number or overflows 64 bits (one that is not kept too).
  for (const char* text : {"", "1 2 3 4 5 6 7 8 9 10", "1 2 3 4 5 6 7 8 9 10 -11", "1 2 3x 4 5 6 7 8 9 10 11",
                           "1 2 18446744073709551616 4 5 6 7 8 9 10 11"})
    EXPECT_FALSE(BlockDeviceStat::parse(text).has_value()) << text;
  // An unknown device, and names that would leave /sys/class/block.
  for (const char* name : {"sdz", "..", "sda/../sda", ""})
    EXPECT_FALSE(BlockDeviceStat::read(*source_, name).has_value()) << name;
}

TEST_F(BlockDeviceStatTest, DiskStatsListEveryDeviceAndAgreeWithSysfs) {
  const auto entries = platform::readDiskStats(*source_).value();
  ASSERT_EQ(entries.size(), 8u);
  EXPECT_EQ(entries[1].name, "loop1");
  for (const platform::DiskStatsEntry& entry : entries) {
    if (const auto stat = BlockDeviceStat::read(*source_, entry.name)) {
      EXPECT_EQ(*stat, entry.stat) << entry.name;
    }
  }
  const platform::DiskStatsEntry& sdb = entries[5];
  EXPECT_EQ(std::tuple(sdb.major, sdb.minor, sdb.stat.bytesRead()), std::tuple(8u, 16u, 33210ull * 512));
  EXPECT_FALSE(platform::readDiskStats(platform::MemoryTextSource()).has_value());
}

TEST_F(BlockDeviceStatTest, DiskStatsLeaveOutLinesThatAreNotWellFormed) {
  const auto entries = platform::parseDiskStats(
      "8 0 sda 1 2 3 4 5 6 7 8 9 10 11\n"
      "8 1 sda1 1 2 3 4 5 6 7 8 9 10\n"    // a counter short
      "8 x sdb 1 2 3 4 5 6 7 8 9 10 11\n"  // minor not a number
      "8 2 .. 1 2 3 4 5 6 7 8 9 10 11\n"   // not a device name
      "8 3\n"
      "  8   4 sdc 1 2 3 4 5 6 7 8 9 10 11 12");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(std::tuple(entries[0].name, entries[1].name, entries[1].minor), std::tuple("sda", "sdc", 4u));
}

TEST(UdevDataTest, TextsPreferTheDecodedEscapedFormAndEmptyTextsAreAbsent) {
  const platform::UdevData data{{{"ID_FS_LABEL", "Data_Disk"},
                                 {"ID_FS_LABEL_ENC", "Data\\x20Disk"},
                                 {"ID_FS_TYPE", " ext4 "},
                                 {"EMPTY_ENC", "\\x20\\x20"}}};
  EXPECT_EQ(data.text("ID_FS_LABEL"), "Data Disk");
  EXPECT_EQ(data.text("ID_FS_TYPE"), "ext4");
  EXPECT_FALSE(data.text("EMPTY").has_value());
  EXPECT_FALSE(data.text("ID_MODEL").has_value());
  // Only complete hex escapes are decoded.
  EXPECT_EQ(platform::decodeUdevText("My\\x20Disk\\x2f1"), "My Disk/1");
  EXPECT_EQ(platform::decodeUdevText("\\x2"), "\\x2");
  EXPECT_EQ(platform::decodeUdevText("\\xg0\\y"), "\\xg0\\y");
  EXPECT_EQ(platform::decodeUdevText("\\xFF"), "\xff");
}

TEST(BlockDeviceLinksTest, ResolvesOnlyWhatIsThereAndEndsOnCycles) {
  platform::MemoryTextSource source;
  EXPECT_FALSE(BlockDevice::read(source, "sda").has_value());
  // Two stacked devices that name each other as members.
  source.setFile("/sys/class/block/md0/dev", "9:0\n");
  source.setFile("/sys/class/block/md1/dev", "9:1\n");
  source.setLink("/sys/class/block/md0/slaves/md1", "../../md1");
  source.setLink("/sys/class/block/md1/slaves/md0", "../../md0");
  const BlockDevice md0 = BlockDevice::read(source, "md0").value();
  EXPECT_EQ(std::tuple(md0.wholeDisk, md0.wholeDiskPath, md0.deviceProtocol),
            std::tuple("md1", "", std::nullopt));
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
