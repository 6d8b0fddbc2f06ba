#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "Draskel/BlockStorageProperties.hpp"
#include "Draskel/VolumeStatistics.hpp"

namespace {

using Draskel::VolumeStatistics;
using platform::Number;

TEST(VolumeStatisticsTest, OnlyValuesThatAreExactlyUnsignedIntegersCount) {
  const auto bytesRead = [](Draskel::PropertyValue value) {
    return VolumeStatistics({{std::string(VolumeStatistics::bytesReadKey), std::move(value)}}).bytesRead;
  };
  const std::uint64_t max = std::numeric_limits<std::uint64_t>::max();
  const std::pair<Draskel::PropertyValue, std::uint64_t> cases[] = {
      {Number::of(max), max},
      {Number::of(std::int8_t{7}), 7},
      {Number::of(true), 1},
      {Number::of(4096.0), 4096},
      {Number::of(0x1p63), 1ull << 63},
      // Negative, fractional, beyond 64 bits, not finite, not a number: nothing.
      {Number::of(-1), 0},
      {Number::of(1.5), 0},
      {Number::of(0x1p64), 0},
      {Number::of(std::nan("")), 0},
      {Number::of(INFINITY), 0},
      {std::string("12"), 0}};
  for (const auto& [value, bytes] : cases) EXPECT_EQ(bytesRead(value), bytes);
}

TEST(VolumeStatisticsTest, BlockLayerCountersBecomeBytesOperationsAndNanoseconds) {
  platform::BlockDeviceStat stat;
  stat.readsCompleted = 42260;
  stat.sectorsRead = 3420042;
  stat.readMilliseconds = 29205;
  stat.writesCompleted = 17374;
  stat.sectorsWritten = 7162872;
  stat.writeMilliseconds = std::numeric_limits<std::uint64_t>::max() / 1000;
  const VolumeStatistics statistics(Draskel::BlockStorageProperties::statistics(stat));
  EXPECT_EQ(std::tuple(statistics.bytesRead, statistics.bytesWritten, statistics.operationsRead,
                       statistics.operationsWrite, statistics.totalTimeRead, statistics.totalTimeWrite),
            std::tuple(1'751'061'504u, 3'667'390'464u, 42260u, 17374u, 29'205'000'000u,
                       std::numeric_limits<std::uint64_t>::max()));
  EXPECT_EQ(statistics.latencyTimeRead + statistics.errorsRead + statistics.retriesWrite, 0u);
}

}  // namespace
