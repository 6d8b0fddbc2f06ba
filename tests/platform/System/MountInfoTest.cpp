#include "Platform/System/MountInfo.hpp"

#include <gtest/gtest.h>

#include "tests/platform/System/VolumeFixtures.hpp"

namespace {

using platform::MountInfo;
using platform::MountInfoEntry;

MountInfo fixtureTable() {
  const std::optional<MountInfo> table = MountInfo::read(*volumetest::fixtureTree("machine"));
  EXPECT_TRUE(table.has_value());
  return table.value_or(MountInfo{});
}

TEST(MountInfoTest, ReadsEveryFieldOfARecordedTableAndTheLastMountAtAPointIsVisible) {
  const MountInfo table = fixtureTable();
  ASSERT_EQ(table.entries.size(), 15u);
  const MountInfoEntry root{27,  1, 8, 2, "/", "/", "rw,relatime", "ext4", "/dev/sda2",
                            "rw,errors=remount-ro"};
  EXPECT_EQ(table.entries[2], root);
  // Optional fields of any number stand between the options and the separator.
  const MountInfoEntry* vm = table.visibleAt("/mnt/vm");
  ASSERT_NE(vm, nullptr);
  EXPECT_EQ(vm->mountOptions, "rw");
  EXPECT_EQ(vm->fileSystemType, "ext4");
  EXPECT_EQ(vm->source, "/dev/vda");
  EXPECT_EQ(vm->major, 254u);
  // Two mounts at /tmp/ram: the later one, whose source is empty (two blanks in a row).
  const MountInfoEntry* ram = table.visibleAt("/tmp/ram");
  ASSERT_NE(ram, nullptr);
  EXPECT_EQ(ram->mountId, 49u);
  EXPECT_EQ(ram->parentId, 46u);
  EXPECT_EQ(ram->source, "");
  EXPECT_EQ(ram->superOptions, "rw,size=1024k");
  EXPECT_EQ(table.visibleAt("/nowhere"), nullptr);
}

TEST(MountInfoTest, UnescapesBlanksTabsAndBackslashesInPaths) {
  const MountInfo table = fixtureTable();
  EXPECT_NE(table.visibleAt("/media/user/My Stick"), nullptr);
  EXPECT_NE(table.visibleAt("/media/user/SD Card\tTab\\"), nullptr);
  EXPECT_NE(table.visibleAt("/tmp/image dir"), nullptr);
  EXPECT_EQ(table.visibleAt("/media/user/My\\040Stick"), nullptr);
  // Not escapes: too few digits, a digit that is not octal, a value above one byte, a backslash at the end.
  const std::pair<const char*, std::string> cases[] = {
      {"a\\012b\\134\\040", "a\nb\\ "}, {"\\04", "\\04"},  {"\\048x", "\\048x"},
      {"\\400", "\\400"},               {"end\\", "end\\"}, {"\\000", std::string(1, '\0')}};
  for (const auto& [field, unescaped] : cases) EXPECT_EQ(platform::unescapeMountField(field), unescaped);
}

TEST(MountInfoTest, BindMountsAndRepeatedMountsCountOncePerDevice) {
  const MountInfo table = fixtureTable();
  const MountInfoEntry* root = table.visibleAt("/");
  const MountInfoEntry* bind = table.visibleAt("/mnt/bind");
  const MountInfoEntry* stick = table.visibleAt("/media/user/My Stick");
  const MountInfoEntry* again = table.visibleAt("/mnt/stick again");
  ASSERT_TRUE(root && bind && stick && again);
  // The bind mount shows a subdirectory of the root file system.
  EXPECT_EQ(bind->root, "/srv/data");
  EXPECT_EQ(bind->major, root->major);
  EXPECT_TRUE(table.isFirstMountOfDevice(*root));
  EXPECT_FALSE(table.isFirstMountOfDevice(*bind));
  EXPECT_TRUE(table.isFirstMountOfDevice(*stick));
  EXPECT_FALSE(table.isFirstMountOfDevice(*again));
}

TEST(MountInfoTest, LeavesOutLinesThatAreNotWellFormedAndAnUnreadableTableIsAbsent) {
  const MountInfo table = MountInfo::parse(
      "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
      "2 1 8:1 / /a rw shared:1 ext4 /dev/sda1 rw\n"  // no separator
      "3 1 8:1 / /b rw - ext4\n"                        // no source
      "x 1 8:1 / /c rw - ext4 /dev/sda1 rw\n"           // id not a number
      "4 1 8-1 / /d rw - ext4 /dev/sda1 rw\n"           // no major:minor
      "5 1 8:4294967296 / /e rw - ext4 /dev/sda1 rw\n"  // minor beyond 32 bits
      "6 1 8:1 / /f - ext4 /dev/sda1 rw\n"              // no options before the separator
      "7 1 8:1 / /g rw -  /dev/sda1 rw\n"               // empty file-system type
      "\n"
      "8 1 0:5 / /h rw - tmpfs tmpfs");                 // no super options, no line end
  ASSERT_EQ(table.entries.size(), 2u);
  EXPECT_EQ(table.entries[0].mountPoint, "/");
  EXPECT_EQ(table.entries[1].mountPoint, "/h");
  EXPECT_EQ(table.entries[1].superOptions, "");

  platform::MemoryTextSource source;
  EXPECT_FALSE(MountInfo::read(source).has_value());
  source.setFile("/proc/self/mountinfo", "");
  ASSERT_TRUE(MountInfo::read(source).has_value());
  EXPECT_TRUE(MountInfo::read(source)->entries.empty());
}

}  // namespace
