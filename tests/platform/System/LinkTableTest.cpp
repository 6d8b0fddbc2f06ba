#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <linux/if_addr.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <net/if_arp.h>

#include <cstring>
#include <initializer_list>
#include <random>
#include <set>
#include <sstream>

#include "Platform/System/LinkTable.hpp"
#include "tests/platform/System/NetworkFixtures.hpp"

using platform::LinkDumpState;
using platform::LinkRecord;
using testing::ElementsAre;

namespace {

// Writes netlink messages as the kernel lays them out, every length and padding included.
class MessageWriter {
 public:
  // Attributes are texts, written with their closing zero byte; `raw` ones are written as they are.
  void link(int index, std::uint16_t type, unsigned flags,
            std::initializer_list<std::pair<int, std::string>> attributes,
            std::initializer_list<std::pair<int, std::string>> raw = {}) {
    size_t start = begin(RTM_NEWLINK);
    ifinfomsg info{};
    info.ifi_index = index;
    info.ifi_type = type;
    info.ifi_flags = flags;
    append(&info, sizeof info);
    for (const auto& [kind, text] : attributes) {
      rtattr attribute{static_cast<unsigned short>(RTA_LENGTH(text.size() + 1)),
                       static_cast<unsigned short>(kind)};
      append(&attribute, sizeof attribute);
      append(text.c_str(), text.size() + 1);
      pad();
    }
    rawAttributes(raw);
    end(start);
  }
  // An RTM_NEWADDR message with its attributes written as they are.
  void address(int index, std::uint8_t family, std::initializer_list<std::pair<int, std::string>> raw) {
    size_t start = begin(RTM_NEWADDR);
    ifaddrmsg info{};
    info.ifa_family = family;
    info.ifa_index = static_cast<std::uint32_t>(index);
    append(&info, sizeof info);
    rawAttributes(raw);
    end(start);
  }
  void message(std::uint16_t type) { end(begin(type)); }
  std::span<const std::byte> bytes() const { return bytes_; }
  std::vector<std::byte>& buffer() { return bytes_; }

 private:
  size_t begin(std::uint16_t type) {
    size_t start = bytes_.size();
    nlmsghdr header{};
    header.nlmsg_type = type;
    append(&header, sizeof header);
    return start;
  }
  void end(size_t start) {
    auto length = static_cast<std::uint32_t>(bytes_.size() - start);
    std::memcpy(bytes_.data() + start, &length, sizeof length);
    pad();
  }
  void append(const void* data, size_t size) {
    auto* first = static_cast<const std::byte*>(data);
    bytes_.insert(bytes_.end(), first, first + size);
  }
  void pad() { bytes_.resize((bytes_.size() + 3) / 4 * 4); }
  void rawAttributes(std::initializer_list<std::pair<int, std::string>> raw) {
    for (const auto& [kind, bytes] : raw) {
      rtattr attribute{static_cast<unsigned short>(RTA_LENGTH(bytes.size())),
                       static_cast<unsigned short>(kind)};
      append(&attribute, sizeof attribute);
      append(bytes.data(), bytes.size());
      pad();
    }
  }

  std::vector<std::byte> bytes_;
};

MessageWriter sampleDump() {
  MessageWriter writer;
  writer.link(1, ARPHRD_LOOPBACK, IFF_UP | IFF_LOOPBACK, {{IFLA_IFNAME, "lo"}});
  writer.link(2, ARPHRD_ETHER, IFF_UP, {{IFLA_IFNAME, "eth0"}, {IFLA_IFALIAS, "Uplink to the rack switch"}});
  writer.link(3, ARPHRD_ETHER, 0, {{IFLA_IFALIAS, ""}, {IFLA_IFNAME, "veth-a"}});
  writer.message(NLMSG_DONE);
  return writer;
}

TEST(LinkTableTest, DumpMessagesGiveNamesTypesFlagsAndAliases) {
  std::vector<LinkRecord> links;
  EXPECT_EQ(platform::parseLinkMessages(sampleDump().bytes(), links), LinkDumpState::done);
  EXPECT_THAT(
      links,
      ElementsAre(LinkRecord{1, "lo", ARPHRD_LOOPBACK, IFF_UP | IFF_LOOPBACK, std::nullopt, std::nullopt},
                  LinkRecord{2, "eth0", ARPHRD_ETHER, IFF_UP, "Uplink to the rack switch", std::nullopt},
                  LinkRecord{3, "veth-a", ARPHRD_ETHER, 0, std::nullopt, std::nullopt}));
}

// The bytes of an IFLA_STATS64 record with the given byte counters, cut to `size` bytes.
std::string statistics64(std::uint64_t received, std::uint64_t sent,
                         size_t size = sizeof(rtnl_link_stats64)) {
  rtnl_link_stats64 statistics{};
  statistics.rx_bytes = received;
  statistics.tx_bytes = sent;
  statistics.rx_packets = 99;
  return std::string(reinterpret_cast<const char*>(&statistics), size);
}

TEST(LinkTableTest, The64BitStatisticsGiveTheByteCountersWhenLongEnough) {
  MessageWriter writer;
  writer.link(2, ARPHRD_ETHER, IFF_UP, {{IFLA_IFNAME, "eth0"}},
              {{IFLA_STATS64, statistics64(5'000'000'000, 7)}});
  // An older, shorter record still holds the byte counters; one cut before them gives none.
  writer.link(3, ARPHRD_ETHER, 0, {{IFLA_IFNAME, "eth1"}}, {{IFLA_STATS64, statistics64(11, 12, 32)}});
  writer.link(4, ARPHRD_ETHER, 0, {{IFLA_IFNAME, "eth2"}}, {{IFLA_STATS64, statistics64(11, 12, 31)}});
  std::vector<LinkRecord> links;
  platform::parseLinkMessages(writer.bytes(), links);
  ASSERT_EQ(links.size(), 3u);
  EXPECT_EQ(links[0].counters, (platform::LinkCounters{5'000'000'000, 7}));
  EXPECT_EQ(links[1].counters, (platform::LinkCounters{11, 12}));
  EXPECT_FALSE(links[2].counters.has_value());
}

// The bytes of an address of `family` in its text form.
std::string addressBytes(int family, const char* text) {
  unsigned char bytes[16] = {};
  ::inet_pton(family, text, bytes);
  return std::string(reinterpret_cast<const char*>(bytes), family == AF_INET ? 4 : 16);
}

TEST(LinkTableTest, AddressMessagesGiveTheLocalAddressElseTheAddress) {
  MessageWriter writer;
  writer.address(2, AF_INET, {{IFA_ADDRESS, addressBytes(AF_INET, "192.0.2.2")}});
  // A point-to-point link: IFA_ADDRESS is the peer, IFA_LOCAL this end.
  writer.address(
      3, AF_INET,
      {{IFA_ADDRESS, addressBytes(AF_INET, "10.0.0.2")}, {IFA_LOCAL, addressBytes(AF_INET, "10.0.0.1")}});
  writer.address(2, AF_INET6, {{IFA_ADDRESS, addressBytes(AF_INET6, "fe80::fc:ff:fe00:1")}});
  // Another family, an address of the wrong size, none at all: passed over.
  writer.address(2, AF_PACKET, {{IFA_ADDRESS, "abcdef"}});
  writer.address(2, AF_INET6, {{IFA_ADDRESS, addressBytes(AF_INET, "192.0.2.9")}});
  writer.address(2, AF_INET, {});
  writer.message(NLMSG_DONE);
  std::vector<platform::AddressRecord> addresses;
  EXPECT_EQ(platform::parseAddressMessages(writer.bytes(), addresses), LinkDumpState::done);
  EXPECT_THAT(addresses, ElementsAre(platform::AddressRecord{2, AF_INET, "192.0.2.2"},
                                     platform::AddressRecord{3, AF_INET, "10.0.0.1"},
                                     platform::AddressRecord{2, AF_INET6, "fe80::fc:ff:fe00:1"}));
}

TEST(LinkTableTest, PartialBuffersErrorsAndNamelessLinks) {
  MessageWriter writer;
  writer.link(4, ARPHRD_ETHER, 0, {{IFLA_IFALIAS, "no name"}});
  writer.link(5, ARPHRD_NONE, IFF_UP, {{IFLA_IFNAME, "tun0"}});
  std::vector<LinkRecord> links;
  EXPECT_EQ(platform::parseLinkMessages(writer.bytes(), links), LinkDumpState::incomplete);
  EXPECT_THAT(links, ElementsAre(LinkRecord{5, "tun0", ARPHRD_NONE, IFF_UP, std::nullopt, std::nullopt}));

  MessageWriter error;
  error.message(NLMSG_ERROR);
  EXPECT_EQ(platform::parseLinkMessages(error.bytes(), links), LinkDumpState::failed);

  // A message that claims more bytes than the buffer holds.
  MessageWriter overlong = sampleDump();
  std::uint32_t huge = 1 << 20;
  std::memcpy(overlong.buffer().data(), &huge, sizeof huge);
  links.clear();
  EXPECT_EQ(platform::parseLinkMessages(overlong.bytes(), links), LinkDumpState::failed);
  EXPECT_THAT(links, ElementsAre());
}

TEST(LinkTableTest, SurvivesCutAndDamagedMessages) {
  MessageWriter writer = sampleDump();
  std::span<const std::byte> dump = writer.bytes();
  for (size_t length = 0; length <= dump.size(); ++length) {
    std::vector<LinkRecord> links;
    platform::parseLinkMessages(dump.first(length), links);
    EXPECT_LE(links.size(), 3u);
  }
  std::mt19937 random(7);
  for (int round = 0; round < 20000; ++round) {
    std::vector<std::byte> damaged(dump.begin(), dump.end());
    for (int flip = 0; flip < 1 + round % 3; ++flip) {
      damaged[random() % damaged.size()] = static_cast<std::byte>(random());
    }
    std::vector<LinkRecord> links;
    platform::parseLinkMessages(damaged, links);
    for (const auto& link : links) EXPECT_FALSE(link.name.empty());
  }
}

TEST(LinkTableTest, LiveDumpListsTheLinksThatIpLinkShows) {
  auto links = platform::readLinkTable();
  ASSERT_TRUE(links.has_value());
  std::set<std::string> names;
  for (const auto& link : *links) {
    names.insert(link.name);
    EXPECT_EQ(static_cast<unsigned>(link.index), ::if_nametoindex(link.name.c_str())) << link.name;
  }
  std::set<std::string> expected;
  std::istringstream lines(networktest::commandOutput("ip -o link show"));
  // "2: eth0: <BROADCAST,...> ..." or "3: v0@v1: ..." for a link with a peer.
  for (std::string line; std::getline(lines, line);) {
    const size_t start = line.find(": ") + 2;
    const std::string name = line.substr(start, line.find(": ", start) - start);
    expected.insert(name.substr(0, name.find('@')));
  }
  EXPECT_EQ(names, expected);
}

}  // namespace
