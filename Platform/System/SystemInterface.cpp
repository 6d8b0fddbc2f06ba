#include "Platform/System/SystemInterface.hpp"

#include <net/if_arp.h>

namespace platform {

std::string_view interfaceTypeText(std::uint16_t hardwareType, bool wireless) {
  switch (hardwareType) {
    case ARPHRD_ETHER: return wireless ? "IEEE80211" : "Ethernet";
    case ARPHRD_IEEE80211:
    case ARPHRD_IEEE80211_PRISM:
    case ARPHRD_IEEE80211_RADIOTAP: return "IEEE80211";
    default: return "Unknown";
  }
}

}  // namespace platform
