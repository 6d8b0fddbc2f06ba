#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "Platform/System/BlockDeviceStat.hpp"
#include "tests/platform/System/VolumeFixtures.hpp"

namespace {

using platform::BlockDeviceStat;

TEST(BlockDeviceStatTest, TurnsAStatLineIntoExactByteCountersThatSaturate) {
  const auto stat = BlockDeviceStat::read(*volumetest::fixtureTree("machine"), "sda");
  ASSERT_TRUE(stat.has_value());
  EXPECT_EQ(stat->readsCompleted, 42260u);
  EXPECT_EQ(stat->writesCompleted, 17374u);
  EXPECT_EQ(stat->readMilliseconds, 29205u);
  EXPECT_EQ(stat->writeMilliseconds, 18545u);
  EXPECT_EQ(stat->bytesRead(), 3420042ull * 512);
  EXPECT_EQ(stat->bytesWritten(), 7162872ull * 512);

  const std::uint64_t largest = std::numeric_limits<std::uint64_t>::max();
  BlockDeviceStat huge;
  huge.sectorsRead = largest / 512;
  huge.sectorsWritten = largest / 512 + 1;
  EXPECT_EQ(huge.bytesRead(), largest / 512 * 512);
  EXPECT_EQ(huge.bytesWritten(), largest);
}

TEST(BlockDeviceStatTest, AStatThatCannotBeReadIsNoSample) {
  // Empty, a counter short, a counter that is not a number or overflows 64 bits (one that is not kept too).
  for (const char* text : {"", "1 2 3 4 5 6 7 8 9 10", "1 2 3 4 5 6 7 8 9 10 -11", "1 2 3x 4 5 6 7 8 9 10 11",
                           "1 2 18446744073709551616 4 5 6 7 8 9 10 11"}) {
    EXPECT_FALSE(BlockDeviceStat::parse(text).has_value()) << text;
  }
  // An unknown device, and names that would leave /sys/class/block.
  const auto source = volumetest::fixtureTree("machine");
  for (const char* name : {"sdz", "..", "sda/../sda", ""}) {
    EXPECT_FALSE(BlockDeviceStat::read(*source, name).has_value()) << name;
  }
}

TEST(BlockDeviceStatTest, DiskStatsListEveryDeviceAndAgreeWithSysfs) {
  const auto source = volumetest::fixtureTree("machine");
  const auto entries = platform::readDiskStats(*source);
  ASSERT_TRUE(entries.has_value());
  ASSERT_EQ(entries->size(), 8u);
  EXPECT_EQ((*entries)[1].name, "loop1");
  for (const platform::DiskStatsEntry& entry : *entries) {
    if (const auto stat = BlockDeviceStat::read(*source, entry.name)) {
      EXPECT_EQ(*stat, entry.stat) << entry.name;
    }
  }
  const platform::DiskStatsEntry& sdb = (*entries)[5];
  EXPECT_EQ(sdb.major, 8u);
  EXPECT_EQ(sdb.minor, 16u);
  EXPECT_EQ(sdb.stat.bytesRead(), 33210ull * 512);
  EXPECT_FALSE(platform::readDiskStats(platform::MemoryTextSource()).has_value());
}

TEST(BlockDeviceStatTest, DiskStatsLeaveOutLinesThatAreNotWellFormed) {
  const auto entries = platform::parseDiskStats(
      "8 0 sda 1 2 3 4 5 6 7 8 9 10 11\n"
      "8 1 sda1 1 2 3 4 5 6 7 8 9 10\n"    // a counter short
      "8 x sdb 1 2 3 4 5 6 7 8 9 10 11\n"  // minor not a number
      "8 2 .. 1 2 3 4 5 6 7 8 9 10 11\n"   // not a device name
      "8 3\n"
      "  8   4 sdc 1 2 3 4 5 6 7 8 9 10 11 12");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, "sda");
  EXPECT_EQ(entries[1].name, "sdc");
  EXPECT_EQ(entries[1].minor, 4u);
}

}  // namespace
