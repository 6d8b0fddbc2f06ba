#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "Platform/System/TextSource.hpp"

using testing::UnorderedElementsAre;

TEST(TextSourceTest, LiveSourceReadsProcFilesThatReportNoSize) {
  auto meminfo = platform::TextSource::live()->read("/proc/meminfo");
  ASSERT_TRUE(meminfo.has_value());
  EXPECT_NE(meminfo->find("MemTotal:"), std::string::npos);
  EXPECT_FALSE(platform::TextSource::live()->read("/proc/no-such-file").has_value());
  auto self = platform::TextSource::live()->readLink("/proc/self/exe");
  ASSERT_TRUE(self.has_value());
  EXPECT_NE(self->find("platform_tests"), std::string::npos);
}

TEST(TextSourceTest, FileTreeResolvesAbsolutePathsUnderItsRoot) {
  auto root = std::filesystem::temp_directory_path() / ("text-source-" + std::to_string(::getpid()));
  std::filesystem::create_directories(root / "proc" / "42");
  std::ofstream(root / "proc" / "42" / "comm") << "bash\n";
  std::filesystem::create_symlink("/usr/share/zoneinfo/UTC", root / "localtime");

  platform::FileTreeTextSource source(root.string() + "/");
  EXPECT_EQ(source.read("/proc/42/comm"), "bash\n");
  EXPECT_THAT(source.list("/proc").value(), UnorderedElementsAre("42"));
  EXPECT_EQ(source.readLink("/localtime"), "/usr/share/zoneinfo/UTC");
  EXPECT_FALSE(source.list("/sys").has_value());
  std::filesystem::remove_all(root);
}
