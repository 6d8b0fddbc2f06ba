#pragma once

#include <memory>

#include "Orvane/NetworkAdapter.hpp"

namespace Orvane {

// Told by the network monitor, synchronously on the thread that refreshes or selects, whenever the shown
// adapter changes. The monitor holds its delegate weakly.
class NetworkDelegate {
 public:
  virtual ~NetworkDelegate() = default;
  // The new shown adapter; null when none is shown.
  virtual void adapterChanged(const std::shared_ptr<NetworkAdapter>& adapter) = 0;
};

}  // namespace Orvane
