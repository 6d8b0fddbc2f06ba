#include "Platform/System/WirelessStatus.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "Platform/System/WirelessRequests.hpp"
#include "tests/platform/System/NetworkFixtures.hpp"

using platform::WirelessStatus;
using testing::ElementsAre;

namespace {

TEST(WirelessStatusTest, RecordedRowsGiveLevelsInDecibelMilliwatts) {
  auto rows = readWirelessStatus(networktest::fixture("laptop"));
  ASSERT_TRUE(rows.has_value());
  // wlp2s0 reports no noise (-256); wlan1's signal lacks the "updated" dot.
  EXPECT_THAT(*rows,
              ElementsAre(WirelessStatus{"wlp2s0", -52, std::nullopt}, WirelessStatus{"wlan1", -70, -95}));
  // A machine without wireless support has no /proc/net/wireless at all.
  EXPECT_FALSE(readWirelessStatus(networktest::fixture("host")).has_value());
}

TEST(WirelessStatusTest, MissingValuesAndShortRows) {
  const std::string header =
      "Inter-| sta-|   Quality        |   Discarded packets               | Missed | WE\n"
      " face | tus | link level noise |  nwid  crypt   frag  retry   misc | beacon | 22\n";
  EXPECT_THAT(platform::parseWirelessStatus(header), ElementsAre());
  EXPECT_THAT(platform::parseWirelessStatus(header + "wlan0: 0000    0   -256.    0.   0 0 0 0 0 0\n"
                                                     "wlan1: 0000   70\n"
                                                     "     : 0000   70.  -40.  -90.\n"
                                                     "wlan2: 0000   70.  high  -3x.   0 0 0 0 0 0\n"),
              ElementsAre(WirelessStatus{"wlan0", std::nullopt, std::nullopt},
                          WirelessStatus{"wlan2", std::nullopt, std::nullopt}));
}

TEST(WirelessStatusTest, SurvivesHostileText) {
  auto text = networktest::fixture("laptop").read("/proc/net/wireless");
  ASSERT_TRUE(text.has_value());
  networktest::forEachMutation(*text, [](std::string_view mutated) {
    for (const auto& row : platform::parseWirelessStatus(mutated)) {
      EXPECT_FALSE(row.name.empty());
      EXPECT_NE(mutated.find(row.name), std::string_view::npos);
    }
  });
}

TEST(WirelessStatusTest, WiredAndUnknownInterfacesAnswerNoWirelessRequest) {
  platform::WirelessRequests requests;
  for (const std::string name : {"lo", "no-such-if0", "", "a-name-far-too-long-for-a-link"}) {
    EXPECT_FALSE(requests.isWireless(name)) << name;
    EXPECT_FALSE(requests.transmitRate(name).has_value()) << name;
    EXPECT_FALSE(requests.networkName(name).has_value()) << name;
  }
}

}  // namespace
