#include "Platform/System/HostResolution.hpp"

#include <netdb.h>
#include <sys/socket.h>

namespace platform {

HostResolution resolveHost(const std::string& name) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_DGRAM;  // one entry per address rather than one per socket type
  addrinfo* found = nullptr;
  HostResolution resolution;
  resolution.error = ::getaddrinfo(name.c_str(), nullptr, &hints, &found);
  if (resolution.error != 0) return resolution;
  for (const addrinfo* entry = found; entry; entry = entry->ai_next) {
    const auto* bytes = reinterpret_cast<const std::byte*>(entry->ai_addr);
    resolution.addresses.emplace_back(bytes, bytes + entry->ai_addrlen);
  }
  ::freeaddrinfo(found);
  return resolution;
}

}  // namespace platform
