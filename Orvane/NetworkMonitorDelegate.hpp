#pragma once

namespace Orvane {

// Told by a NetworkMonitor, on a thread of the global background queue, that the network path changed.
class NetworkMonitorDelegate {
 public:
  virtual ~NetworkMonitorDelegate() = default;
  virtual void networkChanged() = 0;
};

}  // namespace Orvane
