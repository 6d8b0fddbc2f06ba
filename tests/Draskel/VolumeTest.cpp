#include "Draskel/Volume.hpp"

#include <gtest/gtest.h>

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Bexlan/DiskUtilities.hpp"
#include "Draskel/MainVolume.hpp"
#include "Platform/Foundation/Region.hpp"

namespace {

using Draskel::Volume;

class VolumeTest : public ::testing::Test {
 protected:
  platform::ScopedRegion region_{"en_US", "UTC", {"en"}};
};

TEST_F(VolumeTest, ARecordForAMountStartsWithSixtyZerosAndPlaceholders) {
  const Volume volume("/media/stick");
  EXPECT_EQ(volume.url, "/media/stick");
  EXPECT_EQ(volume.readHistory, std::vector<double>(60, 0.0));
  EXPECT_EQ(volume.writeHistory, std::vector<double>(60, 0.0));
  EXPECT_EQ(volume.loadHistory, std::vector<double>(60, 0.0));
  EXPECT_EQ(volume.separator, " \u2022 ");
  EXPECT_EQ(volume.readSpeed, "-");
  EXPECT_EQ(volume.writeSpeed, "-");
  EXPECT_EQ(volume.maxReadSpeedString, "-");
  EXPECT_EQ(volume.maxWriteSpeedString, "-");
  EXPECT_FALSE(volume.oldStatistics || volume.currentStatistics || volume.characteristics);

  const Volume preview;
  EXPECT_EQ(preview.url, "/");
  EXPECT_TRUE(preview.readHistory.empty() && preview.writeHistory.empty() && preview.loadHistory.empty());
}

TEST_F(VolumeTest, TagsNameTheLocationTheConnectionAndTheFileSystem) {
  Volume volume("/");
  volume.isStartupVolume = true;
  volume.isSystemVolume = true;
  volume.deviceProtocol = "Apple Fabric";
  volume.fileSystem = "apfs";
  EXPECT_EQ(volume.tags(), (std::vector<std::string>{"Startup Disk", "Apple Fabric", "APFS"}));
  EXPECT_EQ(volume.tagText(), "Startup Disk \u2022 Apple Fabric \u2022 APFS");

  volume.isStartupVolume = false;
  volume.deviceProtocol = "PCI-Express";
  volume.fileSystem = "vfat";
  EXPECT_EQ(volume.tags(), (std::vector<std::string>{"System Volume", "PCI-Express", "FAT"}));

  volume.isSystemVolume = false;
  volume.deviceProtocol = "Secure Digital";
  volume.fileSystem = "exfat";
  EXPECT_EQ(volume.tags(), (std::vector<std::string>{"External Volume", "SD Card", "ExFAT"}));
}

TEST_F(VolumeTest, UnknownProtocolsAddNoTagAndUnknownFileSystemsShowAsTheyAre) {
  Volume volume("/media/disc");
  volume.deviceProtocol = "Virtual Interface";
  volume.fileSystem = "APFS";
  EXPECT_EQ(volume.tags(), (std::vector<std::string>{"External Volume", "APFS"}));
  volume.deviceProtocol = "USB";
  volume.fileSystem = "udf";
  EXPECT_EQ(volume.tagText(), "External Volume \u2022 USB \u2022 udf");
  for (const auto& [type, text] : std::vector<std::pair<std::string, std::string>>{
           {"hfs", "HFS"}, {"fat", "FAT"}, {"msdos", "MS-DOS"}, {"ext4", "ext4"}, {"", ""}}) {
    volume.fileSystem = type;
    EXPECT_EQ(volume.tags().back(), text);
  }
  volume.deviceProtocol.reset();
  volume.fileSystem.reset();
  EXPECT_EQ(volume.tags().size(), 1u);
  EXPECT_EQ(volume.tagText(), "External Volume");
}

// Whether two images have the same size and the same pixels.
bool samePixels(const Bexlan::ImageRef& a, const Bexlan::ImageRef& b) {
  if (!a || !b || a->pixelWidth() != b->pixelWidth() || a->pixelHeight() != b->pixelHeight()) return false;
  if (a->isEmpty()) return true;
  cairo_surface_flush(a->surface());
  cairo_surface_flush(b->surface());
  const int stride = cairo_image_surface_get_stride(a->surface());
  return stride == cairo_image_surface_get_stride(b->surface()) &&
         std::memcmp(cairo_image_surface_get_data(a->surface()), cairo_image_surface_get_data(b->surface()),
                     static_cast<std::size_t>(stride) * static_cast<std::size_t>(a->pixelHeight())) == 0;
}

TEST_F(VolumeTest, TheSymbolShowsAnSdCardAnInternalOrAnExternalDrive) {
  const auto card = Bexlan::Images::systemSymbol("sdcard");
  const auto internal = Bexlan::Images::systemSymbol("internaldrive");
  const auto external = Bexlan::Images::systemSymbol("externaldrive");
  ASSERT_FALSE(samePixels(card, internal));
  ASSERT_FALSE(samePixels(card, external));
  ASSERT_FALSE(samePixels(internal, external));

  Volume volume("/");
  volume.isInternal = true;
  EXPECT_TRUE(samePixels(volume.symbolImage(), internal));
  volume.deviceProtocol = "Secure Digital";
  EXPECT_TRUE(samePixels(volume.symbolImage(), card));
  volume.isInternal = false;
  EXPECT_TRUE(samePixels(volume.symbolImage(), card));
  volume.deviceProtocol = "USB";
  EXPECT_TRUE(samePixels(volume.symbolImage(), external));
}

TEST_F(VolumeTest, UsageIsTheUsedFractionAndNeverDividesByZeroOrWraps) {
  Volume volume("/");
  EXPECT_EQ(volume.usage(), 0);
  volume.totalBytes = 1000;
  volume.freeBytes = 250;
  EXPECT_DOUBLE_EQ(volume.usage(), 0.75);
  volume.freeBytes = 1000;
  EXPECT_EQ(volume.usage(), 0);
  volume.freeBytes = 1001;
  EXPECT_EQ(volume.usage(), 0);
  volume.freeBytes = 0;
  EXPECT_EQ(volume.usage(), 1);
}

TEST_F(VolumeTest, TheDemonstrationVolumeShowsItsFixedTextsAndRandomHundredths) {
  const std::shared_ptr<Volume> demo = Draskel::MainVolume::demoVolume();
  EXPECT_EQ(demo->url, "/");
  EXPECT_EQ(demo->name, "Macintosh HD");
  EXPECT_TRUE(demo->isInternal);
  EXPECT_EQ(demo->readSpeed, "16.19 MB/s");
  EXPECT_EQ(demo->writeSpeed, "3.38 MB/s");
  EXPECT_NEAR(demo->usage(), 0.925, 0.0001);
  ASSERT_EQ(demo->readHistory.size(), 60u);
  ASSERT_EQ(demo->writeHistory.size(), 60u);
  ASSERT_EQ(demo->loadHistory.size(), 60u);
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
