#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "Platform/System/TextSource.hpp"
#include "tests/platform/System/MountTestGuards.hpp"

TEST(TextSourceTest, FileTreeResolvesAbsolutePathsUnderItsRoot) {
  const volumetest::TemporaryDirectory directory;
  const std::filesystem::path root = directory.path();
  std::filesystem::create_directories(root / "proc" / "42");
  std::ofstream(root / "proc" / "42" / "comm") << "bash\n";
  std::filesystem::create_symlink("/usr/share/zoneinfo/UTC", root / "localtime");

  platform::FileTreeTextSource source(root.string() + "/");
  EXPECT_EQ(source.read("/proc/42/comm"), "bash\n");
  EXPECT_THAT(source.list("/proc").value(), testing::UnorderedElementsAre("42"));
  EXPECT_EQ(source.readLink("/localtime"), "/usr/share/zoneinfo/UTC");
  EXPECT_FALSE(source.list("/sys").has_value());
}
