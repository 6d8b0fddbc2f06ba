// Volume records: their tags, usage and demonstration texts, the rates of successive statistics samples,
// and the statistics read from block-layer counters.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>
#include <tuple>

#include "Draskel/BlockStorageProperties.hpp"
#include "Draskel/MainVolume.hpp"
#include "Draskel/Volume.hpp"
#include "Platform/Foundation/Region.hpp"
#include "tests/platform/System/VolumeFixtures.hpp"

namespace {

using Draskel::Volume;
using Draskel::VolumeStatistics;
using platform::Number;

constexpr std::uint64_t mebibyte = 1 << 20;
constexpr std::uint64_t uint64Max = std::numeric_limits<std::uint64_t>::max();

class VolumeTest : public ::testing::Test {
 protected:
  platform::ScopedRegion region_{"en_US", "UTC", {"en"}};
};

TEST_F(VolumeTest, TagsNameTheLocationTheConnectionAndTheFileSystem) {
  // Startup volume, system volume, protocol, file system, the tags.
  using Text = std::optional<std::string>;
  const std::tuple<bool, bool, Text, Text, std::vector<std::string>> cases[] = {
      {true, true, "Apple Fabric", "apfs", {"Startup Disk", "Apple Fabric", "APFS"}},
      {false, true, "PCI-Express", "vfat", {"System Volume", "PCI-Express", "FAT"}},
      {false, false, "Secure Digital", "exfat", {"External Volume", "SD Card", "ExFAT"}},
      // Unknown protocols add no tag; unknown file systems show as they are.
      {false, false, "Virtual Interface", "APFS", {"External Volume", "APFS"}},
      {false, false, "USB", "", {"External Volume", "USB", ""}},
      {false, false, std::nullopt, std::nullopt, {"External Volume"}}};
  for (const auto& [startup, system, protocol, fileSystem, tags] : cases) {
    Volume volume("/");
    volume.isStartupVolume = startup;
    volume.isSystemVolume = system;
    volume.deviceProtocol = protocol;
    volume.fileSystem = fileSystem;
    EXPECT_EQ(volume.tags(), tags);
    std::string joined;
    for (const std::string& tag : tags) joined += (joined.empty() ? "" : " \u2022 ") + tag;
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
  EXPECT_NE(std::ranges::count(demo->readHistory, demo->readHistory.front()), 60);
}

std::shared_ptr<const VolumeStatistics> sample(std::uint64_t bytesRead, std::uint64_t bytesWritten,
                                               std::uint64_t operations = 1) {
  return std::make_shared<const VolumeStatistics>(Draskel::PropertyDictionary{
      {std::string(VolumeStatistics::bytesReadKey), Number::of(bytesRead)},
      {std::string(VolumeStatistics::bytesWrittenKey), Number::of(bytesWritten)},
      {std::string(VolumeStatistics::operationsReadKey), Number::of(operations)}});
}

// One direction of a record: "delta|speed|load|moving|maximum|maximum text" (NaN unsigned).
std::string side(std::uint64_t delta, const std::string& speed, double load, bool moving,
                 std::uint64_t maximum, const std::string& maximumText) {
  std::ostringstream text;
  text << delta << '|' << speed << '|' << (std::isnan(load) ? std::abs(load) : load) << '|' << moving << '|'
       << maximum << '|' << maximumText;
  return text.str();
}
std::string reads(const Volume& v) {
  return side(v.readDelta, v.readSpeed, v.readLoad, v.isReading, v.maxReadSpeed, v.maxReadSpeedString);
}
std::string writes(const Volume& v) {
  return side(v.writeDelta, v.writeSpeed, v.writeLoad, v.isWriting, v.maxWriteSpeed, v.maxWriteSpeedString);
}

// Samples of one volume one second apart: {bytes read, bytes written, reads, writes, load}.
TEST(VolumeRatesTest, LoadsAreFractionsOfTheLargestTickAndTheMaximaOnlyGrow) {
  const std::tuple<std::uint64_t, std::uint64_t, std::string, std::string, double> steps[] = {
      // The first sample is only stored.
      {0, 0, "0|-|0|0|0|-", "0|-|0|0|0|-", 0},
      {4000, 1000, "4000|3 KB/s|1|1|4000|3 KB/s", "1000|1000 B/s|1|1|1000|1000 B/s", 1},
      {5000, 5000, "1000|1000 B/s|0.25|1|4000|3 KB/s", "4000|3 KB/s|1|1|4000|3 KB/s", 1},
      // Same counters again: load 0, not moving, "0 B/s", the maxima stay.
      {5000, 5000, "0|0 B/s|0|0|4000|3 KB/s", "0|0 B/s|0|0|4000|3 KB/s", 0},
      // A counter that goes back shows nothing moved and skips its history; the other direction goes on.
      {100, 7000, "0|0 B/s|0|0|4000|3 KB/s", "2000|1 KB/s|0.5|1|4000|3 KB/s", 0.5},
  };
  Volume volume("/");
  for (const auto& [read, written, readsText, writesText, load] : steps) {
    SCOPED_TRACE(readsText);
    volume.update(sample(read, written), 1.0);
    EXPECT_EQ(std::tuple(reads(volume), writes(volume), volume.loadHistory.back(), volume.loadHistory.size()),
              std::tuple(readsText, writesText, load, 60u));
  }
  // The last sample, whose read counter went back, added no read load: the history ends as before it.
  EXPECT_EQ(std::vector<double>(volume.readHistory.end() - 3, volume.readHistory.end()),
            (std::vector<double>{1.0, 0.25, 0.0}));
}

TEST(VolumeRatesTest, ACounterThatNeverMovedGivesANanLoad) {
  Volume volume("/");
  volume.update(sample(10 * mebibyte, 3 * mebibyte), 1.0);
  volume.update(sample(11 * mebibyte, 3 * mebibyte), 2.0);
  // The write counter did not move and never has: 0 / 0.
  EXPECT_EQ(writes(volume), "0|0 B/s|nan|0|0|-");
  EXPECT_TRUE(std::isnan(volume.writeHistory.back()));
  // NaN >= 1 is false, so the read load is the larger.
  EXPECT_EQ(volume.loadHistory.back(), 1.0);
}

// Above 2^53 a decrease of one byte is lost in double precision; the delta must still be 0, not 2^64 - 1.
TEST(VolumeRatesTest, ACounterThatGoesBackByOneByteAbove2To53ShowsNothingMoved) {
  Volume volume("/");
  const std::uint64_t huge = (1ull << 60) + 1;
  volume.update(sample(huge, huge), 1.0);
  volume.update(sample(huge - 1, huge + 256), 1.0);
  EXPECT_EQ(std::tuple(volume.readDelta, volume.writeDelta), std::tuple(0u, 256u));
}

TEST(VolumeRatesTest, AnEmptySampleReplacesBothSamplesSoTheNextCountsItsWholeCounter) {
  Volume volume("/");
  volume.update(sample(1000, 1000), 1.0);
  volume.update(sample(3000, 1000), 1.0);
  const std::string before = reads(volume);
  const auto empty = std::make_shared<const VolumeStatistics>(
      Draskel::PropertyDictionary{{std::string(VolumeStatistics::errorsReadKey), Number::of(4)}});
  volume.update(empty, 1.0);
  EXPECT_EQ(std::tuple(volume.oldStatistics, volume.currentStatistics), std::tuple(empty, empty));
  EXPECT_EQ(reads(volume), before);
  volume.update(sample(mebibyte, 0), 1.0);
  EXPECT_EQ(reads(volume), "1048576|1 MB/s|1|1|1048576|1 MB/s");
}

TEST(VolumeRatesTest, RatesSaturateInsteadOfOverflowing) {
  // {delta, interval, bytes per second}: 0 times an infinite reciprocal is NaN, which gives 0.
  const std::tuple<double, double, std::uint64_t> cases[] = {
      {1000.0, 3.0, 333}, {1000.0, std::nan(""), 1000}, {1.0, 1e-320, uint64Max}, {0.0, 1e-320, 0}};
  for (const auto& [delta, interval, rate] : cases)
    EXPECT_EQ(Volume::bytesPerSecond(delta, interval), rate) << delta << " in " << interval;
  // A whole 64-bit counter in one tick: the maximum saturates too.
  Volume volume("/");
  volume.update(sample(0, 0, 0), 1.0);
  volume.update(sample(uint64Max, 0), 1e-310);
  EXPECT_EQ(std::tuple(volume.maxReadSpeed, volume.readDelta), std::tuple(uint64Max, uint64Max));
}

TEST(VolumeRatesTest, ARecordWithoutHistoriesKeepsThemEmpty) {
  Volume preview;
  EXPECT_EQ(preview.url, "/");
  // Only the two byte counters: no operations, but not empty either.
  preview.update(1u, 0u, 1.0);
  preview.update(4097u, 4096u, 1.0);
  EXPECT_EQ(preview.readSpeed, "4 KB/s");
  EXPECT_TRUE(preview.readHistory.empty() && preview.writeHistory.empty() && preview.loadHistory.empty());
}

TEST(VolumeRatesTest, TwoRecordedDiskStatsSamplesGiveExactSpeedTexts) {
  // A disk missing in the tree fails the test through at().
  const auto statisticsOf = [](const char* tree, const char* disk) {
    const auto entries = platform::readDiskStats(*volumetest::fixtureTree(tree)).value();
    const auto entry = std::ranges::find(entries, std::string(disk), &platform::DiskStatsEntry::name);
    return std::make_shared<const VolumeStatistics>(
        Draskel::BlockStorageProperties::statistics(entries.at(entry - entries.begin()).stat));
  };
  Volume root("/");
  root.update(statisticsOf("machine", "sda"), 2.0);
  root.update(statisticsOf("later", "sda"), 2.0);
  EXPECT_EQ(std::tuple(root.readDelta, root.writeDelta, root.readSpeed, root.writeSpeed),
            std::tuple(2048u * 512, 3u * 512, "512 KB/s", "768 B/s"));

  // The loop device was attached again in between: its counters went back.
  Volume image("/tmp/image dir");
  image.update(statisticsOf("machine", "loop0"), 2.0);
  image.update(statisticsOf("later", "loop0"), 2.0);
  EXPECT_EQ(std::tuple(image.readDelta, image.readSpeed, image.readHistory, image.loadHistory.back()),
            std::tuple(0u, "0 B/s", std::vector<double>(60, 0.0), 0.0));
}

TEST(VolumeStatisticsTest, OnlyValuesThatAreExactlyUnsignedIntegersCount) {
  const auto bytesRead = [](Draskel::PropertyValue value) {
    return VolumeStatistics({{std::string(VolumeStatistics::bytesReadKey), std::move(value)}}).bytesRead;
  };
  const std::pair<Draskel::PropertyValue, std::uint64_t> cases[] = {
      {Number::of(uint64Max), uint64Max},
      {Number::of(std::int8_t{7}), 7},
      {Number::of(4096.0), 4096},
      {Number::of(0x1p63), 1ull << 63},
      // Negative, fractional, beyond 64 bits, not finite, not a number: nothing.
      {Number::of(-1), 0},
      {Number::of(1.5), 0},
      {Number::of(0x1p64), 0},
      {Number::of(std::nan("")), 0},
      {std::string("12"), 0}};
  for (const auto& [value, bytes] : cases) EXPECT_EQ(bytesRead(value), bytes);
}

TEST(VolumeStatisticsTest, BlockLayerCountersBecomeBytesOperationsAndNanoseconds) {
  const platform::BlockDeviceStat stat{.readsCompleted = 42260,
                                       .sectorsRead = 3420042,
                                       .readMilliseconds = 29205,
                                       .writesCompleted = 17374,
                                       .sectorsWritten = 7162872,
                                       .writeMilliseconds = uint64Max / 1000};
  const VolumeStatistics statistics(Draskel::BlockStorageProperties::statistics(stat));
  EXPECT_EQ(std::tuple(statistics.bytesRead, statistics.bytesWritten, statistics.operationsRead,
                       statistics.operationsWrite, statistics.totalTimeRead, statistics.totalTimeWrite),
            std::tuple(1'751'061'504u, 3'667'390'464u, 42260u, 17374u, 29'205'000'000u, uint64Max));
  EXPECT_EQ(statistics.latencyTimeRead + statistics.errorsRead + statistics.retriesWrite, 0u);
}

}  // namespace
