#include "Platform/System/RouteTable.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

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

TEST(RouteTableTest, OnlyRowsWithZeroDestinationAndMaskAreDefaultRoutes) {
  EXPECT_FALSE(platform::parsePrimaryInterface(header).has_value());
  EXPECT_FALSE(platform::parsePrimaryInterface("").has_value());
  // A host route (mask all ones) and a network route are not default routes.
  EXPECT_FALSE(platform::parsePrimaryInterface(header +
                                               "eth0\t00000000\t010200C0\t0003\t0\t0\t0\tFFFFFFFF\t0\t0\t0\n"
                                               "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n")
                   .has_value());
  EXPECT_EQ(
      platform::parsePrimaryInterface(header + "usb0\t00000000\t00000000\t0001\t0\t0\t5\t00000000\t0\t0\t0"),
      "usb0");
}

TEST(RouteTableTest, ColumnsAreFoundByTheirHeaderNames) {
  std::string reordered =
      "Metric Mask Iface Flags Destination\n"
      "7 00000000 wan1 0001 00000000\n"
      "3 00000000 wan2 0003 00000000\n";
  EXPECT_EQ(platform::parsePrimaryInterface(reordered), "wan2");
  EXPECT_FALSE(
      platform::parsePrimaryInterface("Iface Destination Flags Mask\neth0 00000000 0003 00000000\n"));
}

TEST(RouteTableTest, MalformedRowsArePassedOver) {
  std::string table = header +
                      "bad0\t0000000G\t0\t0003\t0\t0\t0\t00000000\n"   // not hexadecimal
                      "bad1\t00000000\t0\t0003\t0\t0\t-1\t00000000\n"  // negative metric
                      "bad2\t00000000\n"                               // cut short
                      "bad3\t00000000\t0\t0003\t0\t0\t99999999999999999999\t00000000\n"
                      "good\t00000000\t0\t0003\t0\t0\t9\t00000000\n";
  EXPECT_EQ(platform::parsePrimaryInterface(table), "good");
}

TEST(RouteTableTest, SurvivesHostileText) {
  auto text = networktest::fixture("laptop").read("/proc/net/route");
  ASSERT_TRUE(text.has_value());
  networktest::forEachMutation(*text, [](std::string_view mutated) {
    auto name = platform::parsePrimaryInterface(mutated);
    if (name) {
      EXPECT_NE(mutated.find(*name), std::string_view::npos);
    }
  });
}

TEST(RouteTableTest, LiveTableAgreesWithIpRoute) {
  std::unique_ptr<FILE, int (*)(FILE*)> ip(::popen("ip -4 route show default 2>/dev/null", "r"), ::pclose);
  ASSERT_NE(ip, nullptr);
  char line[512] = {};
  std::string output;
  while (std::fgets(line, sizeof line, ip.get()) != nullptr) output += line;
  auto primary = readPrimaryInterface(*platform::TextSource::live());
  if (output.empty()) {
    EXPECT_FALSE(primary.has_value());
    return;
  }
  // ip lists the default routes by metric, lowest first: "default via 192.0.2.1 dev eth0 ...".
  auto dev = output.find(" dev ");
  ASSERT_NE(dev, std::string::npos);
  std::string expected = output.substr(dev + 5, output.find_first_of(" \n", dev + 5) - (dev + 5));
  EXPECT_EQ(primary, expected);
}

}  // namespace
