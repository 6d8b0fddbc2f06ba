#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "Draskel/MainVolume.hpp"
#include "Draskel/Volume.hpp"
#include "Platform/Foundation/Region.hpp"

namespace {

using Draskel::Volume;

class VolumeTest : public ::testing::Test {
 protected:
  platform::ScopedRegion region_{"en_US", "UTC", {"en"}};
};

TEST_F(VolumeTest, TagsNameTheLocationTheConnectionAndTheFileSystem) {
  struct Case {
    bool startup, system;
    std::optional<std::string> protocol, fileSystem;
    std::vector<std::string> tags;
  };
  const Case cases[] = {{true, true, "Apple Fabric", "apfs", {"Startup Disk", "Apple Fabric", "APFS"}},
                        {false, true, "PCI-Express", "vfat", {"System Volume", "PCI-Express", "FAT"}},
                        {false, false, "Secure Digital", "exfat", {"External Volume", "SD Card", "ExFAT"}},
                        // Unknown protocols add no tag; unknown file systems show as they are.
                        {false, false, "Virtual Interface", "APFS", {"External Volume", "APFS"}},
                        {false, false, "USB", "msdos", {"External Volume", "USB", "MS-DOS"}},
                        {false, false, "USB", "ext4", {"External Volume", "USB", "ext4"}},
                        {false, false, "USB", "", {"External Volume", "USB", ""}},
                        {false, false, std::nullopt, std::nullopt, {"External Volume"}}};
  for (const Case& c : cases) {
    Volume volume("/");
    volume.isStartupVolume = c.startup;
    volume.isSystemVolume = c.system;
    volume.deviceProtocol = c.protocol;
    volume.fileSystem = c.fileSystem;
    EXPECT_EQ(volume.tags(), c.tags);
    std::string joined = c.tags.front();
    for (std::size_t i = 1; i < c.tags.size(); ++i) joined += " \u2022 " + c.tags[i];
    EXPECT_EQ(volume.tagText(), joined);
  }
}

TEST_F(VolumeTest, UsageIsTheUsedFractionAndNeverDividesByZeroOrWraps) {
  const std::tuple<std::uint64_t, std::uint64_t, double> cases[] = {
      {0, 0, 0}, {1000, 250, 0.75}, {1000, 1001, 0}, {1000, 0, 1}};
  for (const auto& [total, free, usage] : cases) {
    Volume volume("/");
    volume.totalBytes = total;
    volume.freeBytes = free;
    EXPECT_DOUBLE_EQ(volume.usage(), usage) << total << " " << free;
  }
}

TEST_F(VolumeTest, TheDemonstrationVolumeShowsItsFixedTextsAndRandomHundredths) {
  const std::shared_ptr<Volume> demo = Draskel::MainVolume::demoVolume();
  EXPECT_EQ(std::tuple(demo->url.string(), demo->name, demo->isInternal, demo->readSpeed, demo->writeSpeed),
            std::tuple("/", "Macintosh HD", true, "16.19 MB/s", "3.38 MB/s"));
  EXPECT_NEAR(demo->usage(), 0.925, 0.0001);
  ASSERT_EQ(std::tuple(demo->readHistory.size(), demo->writeHistory.size(), demo->loadHistory.size()),
            std::tuple(60u, 60u, 60u));
  for (std::size_t i = 0; i < 60; ++i) {
    const double read = demo->readHistory[i];
    EXPECT_TRUE(read >= 0 && read <= 0.99 && std::round(read * 100) / 100 == read) << read;
    EXPECT_EQ(demo->loadHistory[i], std::max(read, demo->writeHistory[i]));
  }
  // Sixty pairs of random hundredths are not all the same.
  const auto& reads = demo->readHistory;
  EXPECT_NE(std::count(reads.begin(), reads.end(), reads.front()), 60);
}

}  // namespace
