#include "Platform/System/WirelessRequests.hpp"

#include <linux/wireless.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "Platform/System/Utf8Text.hpp"

namespace platform {

namespace {

// A request for `interface`, or absent when the name does not fit the request's name field.
std::optional<iwreq> requestFor(const std::string& interface) {
  if (interface.empty() || interface.size() >= IFNAMSIZ) return std::nullopt;
  iwreq request{};
  std::memcpy(request.ifr_name, interface.data(), interface.size());
  return request;
}

}  // namespace

WirelessRequests::WirelessRequests() : socket_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {}

WirelessRequests::~WirelessRequests() {
  if (socket_ >= 0) ::close(socket_);
}

bool WirelessRequests::isWireless(const std::string& interface) const {
  auto request = requestFor(interface);
  return socket_ >= 0 && request && ::ioctl(socket_, SIOCGIWNAME, &*request) == 0;
}

std::optional<double> WirelessRequests::transmitRate(const std::string& interface) const {
  auto request = requestFor(interface);
  if (socket_ < 0 || !request || ::ioctl(socket_, SIOCGIWRATE, &*request) != 0) return std::nullopt;
  if (request->u.bitrate.value < 0) return std::nullopt;
  return request->u.bitrate.value / 1e6;
}

std::optional<std::string> WirelessRequests::networkName(const std::string& interface) const {
  auto request = requestFor(interface);
  char name[IW_ESSID_MAX_SIZE + 1] = {};
  if (socket_ < 0 || !request) return std::nullopt;
  request->u.essid.pointer = name;
  request->u.essid.length = IW_ESSID_MAX_SIZE;
  if (::ioctl(socket_, SIOCGIWESSID, &*request) != 0) return std::nullopt;
  size_t length = request->u.essid.length;
  if (length == 0 || length > IW_ESSID_MAX_SIZE) return std::nullopt;
  return repairedUtf8(std::string_view(name, length));
}

}  // namespace platform
