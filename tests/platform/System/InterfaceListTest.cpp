#include "Platform/System/InterfaceList.hpp"

#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <linux/if_link.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <net/if_arp.h>

#include <map>
#include <sstream>

#include "tests/platform/System/NetworkFixtures.hpp"

using platform::InterfaceEntry;
using platform::LinkCounters;

namespace {

ifaddrs node(const char* name, sockaddr* address, unsigned flags) {
  ifaddrs entry{};
  entry.ifa_name = const_cast<char*>(name);
  entry.ifa_addr = address;
  entry.ifa_flags = flags;
  return entry;
}

TEST(InterfaceListTest, EntriesOfEachFamily) {
  sockaddr_ll link{};
  link.sll_family = AF_PACKET;
  link.sll_hatype = ARPHRD_ETHER;
  auto packet =
      platform::interfaceEntry(node("eth0", reinterpret_cast<sockaddr*>(&link), IFF_UP | IFF_BROADCAST));
  EXPECT_EQ(packet, (InterfaceEntry{"eth0", AF_PACKET, IFF_UP | IFF_BROADCAST, ARPHRD_ETHER, std::nullopt,
                                    std::nullopt}));

  sockaddr_in v4{};
  v4.sin_family = AF_INET;
  ::inet_pton(AF_INET, "192.0.2.2", &v4.sin_addr);
  EXPECT_EQ(platform::interfaceEntry(node("eth0", reinterpret_cast<sockaddr*>(&v4), IFF_UP)),
            (InterfaceEntry{"eth0", AF_INET, IFF_UP, std::nullopt, std::nullopt, "192.0.2.2"}));

  // A link-local address keeps no "%eth0" scope suffix.
  sockaddr_in6 v6{};
  v6.sin6_family = AF_INET6;
  v6.sin6_scope_id = 2;
  ::inet_pton(AF_INET6, "fe80::fc:ff:fe00:1", &v6.sin6_addr);
  EXPECT_EQ(platform::interfaceEntry(node("eth0", reinterpret_cast<sockaddr*>(&v6), IFF_UP))->address,
            "fe80::fc:ff:fe00:1");

  EXPECT_FALSE(platform::interfaceEntry(node("eth0", nullptr, IFF_UP)).has_value());
  EXPECT_FALSE(platform::interfaceEntry(node(nullptr, reinterpret_cast<sockaddr*>(&v4), IFF_UP)).has_value());
}

TEST(InterfaceListTest, FirstAddressOfAFamily) {
  std::vector<InterfaceEntry> entries = {
      {"eth0", AF_PACKET, IFF_UP, ARPHRD_ETHER, LinkCounters{}, std::nullopt},
      {"eth1", AF_INET, IFF_UP, std::nullopt, std::nullopt, "198.51.100.1"},
      {"eth0", AF_INET6, IFF_UP, std::nullopt, std::nullopt, "fd00::2"},
      {"eth0", AF_INET, IFF_UP, std::nullopt, std::nullopt, "192.0.2.2"},
      {"eth0", AF_INET, IFF_UP, std::nullopt, std::nullopt, "192.0.2.3"},
      {"eth0", AF_INET6, IFF_UP, std::nullopt, std::nullopt, "fe80::1"},
  };
  EXPECT_EQ(platform::firstAddress(entries, "eth0", AF_INET), "192.0.2.2");
  EXPECT_EQ(platform::firstAddress(entries, "eth0", AF_INET6), "fd00::2");
  EXPECT_EQ(platform::firstAddress(entries, "eth1", AF_INET), "198.51.100.1");
  EXPECT_FALSE(platform::firstAddress(entries, "eth1", AF_INET6).has_value());
  EXPECT_FALSE(platform::firstAddress(entries, "eth", AF_INET).has_value());
}

// Counters of the live list (the link table's 64-bit ones) lie between /proc/net/dev's read just before and
// just after (busy interfaces move on in between); every link has them. Addresses equal `ip -o addr`'s
// first of each family.
TEST(InterfaceListTest, LiveListAgreesWithProcNetDevAndIpAddr) {
  auto before = networktest::procNetDev();
  auto entries = platform::InterfaceList::live()->entries();
  auto after = networktest::procNetDev();
  ASSERT_TRUE(entries.has_value());
  ASSERT_FALSE(before.empty());
  auto between = [](std::uint64_t low, std::uint64_t value, std::uint64_t high) {
    return low <= value && value <= high;
  };
  size_t links = 0;
  for (const auto& entry : *entries) {
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
  std::istringstream lines(networktest::commandOutput("ip -o addr show"));
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string index, name, family, address;
    fields >> index >> name >> family >> address;
    firstOfFamily.try_emplace({name, family == "inet6" ? AF_INET6 : AF_INET},
                              address.substr(0, address.find('/')));
  }
  for (const auto& [key, address] : firstOfFamily) {
    EXPECT_EQ(platform::firstAddress(*entries, key.first, key.second), address) << key.first;
  }
}

}  // namespace
