#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// A network interface as the system describes it to users: its name, its display name and the text of
// its kind.
struct SystemInterface {
  std::string name;
  // The interface alias, when one is set.
  std::optional<std::string> displayName;
  // "IEEE80211" for wireless, "Ethernet" for other Ethernet links, else "Unknown"; absent when the kinds
  // were not asked for.
  std::optional<std::string> typeText;

  bool operator==(const SystemInterface&) const = default;
};

// The kind text of a link: Ethernet hardware is "IEEE80211" when the link is wireless and "Ethernet"
// otherwise, the 802.11 hardware types (monitor-mode links) are "IEEE80211", anything else "Unknown".
std::string_view interfaceTypeText(std::uint16_t hardwareType, bool wireless);

}  // namespace platform
