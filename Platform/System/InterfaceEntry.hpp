#pragma once

#include <sys/socket.h>

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// The received and sent byte counters of a link: the kernel's 64-bit counters (the 32-bit ones that
// getifaddrs hands out wrap every 4 GiB, a few seconds on a fast link).
struct LinkCounters {
  std::uint64_t receivedBytes = 0;
  std::uint64_t sentBytes = 0;

  bool operator==(const LinkCounters&) const = default;
};

// One entry of the interface list. An interface appears once per address: an AF_PACKET entry for its
// link (hardware type and counters) and one AF_INET or AF_INET6 entry for each of its addresses.
struct InterfaceEntry {
  std::string name;
  int family = AF_UNSPEC;
  // IFF_UP, IFF_LOOPBACK... of the interface.
  unsigned flags = 0;
  // AF_PACKET entries: the ARPHRD_ hardware type.
  std::optional<std::uint16_t> hardwareType;
  // AF_PACKET entries whose link's statistics could be read.
  std::optional<LinkCounters> counters;
  // AF_INET and AF_INET6 entries: the address as inet_ntop writes it ("192.0.2.2", "fe80::1").
  std::optional<std::string> address;
  // AF_PACKET entries: the link's alias, when one is set.
  std::optional<std::string> alias{};
  // The kernel's index of the interface (ifindex, from 1; 0 when unknown). An interface deleted and made
  // again under the same name gets a new one.
  int index = 0;

  bool operator==(const InterfaceEntry&) const = default;
};

}  // namespace platform
