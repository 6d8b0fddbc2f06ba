#include <gtest/gtest.h>

#include <string>

#include "Platform/System/RouteTable.hpp"
#include "tests/platform/System/NetworkFixtures.hpp"

namespace {

const std::string header =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";

TEST(RouteTableTest, RecordedTablesGiveTheUpDefaultRouteWithTheLowestMetric) {
  // The host has one default route; the laptop has one that is not up (metric 0), metrics 600 and 100,
  // and a second route of metric 100 after the first.
  EXPECT_EQ(readPrimaryInterface(networktest::fixture("host")), "eth0");
  EXPECT_EQ(readPrimaryInterface(networktest::fixture("laptop")), "enp0s31f6");
  EXPECT_FALSE(readPrimaryInterface(networktest::fixture("no-such-tree")).has_value());
}

TEST(RouteTableTest, OnlyWellFormedRowsWithZeroDestinationAndMaskAreDefaultRoutes) {
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {"", std::nullopt},
      {header, std::nullopt},
      // A host route (mask all ones) and a network route.
      {header + "eth0\t00000000\t010200C0\t0003\t0\t0\t0\tFFFFFFFF\t0\t0\t0\n"
                "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n",
       std::nullopt},
      {header + "usb0\t00000000\t00000000\t0001\t0\t0\t5\t00000000\t0\t0\t0", "usb0"},
      // Columns are found by their header names: without a metric column no row counts.
      {"Metric Mask Iface Flags Destination\n7 00000000 wan1 0001 00000000\n3 00000000 wan2 0003 00000000\n",
       "wan2"},
      {"Iface Destination Flags Mask\neth0 00000000 0003 00000000\n", std::nullopt},
      // Not hexadecimal, a negative metric, cut short, a metric beyond 64 bits.
      {header + "bad0\t0000000G\t0\t0003\t0\t0\t0\t00000000\n"
                "bad1\t00000000\t0\t0003\t0\t0\t-1\t00000000\n"
                "bad2\t00000000\n"
                "bad3\t00000000\t0\t0003\t0\t0\t99999999999999999999\t00000000\n"
                "good\t00000000\t0\t0003\t0\t0\t9\t00000000\n",
       "good"}};
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(platform::parsePrimaryInterface(text), expected) << text;
  }
}

TEST(RouteTableTest, LiveTableAgreesWithIpRoute) {
  const std::string output = networktest::commandOutput("ip -4 route show default 2>/dev/null");
  // ip lists the default routes by metric, lowest first: "default via 192.0.2.1 dev eth0 ...".
  const size_t dev = output.find(" dev ");
  ASSERT_EQ(dev == std::string::npos, output.empty()) << output;
  const std::optional<std::string> expected =
      output.empty() ? std::nullopt
                     : std::optional(output.substr(dev + 5, output.find_first_of(" \n", dev + 5) - dev - 5));
  EXPECT_EQ(readPrimaryInterface(*platform::TextSource::live()), expected);
}

}  // namespace
