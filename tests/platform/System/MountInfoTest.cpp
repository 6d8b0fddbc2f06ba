#include <gtest/gtest.h>

#include "Platform/System/MountInfo.hpp"
#include "tests/platform/System/MountTestGuards.hpp"
#include "tests/platform/System/VolumeFixtures.hpp"

namespace {

using platform::MountInfo;
using platform::MountInfoEntry;

MountInfo fixtureTable() {
  const std::optional<MountInfo> table = MountInfo::read(*volumetest::fixtureTree("machine"));
  EXPECT_TRUE(table.has_value());
  return table.value_or(MountInfo{});
}

// Escaped paths, bind mounts and repeated mounts of this tree are checked through the volume platform in
// the volumes controller's tests.
TEST(MountInfoTest, ReadsEveryFieldOfARecordedTableAndTheLastMountAtAPointIsVisible) {
  const MountInfo table = fixtureTable();
  ASSERT_EQ(table.entries.size(), 15u);
  const MountInfoEntry root{27, 8, 2, "/", "/", "ext4", "/dev/sda2"};
  EXPECT_EQ(table.entries[2], root);
  // Optional fields of any number stand between the options and the separator.
  const MountInfoEntry* vm = table.visibleAt("/mnt/vm");
  ASSERT_NE(vm, nullptr);
  EXPECT_EQ(vm->fileSystemType, "ext4");
  EXPECT_EQ(vm->source, "/dev/vda");
  EXPECT_EQ(vm->major, 254u);
  // Two mounts at /tmp/ram: the later one, whose source is empty (two blanks in a row).
  const MountInfoEntry* ram = table.visibleAt("/tmp/ram");
  ASSERT_NE(ram, nullptr);
  EXPECT_EQ(ram->mountId, 49u);
  EXPECT_EQ(ram->source, "");
  EXPECT_EQ(table.visibleAt("/nowhere"), nullptr);
}

TEST(MountInfoTest, ALiveMountPointWithABlankATabAndABackslashReadsBackExactly) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a tmpfs needs root";
  const volumetest::TemporaryDirectory directory;
  const volumetest::ScopedMount mount(directory.path() + "/a b\tc\\d");
  const std::optional<MountInfo> table = MountInfo::read(*platform::TextSource::live());
  ASSERT_TRUE(table.has_value());
  const MountInfoEntry* entry = table->visibleAt(mount.mountPoint());
  ASSERT_NE(entry, nullptr) << mount.mountPoint();
  EXPECT_EQ(entry->fileSystemType, "tmpfs");
}

TEST(MountInfoTest, LeavesOutLinesThatAreNotWellFormedAndAnUnreadableTableIsAbsent) {
  const MountInfo table = MountInfo::parse(
      "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
      "x 1 8:1 / /c rw - ext4 /dev/sda1 rw\n"         // id not a number
      "2 1 8:1 / /a rw shared:1 ext4 /dev/sda1 rw\n"  // no separator
      "\n"
      "8 1 0:5 / /h rw - tmpfs tmpfs rw\n");
  ASSERT_EQ(table.entries.size(), 2u);
  EXPECT_EQ(table.entries[0].mountPoint, "/");
  EXPECT_EQ(table.entries[1].mountPoint, "/h");

  platform::MemoryTextSource source;
  EXPECT_FALSE(MountInfo::read(source).has_value());
  source.setFile("/proc/self/mountinfo", "");
  ASSERT_TRUE(MountInfo::read(source).has_value());
  EXPECT_TRUE(MountInfo::read(source)->entries.empty());
}

}  // namespace
