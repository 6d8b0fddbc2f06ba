#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <tuple>

#include "Orvane/InternetProtocol.hpp"
#include "Orvane/IpType.hpp"
#include "Orvane/NetworkAdapter.hpp"
#include "Orvane/NetworkProtocol.hpp"

using Orvane::NetworkAdapter;
using testing::Each;
using testing::ElementsAre;
using testing::Eq;
using testing::SizeIs;

namespace {

TEST(NetworkAdapterTest, ANewAdapterHasZeroHistoriesOfTheGivenSizeAndNoFacts) {
  NetworkAdapter adapter("en0", 60);
  EXPECT_EQ(std::tuple(adapter.historyDownload.size(), adapter.historyUpload.size(),
                       adapter.maxDownloadHistory.size(), adapter.maxUploadHistory.size()),
            std::tuple(60u, 60u, 120u, 120u));
  EXPECT_THAT(adapter.maxUploadHistory, Each(Eq(0.0)));
  EXPECT_EQ(adapter.type, Orvane::AdapterType::unknown);
  EXPECT_FALSE(adapter.name || adapter.ipv4 || adapter.ipv6 || adapter.noise || adapter.security);
  EXPECT_THROW(NetworkAdapter("en0", -1), std::invalid_argument);
  // Secured only with a known mode other than none (0).
  EXPECT_FALSE(adapter.isSecured());
  adapter.security = 0;
  EXPECT_FALSE(adapter.isSecured());
  adapter.security = 4;
  EXPECT_TRUE(adapter.isSecured());
}

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
  // Upload went through none of it.
  EXPECT_EQ(std::tuple(adapter.uploadBytesDiff, adapter.uploads), std::tuple(0u, 0));
  EXPECT_THAT(adapter.historyUpload, ElementsAre(0, 0, 0));

  // Upload runs the same steps on its own fields.
  NetworkAdapter up("en0", 1);
  for (std::uint32_t counter : {0u, 100u, 300u, 600u, 1000u}) up.updateUpload(counter, 0);
  EXPECT_EQ(std::tuple(up.uploadBytesDiff, up.maxUploadBytes), std::tuple(400u, 400u));
  EXPECT_THAT(up.historyUpload, ElementsAre(400));
  EXPECT_THAT(up.maxUploadHistory, ElementsAre(300, 400));
  EXPECT_EQ(std::tuple(up.highestUpload(), up.downloads, up.highestDownload()), std::tuple(400.0, 0, 0.0));
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
      {2000, 2.0, 1000},
      {1000, 0.5, 2000},
      {49, 49.0, 0},
      {1234, 0.0, 1234},
      {1234, -1.0, 1234},
      {1234, std::nan(""), 1234},
      {1234, infinity, 0},
      {4294967295u, 1e-12, saturated},
      {4294967295u, std::numeric_limits<double>::denorm_min(), saturated},
      {0, 1e-300, 0}};
  for (const auto& [bytes, interval, expected] : cases) {
    EXPECT_EQ(NetworkAdapter::bytesPerSecond(bytes, interval), expected) << bytes << " in " << interval;
  }
}

TEST(NetworkAdapterTest, SetKeepsThePeakAndHighestIsThePeakOfTheLongerHistory) {
  NetworkAdapter adapter("en0", 2);
  adapter.setDownload(900);
  adapter.setDownload(300);
  adapter.setUpload(70);
  EXPECT_EQ(std::tuple(adapter.downloadBytesDiff, adapter.maxDownloadBytes, adapter.maxUploadBytes),
            std::tuple(300u, 900u, 70u));
  EXPECT_THAT(adapter.historyDownload, ElementsAre(0, 0));
  EXPECT_EQ(adapter.downloads, 0);

  NetworkAdapter one("en0", 1);
  for (std::uint64_t rate : {1u, 2u, 50u, 7u, 3u}) one.appendDownloadHistory(rate);
  // 1 and 2 were counted only; 50, 7, 3 went in and the max-history of two keeps 7 and 3.
  EXPECT_THAT(one.historyDownload, ElementsAre(3));
  EXPECT_THAT(one.maxDownloadHistory, ElementsAre(7, 3));
  EXPECT_EQ(one.highestDownload(), 7.0);
}

TEST(NetworkAdapterTest, ResizingEmptiesTheHistoriesButKeepsThePhaseAndZeroKeepsNothing) {
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

  // A size of zero keeps nothing and still computes rates.
  NetworkAdapter none("en0", 0);
  for (std::uint32_t counter : {0u, 10u, 30u, 60u, 100u, 4000u}) {
    none.updateDownload(counter, 0);
    none.updateUpload(counter, 0);
  }
  EXPECT_EQ(std::tuple(none.downloadBytesDiff, none.maxUploadBytes), std::tuple(3900u, 3900u));
  EXPECT_TRUE(none.historyDownload.empty() && none.maxUploadHistory.empty());
  EXPECT_EQ(std::tuple(none.highestDownload(), none.highestUpload()), std::tuple(0.0, 0.0));
}

TEST(NetworkAdapterTest, EnumerationsConvertFromAndToTheirRawTextsExactly) {
  using namespace Orvane;
  for (const char* text : {"Unknown", "IEEE80211", "Ethernet"})
    EXPECT_EQ(rawValue(*adapterTypeFromRawValue(text)), text);
  EXPECT_EQ(adapterTypeFromRawValue("Ethernet"), AdapterType::ETHERNET);
  EXPECT_EQ(ipTypeFromRawValue("IPv6"), IpType::ip6);
  EXPECT_EQ(rawValue(IpType::ip4), "IPv4");
  EXPECT_EQ(internetProtocolFromRawValue("ipv4"), InternetProtocol::ipv4);
  EXPECT_EQ(rawValue(InternetProtocol::ipv6), "ipv6");
  EXPECT_EQ(networkProtocolFromRawValue("UDP"), NetworkProtocol::udp);
  EXPECT_EQ(rawValue(NetworkProtocol::tcp), "TCP");
  EXPECT_FALSE(adapterTypeFromRawValue("ethernet") || ipTypeFromRawValue("ipv6") ||
               internetProtocolFromRawValue("IPv4") || networkProtocolFromRawValue(""));
}

}  // namespace
