#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netdb.h>

#include <set>
#include <sstream>
#include <tuple>

#include "Platform/System/NameResolver.hpp"
#include "Platform/System/RouteTable.hpp"
#include "Platform/System/SocketTable.hpp"
#include "Platform/System/Utf8Text.hpp"
#include "tests/platform/System/NetworkFixtures.hpp"

using platform::SocketEndpoint;
using platform::SocketRow;
using testing::ElementsAre;

namespace {

constexpr std::uint8_t established = 1;
constexpr std::uint8_t listening = 10;
constexpr std::uint8_t unconnected = 7;

SocketEndpoint ipv4(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d, std::uint16_t port) {
  return {AF_INET, {a, b, c, d}, port};
}

SocketEndpoint ipv6(std::array<std::uint8_t, 16> address, std::uint16_t port) {
  return {AF_INET6, address, port};
}

const std::array<std::uint8_t, 16> loopback6 = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};

std::vector<SocketRow> recorded(std::string_view path) {
  return readSocketTable(networktest::fixture("host"), path).value();
}

TEST(SocketTableTest, RecordedTablesOfBothFamilies) {
  EXPECT_THAT(recorded(platform::tcpTablePath),
              ElementsAre(SocketRow{ipv4(127, 0, 0, 1, 36703), ipv4(0, 0, 0, 0, 0), listening},
                          SocketRow{ipv4(0, 0, 0, 0, 2024), ipv4(0, 0, 0, 0, 0), listening},
                          SocketRow{ipv4(127, 0, 0, 1, 36703), ipv4(127, 0, 0, 1, 38286), established},
                          SocketRow{ipv4(127, 0, 0, 1, 50066), ipv4(127, 0, 0, 1, 43001), established},
                          SocketRow{ipv4(127, 0, 0, 1, 38286), ipv4(127, 0, 0, 1, 36703), established}));
  // The server end of an IPv4 client on a dual-stack listener is an IPv4-mapped row: it counts as IPv4.
  EXPECT_THAT(recorded(platform::tcp6TablePath),
              ElementsAre(SocketRow{ipv6({}, 43001), ipv6({}, 0), listening},
                          SocketRow{ipv6(loopback6, 45869), ipv6({}, 0), listening},
                          SocketRow{ipv6(loopback6, 35504), ipv6(loopback6, 45869), established},
                          SocketRow{ipv4(127, 0, 0, 1, 43001), ipv4(127, 0, 0, 1, 50066), established},
                          SocketRow{ipv6(loopback6, 45869), ipv6(loopback6, 35504), established}));
  EXPECT_THAT(recorded(platform::udpTablePath),
              ElementsAre(SocketRow{ipv4(127, 0, 0, 1, 56763), ipv4(127, 0, 0, 1, 53), established},
                          SocketRow{ipv4(127, 0, 0, 1, 57083), ipv4(0, 0, 0, 0, 0), unconnected}));
  EXPECT_THAT(recorded(platform::udp6TablePath),
              ElementsAre(SocketRow{ipv6(loopback6, 49476), ipv6(loopback6, 53), established}));
}

// Every established row of the four tables is a line "tcp|udp ESTAB ... local:port peer:port" of the ss
// output recorded at the same moment, and the other way round.
TEST(SocketTableTest, EstablishedRowsAgreeWithSsRecordedAtTheSameMoment) {
  using Connection = std::tuple<std::string, std::uint16_t, std::uint16_t>;
  std::set<Connection> fromTables;
  for (auto [protocol, path] : {std::pair{"tcp", platform::tcpTablePath},
                                {"tcp", platform::tcp6TablePath},
                                {"udp", platform::udpTablePath},
                                {"udp", platform::udp6TablePath}}) {
    for (const auto& row : recorded(path)) {
      if (row.state == established) fromTables.emplace(protocol, row.local.port, row.remote.port);
    }
  }
  std::set<Connection> fromSs;
  std::istringstream ss(networktest::fixture("host").read("/ss-tanu.txt").value_or(""));
  std::string protocol, state, receiveQueue, sendQueue, local, peer;
  while (ss >> protocol >> state >> receiveQueue >> sendQueue >> local >> peer) {
    auto port = [](const std::string& endpoint) {
      return static_cast<std::uint16_t>(std::stoi(endpoint.substr(endpoint.rfind(':') + 1)));
    };
    if (state == "ESTAB") fromSs.emplace(protocol, port(local), port(peer));
  }
  EXPECT_EQ(fromTables.size(), 8u);
  EXPECT_EQ(fromTables, fromSs);
}

TEST(SocketTableTest, ColumnsComeFromTheHeaderAndBadRowsArePassedOver) {
  // Without the header no column is known.
  EXPECT_THAT(platform::parseSocketTable("   0: 0100007F:0277 00000000:0000 0A\n"), ElementsAre());
  std::string text =
      "st rem_address local_address\n"
      "01 0100007F:0050 0200007F:1F90\n"
      "01 0100007F:00050 0200007F:1F90\n"  // five-digit port
      "01 100007F:0050 0200007F:1F90\n"    // seven-digit address
      "1 0100007F:0050 0200007F:1F90\n"    // one-digit state
      "01 0100007F-0050 0200007F:1F90\n"   // no colon
      "01 0100007F:0050\n"                 // cut short
      "01 0000000000000000FFFF0000:0050 0200007F:1F90\n";
  EXPECT_THAT(platform::parseSocketTable(text),
              ElementsAre(SocketRow{ipv4(127, 0, 0, 2, 8080), ipv4(127, 0, 0, 1, 80), established}));
}

TEST(RouteTableTest, RecordedTablesGiveTheUpDefaultRouteWithTheLowestMetric) {
  // The host has one default route; the laptop has one that is not up (metric 0), metrics 600 and 100,
  // and a second route of metric 100 after the first.
  EXPECT_EQ(readPrimaryInterface(networktest::fixture("host")), "eth0");
  EXPECT_EQ(readPrimaryInterface(networktest::fixture("laptop")), "enp0s31f6");
  EXPECT_FALSE(readPrimaryInterface(networktest::fixture("no-such-tree")).has_value());
}

TEST(RouteTableTest, OnlyWellFormedRowsWithZeroDestinationAndMaskAreDefaultRoutes) {
  const std::string header =
      "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";
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
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(platform::parsePrimaryInterface(text), expected) << text;
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

// The flag values differ between platforms; the callers pass Linux's.
static_assert(NI_NUMERICHOST == 1 && NI_NUMERICSERV == 2);

sockaddr_in address(const char* text, std::uint16_t port) {
  sockaddr_in result{};
  result.sin_family = AF_INET;
  result.sin_port = htons(port);
  ::inet_pton(AF_INET, text, &result.sin_addr);
  return result;
}

// Host names come from /etc/hosts (127.0.0.1 is "localhost" on Debian), services from /etc/services; an
// unknown flag bit makes getnameinfo fail and both texts empty. No row asks a name server.
TEST(NameResolverTest, NamesFromTheHostsAndServicesFilesOrNumeric) {
  const struct {
    const char* address;
    std::uint16_t port;
    int flags;
    const char* host;
    const char* service;
  } cases[] = {{"127.0.0.1", 80, 0, "localhost", "http"},
               {"127.0.0.1", 443, NI_NUMERICHOST | NI_NUMERICSERV, "127.0.0.1", "443"},
               {"127.0.0.1", 80, 0x40000000, "", ""}};
  const auto& resolver = *platform::NameResolver::live();
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.address) + ":" + std::to_string(c.port));
    EXPECT_EQ(resolver.hostName(address(c.address, c.port), c.flags), c.host);
    EXPECT_EQ(resolver.serviceName(address(c.address, c.port), c.flags), c.service);
  }
}

TEST(Utf8TextTest, ValidityAndRepair) {
  for (const char* valid : {"", "eth0", "caf\xC3\xA9 \xF0\x9F\x93\xB6"})
    EXPECT_TRUE(platform::isValidUtf8(valid)) << valid;
  // Cut short, an overlong "/", a surrogate, above U+10FFFF.
  for (const char* invalid : {"\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"})
    EXPECT_FALSE(platform::isValidUtf8(invalid)) << invalid;
  using platform::repairedUtf8;
  EXPECT_EQ(repairedUtf8("caf\xC3\xA9"), "caf\xC3\xA9");
  // Each maximal ill-formed part becomes one U+FFFD: "\xE2\x82" is a cut-off three-byte sequence.
  EXPECT_EQ(repairedUtf8("a\xE2\x82z\xFF"), "a\xEF\xBF\xBDz\xEF\xBF\xBD");
  EXPECT_EQ(repairedUtf8(std::string_view("a\0b", 3)), std::string("a\0b", 3));
}

}  // namespace
