// nl80211 replies built with libnl's message builder, as the kernel sends them, read back by the parsers;
// then damaged at random.
#include <gtest/gtest.h>
#include <linux/nl80211.h>
#include <netlink/attr.h>
#include <netlink/genl/genl.h>
#include <netlink/msg.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "Platform/System/NetworkPlatform.hpp"
#include "Platform/System/Nl80211.hpp"

namespace platform::nl80211 {
namespace {

// The bytes of one reply to `command` with the attributes `fill` puts, in memory aligned for a header.
std::vector<std::uint32_t> reply(std::uint8_t command, const std::function<void(nl_msg*)>& fill) {
  nl_msg* message = nlmsg_alloc();
  genlmsg_put(message, 0, 1, 0x1c, 0, NLM_F_MULTI, command, 1);
  fill(message);
  const nlmsghdr* header = nlmsg_hdr(message);
  std::vector<std::uint32_t> words((header->nlmsg_len + 3) / 4);
  std::memcpy(words.data(), header, header->nlmsg_len);
  nlmsg_free(message);
  return words;
}

const nlmsghdr* header(const std::vector<std::uint32_t>& words) {
  return reinterpret_cast<const nlmsghdr*>(words.data());
}

std::vector<std::uint32_t> interfaceReply(const std::string& ssid) {
  return reply(NL80211_CMD_NEW_INTERFACE, [&](nl_msg* message) {
    nla_put_u32(message, NL80211_ATTR_IFINDEX, 3);
    nla_put_string(message, NL80211_ATTR_IFNAME, "wlan0");
    if (!ssid.empty()) nla_put(message, NL80211_ATTR_SSID, static_cast<int>(ssid.size()), ssid.data());
  });
}

// A station with a signal and a transmit rate in the 16-bit (`bits` 16) or 32-bit attribute.
std::vector<std::uint32_t> stationReply(int bits, std::uint32_t rate) {
  return reply(NL80211_CMD_NEW_STATION, [&](nl_msg* message) {
    nlattr* station = nla_nest_start(message, NL80211_ATTR_STA_INFO);
    nla_put_u8(message, NL80211_STA_INFO_SIGNAL, static_cast<std::uint8_t>(-51));
    nlattr* bitrate = nla_nest_start(message, NL80211_STA_INFO_TX_BITRATE);
    if (bits == 16) nla_put_u16(message, NL80211_RATE_INFO_BITRATE, static_cast<std::uint16_t>(rate));
    if (bits == 32) nla_put_u32(message, NL80211_RATE_INFO_BITRATE32, rate);
    nla_nest_end(message, bitrate);
    nla_nest_end(message, station);
  });
}

std::vector<std::uint32_t> surveyReply(bool inUse, int noise) {
  return reply(NL80211_CMD_NEW_SURVEY_RESULTS, [&](nl_msg* message) {
    nlattr* survey = nla_nest_start(message, NL80211_ATTR_SURVEY_INFO);
    nla_put_u8(message, NL80211_SURVEY_INFO_NOISE, static_cast<std::uint8_t>(noise));
    if (inUse) nla_put_flag(message, NL80211_SURVEY_INFO_IN_USE);
    nla_nest_end(message, survey);
  });
}

TEST(Nl80211Test, RepliesGiveTheInterfaceItsNetworkTheSignalBitRateAndNoiseInUse) {
  EXPECT_EQ(parseInterface(header(interfaceReply("Home"))), (InterfaceReply{3, "wlan0", "Home"}));
  EXPECT_EQ(parseInterface(header(interfaceReply(""))), (InterfaceReply{3, "wlan0", std::nullopt}));
  EXPECT_EQ(parseInterface(header(interfaceReply("Caf\xe9"))).value().networkName, "Caf\xef\xbf\xbd");
  const auto nameless =
      reply(NL80211_CMD_NEW_INTERFACE, [](nl_msg* m) { nla_put_u32(m, NL80211_ATTR_IFINDEX, 3); });
  EXPECT_FALSE(parseInterface(header(nameless)).has_value());

  EXPECT_EQ(parseStation(header(stationReply(32, 8667))), (StationReply{-51, 866.7}));
  EXPECT_EQ(parseStation(header(stationReply(16, 540))), (StationReply{-51, 54.0}));
  EXPECT_EQ(parseStation(header(stationReply(0, 0))), (StationReply{-51, std::nullopt}));
  EXPECT_EQ(parseStation(header(reply(NL80211_CMD_NEW_STATION, [](nl_msg*) {}))), StationReply{});

  // Only the survey of the channel in use gives the noise.
  EXPECT_EQ(parseSurveyNoise(header(surveyReply(true, -92))), -92);
  EXPECT_FALSE(parseSurveyNoise(header(surveyReply(false, -80))));
}

TEST(Nl80211Test, DamagedRepliesAreReadWithoutHarm) {
  const std::vector<std::vector<std::uint32_t>> replies = {interfaceReply("Home"), stationReply(32, 8667),
                                                           surveyReply(true, -92)};
  std::mt19937 random(7);
  for (int round = 0; round < 20000; ++round) {
    std::vector<std::uint32_t> damaged = replies[round % replies.size()];
    auto* bytes = reinterpret_cast<unsigned char*>(damaged.data());
    std::size_t length = header(damaged)->nlmsg_len;
    for (int change = 0; change <= round % 5; ++change)
      bytes[NLMSG_HDRLEN + random() % (length - NLMSG_HDRLEN)] = static_cast<unsigned char>(random());
    // Cut short, as a message the netlink layer framed at fewer bytes; held in memory that ends where the
    // message ends, so that AddressSanitizer sees any read past it.
    if (round % 3 == 0) length = NLMSG_HDRLEN + random() % (length - NLMSG_HDRLEN + 1);
    reinterpret_cast<nlmsghdr*>(bytes)->nlmsg_len = static_cast<std::uint32_t>(length);
    const std::unique_ptr<unsigned char[]> exact(new unsigned char[length]);
    std::memcpy(exact.get(), bytes, length);
    const auto* message = reinterpret_cast<const nlmsghdr*>(exact.get());
    if (const auto interface = parseInterface(message)) {
      EXPECT_FALSE(interface->name.empty());
    }
    parseStation(message);
    parseSurveyNoise(message);
  }
}

TEST(Nl80211Test, AMachineWithoutWirelessDevicesReportsNoWiFiAndNoWiFiKind) {
  if (std::filesystem::exists("/sys/class/ieee80211")) GTEST_SKIP() << "this machine has wireless devices";
  const auto live = NetworkPlatform::live();
  EXPECT_TRUE(live->wirelessInterfaces().empty());
  for (const auto& interface : live->systemInterfaces(true).value_or(std::vector<SystemInterface>{}))
    EXPECT_NE(interface.typeText, "IEEE80211") << interface.name;
  EXPECT_TRUE(readInterfaces().empty()) << "nl80211 answers without a wireless device";
}

}  // namespace
}  // namespace platform::nl80211
