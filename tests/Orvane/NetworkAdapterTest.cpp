#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <tuple>

#include "Orvane/NetworkAdapter.hpp"

using Orvane::NetworkAdapter;
using testing::ElementsAre;
using testing::SizeIs;

namespace {

TEST(NetworkAdapterTest, RatesPassTheWarmUpBeforeTheHistoriesRoll) {
  NetworkAdapter adapter("en0", 3);
  // The first update only records the counter.
  adapter.updateDownload(1000, 2.0);
  EXPECT_EQ(
      std::tuple(adapter.oldDownload, adapter.downloadBytesDiff, adapter.maxDownloadBytes, adapter.downloads),
      std::tuple(1000u, 0u, 0u, 0));
  // The next two rates are published but not kept.
  adapter.updateDownload(3000, 2.0);
  EXPECT_EQ(adapter.downloadBytesDiff, 1000u);
  adapter.updateDownload(3600, 2.0);
  EXPECT_EQ(std::tuple(adapter.downloadBytesDiff, adapter.maxDownloadBytes, adapter.downloads),
            std::tuple(300u, 1000u, 2));
  EXPECT_THAT(adapter.historyDownload, ElementsAre(0, 0, 0));
  // From the fourth update on every rate goes in and the oldest leaves.
  adapter.updateDownload(4600, 2.0);
  adapter.updateDownload(8600, 1.0);
  EXPECT_THAT(adapter.historyDownload, ElementsAre(0, 500, 4000));
  EXPECT_EQ(adapter.maxDownloadHistory, (std::vector<double>{0, 0, 0, 0, 500, 4000}));
  EXPECT_EQ(std::tuple(adapter.maxDownloadBytes, adapter.highestDownload()), std::tuple(4000u, 4000.0));
}

TEST(NetworkAdapterTest, CountersAre64BitAndOnly32BitOnesWrap) {
  NetworkAdapter adapter("en0", 60);
  // {previous, current, difference}: two counters within 32 bits that go down wrapped, one less than the
  // modular difference; beyond 32 bits the difference is kept whole, and a 64-bit counter that goes down
  // was reset.
  const std::uint64_t steps[][3] = {{4294967000u, 100, 395},
                                    {4294967295u, 0, 0},
                                    {0, 0, 0},
                                    {1000, 5'000'001'000, 5'000'000'000},
                                    {4294967000u, 4294967296u + 100, 396},
                                    {5'000'000'000, 100, 0}};
  for (const auto& [previous, current, difference] : steps) {
    adapter.updateDownload(previous, 0);
    adapter.updateDownload(current, 0);
    EXPECT_EQ(adapter.downloadBytesDiff, difference) << previous << " -> " << current;
  }
}

TEST(NetworkAdapterTest, BytesPerSecondTakesTheReciprocalFirstAndSaturates) {
  constexpr double infinity = std::numeric_limits<double>::infinity();
  constexpr std::uint64_t saturated = std::numeric_limits<std::uint64_t>::max();
  // (1 / 49) * 49 is 0.9999999999999999 in double precision: truncated, it is 0. An interval that is not
  // positive gives the raw difference; a rate beyond 64 bits saturates.
  const std::tuple<std::uint64_t, double, std::uint64_t> cases[] = {
      {2000, 2.0, 1000},   {49, 49.0, 0},
      {1234, 0.0, 1234},   {1234, std::nan(""), 1234},
      {1234, infinity, 0}, {4294967295u, 1e-12, saturated},
      {0, 1e-300, 0}};
  for (const auto& [bytes, interval, expected] : cases) {
    EXPECT_EQ(NetworkAdapter::bytesPerSecond(bytes, interval), expected) << bytes << " in " << interval;
  }
}

TEST(NetworkAdapterTest, ResizingEmptiesTheHistoriesButKeepsThePhase) {
  NetworkAdapter adapter("en0", 2);
  for (std::uint32_t counter : {0u, 10u, 30u, 60u}) adapter.updateDownload(counter, 0);
  EXPECT_THAT(adapter.historyDownload, ElementsAre(0, 30));
  adapter.resizeHistory(3);
  EXPECT_THAT(adapter.historyDownload, ElementsAre(0, 0, 0));
  EXPECT_THAT(adapter.maxDownloadHistory, SizeIs(6));
  adapter.updateDownload(100, 0);
  EXPECT_THAT(adapter.historyDownload, ElementsAre(0, 0, 40));
  EXPECT_THROW(adapter.resizeHistory(-3), std::invalid_argument);
  EXPECT_THAT(adapter.historyDownload, SizeIs(3));
}

}  // namespace
