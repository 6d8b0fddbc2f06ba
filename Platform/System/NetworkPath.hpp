#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "Platform/System/LinkTable.hpp"

namespace platform {

// What a network path monitor compares: the interfaces that are up (loopback aside) with their addresses,
// and the default routes over them.
struct NetworkPath {
  struct Interface {
    int index = 0;
    std::string name;
    std::vector<std::string> addresses;  // "10.0.0.2/24", "fd00::2/64", sorted
    bool operator==(const Interface&) const = default;
  };
  struct DefaultRoute {
    int family = 0;  // AF_INET or AF_INET6
    int interfaceIndex = 0;
    std::string gateway;  // empty for a route without a gateway
    auto operator<=>(const DefaultRoute&) const = default;
  };

  std::vector<Interface> interfaces;        // by index
  std::vector<DefaultRoute> defaultRoutes;  // sorted
  bool operator==(const NetworkPath&) const = default;
};

// Gathers the replies of the link, address and route dumps (RTM_NEWLINK, RTM_NEWADDR, RTM_NEWROUTE), one
// received buffer at a time, and makes the path from them.
class NetworkPathBuilder {
 public:
  // Adds the messages of one buffer whose sequence number is `sequence` (others are stale replies and are
  // passed over) and tells where the dump stands. Every length is checked against the buffer.
  LinkDumpState add(std::span<const std::byte> messages, std::uint32_t sequence);
  NetworkPath path() const;

 private:
  std::vector<LinkRecord> links_;
  std::map<int, std::vector<std::string>> addresses_;
  std::vector<NetworkPath::DefaultRoute> routes_;
};

}  // namespace platform
