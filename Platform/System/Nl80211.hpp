#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Platform/System/WirelessInterface.hpp"

struct nlmsghdr;

namespace platform::nl80211 {

// Wi-Fi facts through nl80211, the generic-netlink interface of the kernel's wireless drivers (cfg80211).
// The parsers take one reply message as the netlink layer delivers it (its length within the bytes
// received) and check every attribute's size before reading it: damaged replies give absent facts.

// What a reply to NL80211_CMD_GET_INTERFACE tells: the interface and, while associated, the network name
// (ill-formed UTF-8 repaired). Absent without an interface index and name.
struct InterfaceReply {
  std::uint32_t index = 0;
  std::string name;
  std::optional<std::string> networkName;

  bool operator==(const InterfaceReply&) const = default;
};
std::optional<InterfaceReply> parseInterface(const nlmsghdr* message);

// What a reply to NL80211_CMD_GET_STATION tells of the station (the access point, for a client): the
// signal in dBm and the transmit bit rate in Mbit/s.
struct StationReply {
  std::optional<int> signal;
  std::optional<double> transmitRate;

  bool operator==(const StationReply&) const = default;
};
StationReply parseStation(const nlmsghdr* message);

// The noise in dBm from a reply to NL80211_CMD_GET_SURVEY, when it is about the channel in use.
std::optional<int> parseSurveyNoise(const nlmsghdr* message);

// The wireless interfaces of the calling thread's network namespace with their facts, asked of the kernel
// now; empty when nl80211 is missing or cannot be asked.
std::vector<WirelessInterface> readInterfaces();

}  // namespace platform::nl80211
