#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Draskel/BlockStorageProperties.hpp"
#include "Draskel/Volume.hpp"
#include "tests/platform/System/VolumeFixtures.hpp"

namespace {

using Draskel::Volume;
using Draskel::VolumeStatistics;
using platform::Number;

constexpr std::uint64_t mebibyte = 1 << 20;

std::shared_ptr<const VolumeStatistics> sample(std::uint64_t bytesRead, std::uint64_t bytesWritten,
                                               std::uint64_t operations = 1) {
  return std::make_shared<const VolumeStatistics>(Draskel::PropertyDictionary{
      {std::string(VolumeStatistics::bytesReadKey), Number::of(bytesRead)},
      {std::string(VolumeStatistics::bytesWrittenKey), Number::of(bytesWritten)},
      {std::string(VolumeStatistics::operationsReadKey), Number::of(operations)}});
}

TEST(VolumeRatesTest, TheFirstSampleIsOnlyStored) {
  Volume volume("/");
  const auto first = sample(5 * mebibyte, 7 * mebibyte);
  volume.update(first, 1.0);
  EXPECT_EQ(volume.currentStatistics, first);
  EXPECT_EQ(volume.oldStatistics, nullptr);
  EXPECT_EQ(volume.readSpeed, "-");
  EXPECT_EQ(volume.writeSpeed, "-");
  EXPECT_EQ(volume.readDelta, 0u);
  EXPECT_EQ(volume.readHistory, std::vector<double>(60, 0.0));
  EXPECT_EQ(volume.loadHistory, std::vector<double>(60, 0.0));
}

TEST(VolumeRatesTest, OneMebibyteOverTwoSecondsReads512KilobytesPerSecond) {
  Volume volume("/");
  volume.update(sample(10 * mebibyte, 3 * mebibyte), 1.0);
  volume.update(sample(11 * mebibyte, 3 * mebibyte), 2.0);
  EXPECT_EQ(volume.readDelta, mebibyte);
  EXPECT_EQ(volume.maxReadSpeed, mebibyte);
  EXPECT_EQ(volume.readSpeed, "512 KB/s");
  EXPECT_EQ(volume.maxReadSpeedString, "512 KB/s");
  EXPECT_EQ(volume.readLoad, 1.0);
  EXPECT_TRUE(volume.isReading);
  ASSERT_EQ(volume.readHistory.size(), 60u);
  EXPECT_EQ(volume.readHistory.back(), 1.0);
  EXPECT_EQ(volume.readHistory.front(), 0.0);

  // The write counter did not move and never has: 0 / 0.
  EXPECT_EQ(volume.writeDelta, 0u);
  EXPECT_EQ(volume.writeSpeed, "0 B/s");
  EXPECT_FALSE(volume.isWriting);
  EXPECT_TRUE(std::isnan(volume.writeLoad));
  EXPECT_TRUE(std::isnan(volume.writeHistory.back()));
  EXPECT_EQ(volume.maxWriteSpeedString, "-");
  // NaN >= 1 is false, so the read load is the larger.
  EXPECT_EQ(volume.loadHistory.back(), 1.0);
  EXPECT_EQ(volume.loadHistory.size(), 60u);
}

TEST(VolumeRatesTest, LoadsAreFractionsOfTheLargestTickAndTheMaximaOnlyGrow) {
  Volume volume("/");
  volume.update(sample(0, 0), 1.0);
  volume.update(sample(4000, 1000), 1.0);
  volume.update(sample(5000, 5000), 1.0);
  EXPECT_EQ(volume.maxReadSpeed, 4000u);
  EXPECT_EQ(volume.maxWriteSpeed, 4000u);
  EXPECT_EQ(volume.readLoad, 0.25);
  EXPECT_EQ(volume.writeLoad, 1.0);
  EXPECT_EQ(volume.readSpeed, "1000 B/s");
  EXPECT_EQ(volume.writeSpeed, "3 KB/s");
  EXPECT_EQ(volume.maxReadSpeedString, "3 KB/s");
  const std::vector<double> recentReads(volume.readHistory.end() - 2, volume.readHistory.end());
  EXPECT_EQ(recentReads, (std::vector<double>{1.0, 0.25}));
  EXPECT_EQ(volume.loadHistory.back(), 1.0);

  // Same counters again: load 0, not moving, "0 B/s", the maxima stay.
  volume.update(sample(5000, 5000), 1.0);
  EXPECT_EQ(volume.readLoad, 0.0);
  EXPECT_EQ(volume.writeLoad, 0.0);
  EXPECT_FALSE(volume.isReading || volume.isWriting);
  EXPECT_EQ(volume.readSpeed, "0 B/s");
  EXPECT_EQ(volume.maxWriteSpeed, 4000u);
  EXPECT_EQ(volume.loadHistory.back(), 0.0);
}

TEST(VolumeRatesTest, AnIntervalOfZeroGivesTheRawDifference) {
  Volume volume("/");
  volume.update(sample(0, 2048), 0.0);
  volume.update(sample(0, 2048 + 3 * mebibyte), 0.0);
  EXPECT_EQ(volume.writeSpeed, "3 MB/s");
  volume.update(sample(0, 2048 + 4 * mebibyte), -1.0);
  EXPECT_EQ(volume.writeSpeed, "1 MB/s");
  volume.update(sample(0, 2048 + 5 * mebibyte), 4.0);
  EXPECT_EQ(volume.writeSpeed, "256 KB/s");
}

TEST(VolumeRatesTest, ACounterThatGoesBackShowsNothingMovedAndSkipsItsHistory) {
  Volume volume("/");
  volume.update(sample(8000, 8000), 1.0);
  volume.update(sample(9000, 9000), 1.0);
  const std::vector<double> readsBefore = volume.readHistory;
  volume.update(sample(100, 9500), 1.0);
  EXPECT_EQ(volume.readDelta, 0u);
  EXPECT_EQ(volume.readSpeed, "0 B/s");
  EXPECT_EQ(volume.readLoad, 0.0);
  EXPECT_FALSE(volume.isReading);
  EXPECT_EQ(volume.readHistory, readsBefore);
  EXPECT_EQ(volume.maxReadSpeed, 1000u);
  EXPECT_EQ(volume.maxReadSpeedString, "1000 B/s");
  // The write direction and the load history go on.
  EXPECT_EQ(volume.writeDelta, 500u);
  EXPECT_EQ(volume.writeLoad, 0.5);
  EXPECT_EQ(volume.loadHistory.back(), 0.5);
}

TEST(VolumeRatesTest, DeltasCompareTheCountersAsIntegers) {
  // Above 2^53 a decrease of one byte is lost in double precision; the delta must still be 0, not 2^64 - 1.
  const std::uint64_t huge = (1ull << 60) + 1;
  Volume volume("/");
  volume.update(sample(huge, huge), 1.0);
  volume.update(sample(huge - 1, huge + 256), 1.0);
  EXPECT_EQ(volume.readDelta, 0u);
  EXPECT_EQ(volume.writeDelta, 256u);
}

TEST(VolumeRatesTest, AnEmptySampleReplacesBothSamplesSoTheNextCountsItsWholeCounter) {
  Volume volume("/");
  volume.update(sample(1000, 1000), 1.0);
  volume.update(sample(3000, 1000), 1.0);
  const std::string speed = volume.readSpeed;
  const auto empty = std::make_shared<const VolumeStatistics>(Draskel::PropertyDictionary{
      {std::string(VolumeStatistics::errorsReadKey), Number::of(4)}});
  volume.update(empty, 1.0);
  EXPECT_EQ(volume.oldStatistics, empty);
  EXPECT_EQ(volume.currentStatistics, empty);
  EXPECT_EQ(volume.readSpeed, speed);
  EXPECT_EQ(volume.readLoad, 1.0);

  volume.update(sample(mebibyte, 0), 1.0);
  EXPECT_EQ(volume.readDelta, mebibyte);
  EXPECT_EQ(volume.maxReadSpeed, mebibyte);
  EXPECT_EQ(volume.readSpeed, "1 MB/s");
}

TEST(VolumeRatesTest, RatesSaturateInsteadOfOverflowing) {
  EXPECT_EQ(Volume::bytesPerSecond(1000, 3), 333u);
  EXPECT_EQ(Volume::bytesPerSecond(1000, std::nan("")), 1000u);
  EXPECT_EQ(Volume::bytesPerSecond(1, 1e-320), std::numeric_limits<std::uint64_t>::max());
  EXPECT_EQ(Volume::bytesPerSecond(0, 1e-320), 0u);
  EXPECT_EQ(Volume::bytesPerSecond(-5, 1), 0u);
  EXPECT_EQ(Volume::bytesPerSecond(std::nan(""), 1), 0u);

  // A whole 64-bit counter in one tick: the maximum saturates too.
  Volume volume("/");
  volume.update(sample(0, 0, 0), 1.0);
  volume.update(sample(std::numeric_limits<std::uint64_t>::max(), 0), 1e-310);
  EXPECT_EQ(volume.maxReadSpeed, std::numeric_limits<std::uint64_t>::max());
  EXPECT_EQ(volume.readDelta, std::numeric_limits<std::uint64_t>::max());
}

TEST(VolumeRatesTest, ARecordWithoutHistoriesKeepsThemEmpty) {
  Volume preview;
  // Only the two byte counters: no operations, but not empty either.
  preview.update(1u, 0u, 1.0);
  preview.update(4097u, 4096u, 1.0);
  EXPECT_EQ(preview.readSpeed, "4 KB/s");
  EXPECT_TRUE(preview.readHistory.empty() && preview.writeHistory.empty() && preview.loadHistory.empty());
}

TEST(VolumeRatesTest, TwoRecordedDiskStatsSamplesGiveExactSpeedTexts) {
  const auto statisticsOf = [](const char* tree, const char* disk) {
    const auto entries = platform::readDiskStats(*volumetest::fixtureTree(tree));
    EXPECT_TRUE(entries.has_value());
    for (const platform::DiskStatsEntry& entry : entries.value_or(std::vector<platform::DiskStatsEntry>{})) {
      if (entry.name == disk) {
        const auto dictionary = Draskel::BlockStorageProperties::statistics(entry.stat);
        return std::make_shared<const VolumeStatistics>(dictionary);
      }
    }
    ADD_FAILURE() << disk << " missing in " << tree;
    return std::make_shared<const VolumeStatistics>(Draskel::PropertyDictionary{});
  };
  Volume root("/");
  root.update(statisticsOf("machine", "sda"), 2.0);
  root.update(statisticsOf("later", "sda"), 2.0);
  EXPECT_EQ(root.readDelta, 2048u * 512);
  EXPECT_EQ(root.writeDelta, 3u * 512);
  EXPECT_EQ(root.readSpeed, "512 KB/s");
  EXPECT_EQ(root.writeSpeed, "768 B/s");

  // The loop device was attached again in between: its counters went back.
  Volume image("/tmp/image dir");
  image.update(statisticsOf("machine", "loop0"), 2.0);
  image.update(statisticsOf("later", "loop0"), 2.0);
  EXPECT_EQ(image.readDelta, 0u);
  EXPECT_EQ(image.readSpeed, "0 B/s");
  EXPECT_EQ(image.readHistory, std::vector<double>(60, 0.0));
  EXPECT_EQ(image.loadHistory.back(), 0.0);
}

}  // namespace
