#pragma once

#include <optional>
#include <string>

namespace platform {

// The wireless-extension requests (ioctls) for one interface at a time, on a datagram socket of the calling
// thread's network namespace, opened with the object and closed with it. Every request on an interface that
// is not wireless, or unknown, fails and gives false or absent.
class WirelessRequests {
 public:
  WirelessRequests();
  ~WirelessRequests();
  WirelessRequests(const WirelessRequests&) = delete;
  WirelessRequests& operator=(const WirelessRequests&) = delete;

  // True when the interface answers SIOCGIWNAME, which only wireless interfaces do.
  bool isWireless(const std::string& interface) const;
  // The transmit bit rate (SIOCGIWRATE) in Mbit/s; absent when unknown or negative.
  std::optional<double> transmitRate(const std::string& interface) const;
  // The network name (SIOCGIWESSID), ill-formed UTF-8 repaired; absent when empty or not associated.
  std::optional<std::string> networkName(const std::string& interface) const;

 private:
  int socket_;
};

}  // namespace platform
