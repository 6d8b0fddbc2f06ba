#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <net/if.h>
#include <net/if_arp.h>

#include <map>
#include <sstream>

#include "Platform/System/InterfaceList.hpp"
#include "tests/platform/System/NetworkFixtures.hpp"

using platform::InterfaceEntry;
using platform::LinkCounters;

namespace {

TEST(InterfaceListTest, LinksComeFirstThenTheAddressesOfKnownLinksWithTheirNamesAndFlags) {
  platform::InterfaceTable table;
  table.links = {
      {2, "eth0", ARPHRD_ETHER, IFF_UP | IFF_BROADCAST, std::nullopt, LinkCounters{5'000'000'000, 7}},
      {3, "ifb0", ARPHRD_ETHER, 0, std::nullopt, std::nullopt}};
  table.addresses = {{2, AF_INET, "192.0.2.2"}, {9, AF_INET, "198.51.100.1"}, {2, AF_INET6, "fe80::1"}};
  EXPECT_EQ(platform::interfaceEntries(table),
            (std::vector<InterfaceEntry>{
                {"eth0", AF_PACKET, IFF_UP | IFF_BROADCAST, ARPHRD_ETHER, LinkCounters{5'000'000'000, 7},
                 std::nullopt},
                {"ifb0", AF_PACKET, 0, ARPHRD_ETHER, std::nullopt, std::nullopt},
                {"eth0", AF_INET, IFF_UP | IFF_BROADCAST, std::nullopt, std::nullopt, "192.0.2.2"},
                {"eth0", AF_INET6, IFF_UP | IFF_BROADCAST, std::nullopt, std::nullopt, "fe80::1"}}));
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
