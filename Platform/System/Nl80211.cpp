#include "Platform/System/Nl80211.hpp"

#include <linux/nl80211.h>
#include <net/if.h>
#include <netlink/attr.h>
#include <netlink/genl/ctrl.h>
#include <netlink/genl/genl.h>
#include <netlink/msg.h>
#include <netlink/netlink.h>

#include <array>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <utility>

#include "Platform/System/Utf8Text.hpp"

namespace platform::nl80211 {

namespace {

template <std::size_t size>
using Policy = std::array<nla_policy, size>;

template <std::size_t size>
Policy<size> policyOf(std::initializer_list<std::pair<int, std::uint16_t>> kinds,
                      std::initializer_list<std::pair<int, std::uint16_t>> maximumLengths = {}) {
  Policy<size> policy{};
  for (auto [attribute, kind] : kinds) policy[attribute].type = kind;
  for (auto [attribute, length] : maximumLengths) policy[attribute].maxlen = length;
  return policy;
}

// The attributes read here and their kinds; libnl refuses a message with an attribute shorter than its
// kind or longer than its maximum, so the getters below never read past one.
const Policy<NL80211_ATTR_MAX + 1> messagePolicy =
    policyOf<NL80211_ATTR_MAX + 1>({{NL80211_ATTR_IFINDEX, NLA_U32},
                                    {NL80211_ATTR_STA_INFO, NLA_NESTED},
                                    {NL80211_ATTR_SURVEY_INFO, NLA_NESTED}},
                                   {{NL80211_ATTR_IFNAME, IFNAMSIZ}, {NL80211_ATTR_SSID, 32}});
const Policy<NL80211_STA_INFO_MAX + 1> stationPolicy = policyOf<NL80211_STA_INFO_MAX + 1>(
    {{NL80211_STA_INFO_SIGNAL, NLA_U8}, {NL80211_STA_INFO_TX_BITRATE, NLA_NESTED}});
const Policy<NL80211_RATE_INFO_MAX + 1> ratePolicy = policyOf<NL80211_RATE_INFO_MAX + 1>(
    {{NL80211_RATE_INFO_BITRATE, NLA_U16}, {NL80211_RATE_INFO_BITRATE32, NLA_U32}});
const Policy<NL80211_SURVEY_INFO_MAX + 1> surveyPolicy = policyOf<NL80211_SURVEY_INFO_MAX + 1>(
    {{NL80211_SURVEY_INFO_NOISE, NLA_U8}, {NL80211_SURVEY_INFO_IN_USE, NLA_FLAG}});

using Attributes = std::array<nlattr*, NL80211_ATTR_MAX + 1>;

// The attributes of a message; absent when the message or an attribute is not well formed.
std::optional<Attributes> attributesOf(const nlmsghdr* message) {
  Attributes attributes{};
  if (genlmsg_parse(const_cast<nlmsghdr*>(message), 0, attributes.data(), NL80211_ATTR_MAX,
                    messagePolicy.data()) < 0) {
    return std::nullopt;
  }
  return attributes;
}

template <std::size_t size>
bool parseNested(std::array<nlattr*, size>& nested, nlattr* attribute, const Policy<size>& policy) {
  return attribute != nullptr &&
         nla_parse_nested(nested.data(), static_cast<int>(size - 1), attribute, policy.data()) == 0;
}

std::string_view bytesOf(const nlattr* attribute) {
  return {static_cast<const char*>(nla_data(attribute)), static_cast<std::size_t>(nla_len(attribute))};
}

// A dBm level, which nl80211 sends as a signed byte.
int decibels(nlattr* attribute) { return static_cast<std::int8_t>(nla_get_u8(attribute)); }

}  // namespace

std::optional<InterfaceReply> parseInterface(const nlmsghdr* message) {
  const std::optional<Attributes> attributes = attributesOf(message);
  if (!attributes || (*attributes)[NL80211_ATTR_IFINDEX] == nullptr ||
      (*attributes)[NL80211_ATTR_IFNAME] == nullptr) {
    return std::nullopt;
  }
  InterfaceReply reply;
  reply.index = nla_get_u32((*attributes)[NL80211_ATTR_IFINDEX]);
  const std::string_view name = bytesOf((*attributes)[NL80211_ATTR_IFNAME]);
  reply.name = std::string(name.substr(0, name.find('\0')));
  if (reply.name.empty()) return std::nullopt;
  if (const nlattr* ssid = (*attributes)[NL80211_ATTR_SSID]; ssid != nullptr && nla_len(ssid) > 0) {
    reply.networkName = repairedUtf8(bytesOf(ssid));
  }
  return reply;
}

StationReply parseStation(const nlmsghdr* message) {
  StationReply reply;
  std::optional<Attributes> attributes = attributesOf(message);
  std::array<nlattr*, NL80211_STA_INFO_MAX + 1> station{};
  if (!attributes || !parseNested(station, (*attributes)[NL80211_ATTR_STA_INFO], stationPolicy)) {
    return reply;
  }
  if (station[NL80211_STA_INFO_SIGNAL] != nullptr) reply.signal = decibels(station[NL80211_STA_INFO_SIGNAL]);
  std::array<nlattr*, NL80211_RATE_INFO_MAX + 1> rate{};
  if (parseNested(rate, station[NL80211_STA_INFO_TX_BITRATE], ratePolicy)) {
    // In units of 100 kbit/s; the 32-bit attribute holds rates the 16-bit one cannot.
    if (rate[NL80211_RATE_INFO_BITRATE32] != nullptr) {
      reply.transmitRate = nla_get_u32(rate[NL80211_RATE_INFO_BITRATE32]) / 10.0;
    } else if (rate[NL80211_RATE_INFO_BITRATE] != nullptr) {
      reply.transmitRate = nla_get_u16(rate[NL80211_RATE_INFO_BITRATE]) / 10.0;
    }
  }
  return reply;
}

std::optional<int> parseSurveyNoise(const nlmsghdr* message) {
  std::optional<Attributes> attributes = attributesOf(message);
  std::array<nlattr*, NL80211_SURVEY_INFO_MAX + 1> survey{};
  if (!attributes || !parseNested(survey, (*attributes)[NL80211_ATTR_SURVEY_INFO], surveyPolicy) ||
      survey[NL80211_SURVEY_INFO_IN_USE] == nullptr || survey[NL80211_SURVEY_INFO_NOISE] == nullptr) {
    return std::nullopt;
  }
  return decibels(survey[NL80211_SURVEY_INFO_NOISE]);
}

namespace {

using Socket = std::unique_ptr<nl_sock, decltype(&nl_socket_free)>;
using Message = std::unique_ptr<nl_msg, decltype(&nlmsg_free)>;

// Sends a dump request of `command` (for one interface when `index` is given) and calls `reply` with each
// reply message until the kernel says it is done; false when the request fails.
bool dump(nl_sock* socket, int family, std::uint8_t command, std::optional<std::uint32_t> index,
          const std::function<void(const nlmsghdr*)>& reply) {
  Message request(nlmsg_alloc(), nlmsg_free);
  if (!request ||
      genlmsg_put(request.get(), NL_AUTO_PORT, NL_AUTO_SEQ, family, 0, NLM_F_DUMP, command, 0) == nullptr ||
      (index && nla_put_u32(request.get(), NL80211_ATTR_IFINDEX, *index) < 0)) {
    return false;
  }
  const auto onValid = [](nl_msg* message, void* handler) {
    (*static_cast<const std::function<void(const nlmsghdr*)>*>(handler))(nlmsg_hdr(message));
    return static_cast<int>(NL_OK);
  };
  void* handler = const_cast<std::function<void(const nlmsghdr*)>*>(&reply);
  if (nl_socket_modify_cb(socket, NL_CB_VALID, NL_CB_CUSTOM, onValid, handler) < 0 ||
      nl_send_auto(socket, request.get()) < 0) {
    return false;
  }
  return nl_recvmsgs_default(socket) >= 0;
}

}  // namespace

std::vector<WirelessInterface> readInterfaces() {
  Socket socket(nl_socket_alloc(), nl_socket_free);
  if (!socket || genl_connect(socket.get()) < 0) return {};
  const int family = genl_ctrl_resolve(socket.get(), "nl80211");
  if (family < 0) return {};
  std::vector<InterfaceReply> interfaces;
  dump(socket.get(), family, NL80211_CMD_GET_INTERFACE, std::nullopt, [&](const nlmsghdr* message) {
    if (std::optional<InterfaceReply> reply = parseInterface(message)) {
      interfaces.push_back(std::move(*reply));
    }
  });
  std::vector<WirelessInterface> result;
  for (InterfaceReply& interface : interfaces) {
    std::optional<StationReply> station;
    dump(socket.get(), family, NL80211_CMD_GET_STATION, interface.index, [&](const nlmsghdr* message) {
      if (!station) station = parseStation(message);
    });
    std::optional<int> noise;
    dump(socket.get(), family, NL80211_CMD_GET_SURVEY, interface.index, [&](const nlmsghdr* message) {
      if (!noise) noise = parseSurveyNoise(message);
    });
    const StationReply facts = station.value_or(StationReply{});
    result.push_back({std::move(interface.name), noise, facts.signal, facts.transmitRate,
                      std::move(interface.networkName), std::nullopt});
  }
  return result;
}

}  // namespace platform::nl80211
