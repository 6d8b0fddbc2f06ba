#pragma once

#include <compare>
#include <string>
#include <vector>

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

}  // namespace platform
