#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <linux/if_addr.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <net/if_arp.h>

#include <cstring>
#include <map>
#include <random>
#include <sstream>

#include "Platform/System/InterfaceList.hpp"
#include "Platform/System/LinkTable.hpp"
#include "Platform/System/NetworkPathBuilder.hpp"
#include "tests/platform/System/NetworkFixtures.hpp"

using platform::LinkCounters;
using platform::LinkDumpState;
using platform::LinkRecord;
using platform::NetworkPath;
using testing::ElementsAre;

namespace networktest {
namespace {

void appendLink(Bytes& buffer, int index, std::uint16_t type, unsigned flags,
                const std::vector<std::pair<int, Bytes>>& attributes) {
  appendMessage(buffer, RTM_NEWLINK, ifinfomsg{AF_UNSPEC, 0, type, index, flags, 0}, attributes);
}

void appendAddress(Bytes& buffer, int index, std::uint8_t family, std::uint8_t prefix,
                   const std::vector<std::pair<int, Bytes>>& attributes) {
  appendMessage(buffer, RTM_NEWADDR, ifaddrmsg{family, prefix, 0, 0, static_cast<std::uint32_t>(index)},
                attributes);
}

Bytes sampleDump() {
  Bytes dump;
  appendLink(dump, 1, ARPHRD_LOOPBACK, IFF_UP | IFF_LOOPBACK, {{IFLA_IFNAME, raw("lo")}});
  appendLink(dump, 2, ARPHRD_ETHER, IFF_UP,
             {{IFLA_IFNAME, raw("eth0")}, {IFLA_IFALIAS, raw("Uplink to the rack switch")}});
  appendLink(dump, 3, ARPHRD_ETHER, 0, {{IFLA_IFALIAS, raw("")}, {IFLA_IFNAME, raw("veth-a")}});
  appendMessage(dump, NLMSG_DONE, 0);
  return dump;
}

TEST(LinkTableTest, DumpMessagesGiveNamesTypesFlagsAndAliases) {
  std::vector<LinkRecord> links;
  EXPECT_EQ(platform::parseLinkMessages(sampleDump(), links), LinkDumpState::done);
  EXPECT_THAT(
      links,
      ElementsAre(LinkRecord{1, "lo", ARPHRD_LOOPBACK, IFF_UP | IFF_LOOPBACK, std::nullopt, std::nullopt},
                  LinkRecord{2, "eth0", ARPHRD_ETHER, IFF_UP, "Uplink to the rack switch", std::nullopt},
                  LinkRecord{3, "veth-a", ARPHRD_ETHER, 0, std::nullopt, std::nullopt}));
}

// The bytes of an IFLA_STATS64 record with the given byte counters, cut to `size` bytes.
Bytes statistics64(std::uint64_t received, std::uint64_t sent, size_t size = sizeof(rtnl_link_stats64)) {
  rtnl_link_stats64 statistics{};
  statistics.rx_bytes = received;
  statistics.tx_bytes = sent;
  statistics.rx_packets = 99;
  Bytes bytes = raw(statistics);
  bytes.resize(size);
  return bytes;
}

TEST(LinkTableTest, The64BitStatisticsGiveTheByteCountersWhenLongEnough) {
  Bytes dump;
  appendLink(dump, 2, ARPHRD_ETHER, IFF_UP,
             {{IFLA_IFNAME, raw("eth0")}, {IFLA_STATS64, statistics64(5'000'000'000, 7)}});
  // An older, shorter record still holds the byte counters; one cut before them gives none.
  appendLink(dump, 3, ARPHRD_ETHER, 0,
             {{IFLA_IFNAME, raw("eth1")}, {IFLA_STATS64, statistics64(11, 12, 32)}});
  appendLink(dump, 4, ARPHRD_ETHER, 0,
             {{IFLA_IFNAME, raw("eth2")}, {IFLA_STATS64, statistics64(11, 12, 31)}});
  std::vector<LinkRecord> links;
  platform::parseLinkMessages(dump, links);
  ASSERT_EQ(links.size(), 3u);
  EXPECT_EQ(std::tuple(links[0].counters, links[1].counters, links[2].counters),
            std::tuple(LinkCounters{5'000'000'000, 7}, LinkCounters{11, 12}, std::nullopt));
}

TEST(LinkTableTest, AddressMessagesGiveTheLocalAddressElseTheAddress) {
  Bytes dump;
  appendAddress(dump, 2, AF_INET, 0, {{IFA_ADDRESS, addressBytes(AF_INET, "192.0.2.2")}});
  // A point-to-point link: IFA_ADDRESS is the peer, IFA_LOCAL this end.
  appendAddress(
      dump, 3, AF_INET, 0,
      {{IFA_ADDRESS, addressBytes(AF_INET, "10.0.0.2")}, {IFA_LOCAL, addressBytes(AF_INET, "10.0.0.1")}});
  appendAddress(dump, 2, AF_INET6, 0, {{IFA_ADDRESS, addressBytes(AF_INET6, "fe80::fc:ff:fe00:1")}});
  // Another family, an address of the wrong size, none at all: passed over.
  appendAddress(dump, 2, AF_PACKET, 0, {{IFA_ADDRESS, raw("abcde")}});
  appendAddress(dump, 2, AF_INET6, 0, {{IFA_ADDRESS, addressBytes(AF_INET, "192.0.2.9")}});
  appendAddress(dump, 2, AF_INET, 0, {});
  appendMessage(dump, NLMSG_DONE, 0);
  std::vector<platform::AddressRecord> addresses;
  EXPECT_EQ(platform::parseAddressMessages(dump, addresses), LinkDumpState::done);
  EXPECT_THAT(addresses, ElementsAre(platform::AddressRecord{2, AF_INET, "192.0.2.2"},
                                     platform::AddressRecord{3, AF_INET, "10.0.0.1"},
                                     platform::AddressRecord{2, AF_INET6, "fe80::fc:ff:fe00:1"}));
}

TEST(LinkTableTest, PartialBuffersErrorsAndNamelessLinks) {
  Bytes dump;
  appendLink(dump, 4, ARPHRD_ETHER, 0, {{IFLA_IFALIAS, raw("no name")}});
  appendLink(dump, 5, ARPHRD_NONE, IFF_UP, {{IFLA_IFNAME, raw("tun0")}});
  std::vector<LinkRecord> links;
  EXPECT_EQ(platform::parseLinkMessages(dump, links), LinkDumpState::incomplete);
  EXPECT_THAT(links, ElementsAre(LinkRecord{5, "tun0", ARPHRD_NONE, IFF_UP, std::nullopt, std::nullopt}));

  Bytes error;
  appendMessage(error, NLMSG_ERROR, 0);
  EXPECT_EQ(platform::parseLinkMessages(error, links), LinkDumpState::failed);

  // A message that claims more bytes than the buffer holds.
  Bytes overlong = sampleDump();
  std::uint32_t huge = 1 << 20;
  std::memcpy(overlong.data(), &huge, sizeof huge);
  links.clear();
  EXPECT_EQ(platform::parseLinkMessages(overlong, links), LinkDumpState::failed);
  EXPECT_THAT(links, ElementsAre());
}

TEST(LinkTableTest, SurvivesCutAndDamagedMessages) {
  const Bytes whole = sampleDump();
  const std::span<const std::byte> dump = whole;
  for (size_t length = 0; length <= dump.size(); ++length) {
    std::vector<LinkRecord> links;
    platform::parseLinkMessages(dump.first(length), links);
    EXPECT_LE(links.size(), 3u);
  }
  std::mt19937 random(7);
  for (int round = 0; round < 20000; ++round) {
    std::vector<std::byte> damaged(dump.begin(), dump.end());
    for (int flip = 0; flip < 1 + round % 3; ++flip)
      damaged[random() % damaged.size()] = static_cast<std::byte>(random());
    std::vector<LinkRecord> links;
    platform::parseLinkMessages(damaged, links);
    for (const auto& link : links) EXPECT_FALSE(link.name.empty());
  }
}

// Three links (the loopback, one up, one down), their addresses and two default routes.
Bytes pathDump() {
  Bytes buffer;
  appendLink(buffer, 1, 0, IFF_UP | IFF_LOOPBACK, {{IFLA_IFNAME, raw("lo")}});
  appendLink(buffer, 2, 0, IFF_UP, {{IFLA_IFNAME, raw("v0")}});
  appendLink(buffer, 3, 0, 0, {{IFLA_IFNAME, raw("v1")}});
  appendAddress(buffer, 2, AF_INET, 24, {{IFA_LOCAL, addressBytes(AF_INET, "10.0.0.2")}});
  appendAddress(buffer, 2, AF_INET6, 64, {{IFA_ADDRESS, addressBytes(AF_INET6, "fd00::2")}});
  appendAddress(buffer, 1, AF_INET, 8, {{IFA_LOCAL, addressBytes(AF_INET, "127.0.0.1")}});
  const rtmsg route{AF_INET, 0, 0, 0, RT_TABLE_MAIN, RTPROT_BOOT, RT_SCOPE_UNIVERSE, RTN_UNICAST, 0};
  appendMessage(buffer, RTM_NEWROUTE, route,
                {{RTA_OIF, raw(2)}, {RTA_GATEWAY, addressBytes(AF_INET, "10.0.0.1")}});
  appendMessage(buffer, RTM_NEWROUTE, route, {{RTA_OIF, raw(3)}});  // over an interface that is down
  appendMessage(buffer, NLMSG_DONE, 0, {});
  return buffer;
}

TEST(NetworkPathBuilderTest, KeepsUpInterfacesOtherThanLoopbackTheirAddressesAndDefaultRoutes) {
  platform::NetworkPathBuilder builder;
  ASSERT_EQ(builder.add(pathDump(), 1), LinkDumpState::done);
  const NetworkPath expected{{{2, "v0", {"10.0.0.2/24", "fd00::2/64"}}}, {{AF_INET, 2, "10.0.0.1"}}};
  EXPECT_EQ(builder.path(), expected);
  platform::NetworkPathBuilder stale;
  EXPECT_EQ(stale.add(pathDump(), 2), LinkDumpState::incomplete);  // another dump's replies
  EXPECT_EQ(stale.path(), NetworkPath());
}

TEST(NetworkPathBuilderTest, TruncatedAndDamagedBuffersAreReadWithinTheirBounds) {
  const Bytes whole = pathDump();
  std::mt19937 random(11);
  for (std::size_t length = 0; length < whole.size(); ++length) {
    Bytes damaged(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
    for (auto& byte : damaged) byte ^= std::byte(random() % 8 == 0 ? random() : 0);
    platform::NetworkPathBuilder builder;
    EXPECT_NE(builder.add(damaged, 1), LinkDumpState::done) << length;  // the end marker is the last 20 bytes
    builder.path();
  }
}

TEST(InterfaceListTest, LinksComeFirstThenTheAddressesOfKnownLinksWithTheirNamesAndFlags) {
  platform::InterfaceTable table;
  table.links = {
      {2, "eth0", ARPHRD_ETHER, IFF_UP | IFF_BROADCAST, std::nullopt, LinkCounters{5'000'000'000, 7}},
      {3, "ifb0", ARPHRD_ETHER, 0, std::nullopt, std::nullopt}};
  table.addresses = {{2, AF_INET, "192.0.2.2"}, {9, AF_INET, "198.51.100.1"}, {2, AF_INET6, "fe80::1"}};
  const auto entries = platform::interfaceEntries(table);
  EXPECT_EQ(entries,
            (std::vector<platform::InterfaceEntry>{
                {"eth0", AF_PACKET, IFF_UP | IFF_BROADCAST, ARPHRD_ETHER, LinkCounters{5'000'000'000, 7},
                 std::nullopt, std::nullopt, 2},
                {"ifb0", AF_PACKET, 0, ARPHRD_ETHER, std::nullopt, std::nullopt, std::nullopt, 3},
                {"eth0", AF_INET, IFF_UP | IFF_BROADCAST, std::nullopt, std::nullopt, "192.0.2.2", {}, 2},
                {"eth0", AF_INET6, IFF_UP | IFF_BROADCAST, std::nullopt, std::nullopt, "fe80::1", {}, 2}}));

  // Looked up by name: the link entry and the first address of each family.
  const platform::InterfaceIndex index(entries);
  EXPECT_EQ(std::tuple(index.link("eth0"), index.link("ifb0"), index.link("eth9")),
            std::tuple(&entries[0], &entries[1], nullptr));
  EXPECT_EQ(std::tuple(index.firstAddress("eth0", AF_INET), index.firstAddress("eth0", AF_INET6),
                       index.firstAddress("ifb0", AF_INET), index.firstAddress("eth9", AF_INET6)),
            std::tuple("192.0.2.2", "fe80::1", std::nullopt, std::nullopt));
}

// Counters of the live list (the link table's 64-bit ones) lie between /proc/net/dev's read just before and
// just after (busy interfaces move on in between); every link has them. Addresses equal `ip -o addr`'s
// first of each family.
TEST(InterfaceListTest, LiveListAgreesWithProcNetDevAndIpAddr) {
  auto before = procNetDev();
  const auto entries = platform::InterfaceList::live()->entries().value();
  auto after = procNetDev();
  ASSERT_FALSE(before.empty());
  auto between = [](std::uint64_t low, std::uint64_t value, std::uint64_t high) {
    return low <= value && value <= high;
  };
  size_t links = 0;
  for (const auto& entry : entries) {
    if (entry.family != AF_PACKET || !entry.counters) continue;
    ++links;
    ASSERT_TRUE(before.contains(entry.name) && after.contains(entry.name)) << entry.name;
    const LinkCounters &low = before[entry.name], &high = after[entry.name];
    EXPECT_TRUE(between(low.receivedBytes, entry.counters->receivedBytes, high.receivedBytes)) << entry.name;
    EXPECT_TRUE(between(low.sentBytes, entry.counters->sentBytes, high.sentBytes)) << entry.name;
  }
  EXPECT_EQ(links, before.size());

  // "2: eth0    inet 192.0.2.2/24 brd ..." in the kernel's order, as getifaddrs lists them.
  std::map<std::pair<std::string, int>, std::string> firstOfFamily;
  std::istringstream lines(commandOutput("ip -o addr show"));
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string index, name, family, address;
    fields >> index >> name >> family >> address;
    firstOfFamily.try_emplace({name, family == "inet6" ? AF_INET6 : AF_INET},
                              address.substr(0, address.find('/')));
  }
  const platform::InterfaceIndex index(entries);
  for (const auto& [key, address] : firstOfFamily)
    EXPECT_EQ(index.firstAddress(key.first, key.second), address) << key.first;
}

}  // namespace
}  // namespace networktest
