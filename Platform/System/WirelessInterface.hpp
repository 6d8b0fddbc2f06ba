#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// The Wi-Fi facts of one wireless interface.
struct WirelessInterface {
  std::string name;
  // Noise and received signal strength in dBm.
  std::optional<int> noise;
  std::optional<int> rssi;
  // Transmit rate in Mbit/s.
  std::optional<double> transmitRate;
  std::optional<std::string> networkName;
  // The security mode as the platform numbers it, 0 for none. Linux offers no simple source for it, so the
  // live readers leave it absent.
  std::optional<std::int64_t> security;

  bool operator==(const WirelessInterface&) const = default;
};

}  // namespace platform
