#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "Orvane/NetworkConnection.hpp"

namespace Orvane {

// The machine's established connections.
class IConnectionsController {
 public:
  virtual ~IConnectionsController() = default;
  // How many sockets the list would hold.
  virtual std::uint32_t connectionCount() const = 0;
  // The established TCP connections, then the connected UDP sockets. Resolving host names may wait on the
  // network: call it off the main thread when that matters.
  virtual std::vector<std::shared_ptr<NetworkConnection>> connections(bool resolveHosts,
                                                                      bool resolveServices) const = 0;
};

}  // namespace Orvane
