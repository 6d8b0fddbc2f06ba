#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Platform/System/InterfaceEntry.hpp"
#include "Platform/System/InterfaceList.hpp"
#include "Platform/System/SystemInterface.hpp"
#include "Platform/System/TextSource.hpp"
#include "Platform/System/WirelessInterface.hpp"

namespace platform {

// Everything the network monitor asks of the system, behind one seam so that tests can feed interfaces,
// routes and Wi-Fi facts. Each call reads the system anew.
class NetworkPlatform {
 public:
  virtual ~NetworkPlatform() = default;

  // The interface list; absent when it cannot be read.
  virtual std::optional<std::vector<InterfaceEntry>> interfaces() const = 0;
  // Every interface of the system with its display name, in interface-index order; absent when the
  // system's list cannot be read. With `withKinds` each also has its kind text, which costs the live system
  // a request per Ethernet link; without, the kind texts are absent.
  virtual std::optional<std::vector<SystemInterface>> systemInterfaces(bool withKinds) const = 0;
  // The interface list and the system's interfaces without kinds, as one refresh needs them both.
  struct InterfacesWithNames {
    std::optional<std::vector<InterfaceEntry>> interfaces;
    std::optional<std::vector<SystemInterface>> systemInterfaces;
  };
  // By default interfaces() and systemInterfaces(false); the live system takes the display names from the
  // list's own link entries, so one pair of dumps serves both.
  virtual InterfacesWithNames interfacesWithNames() const;
  // The name of the interface that carries the default route; absent when there is none.
  virtual std::optional<std::string> primaryInterface() const = 0;
  // The wireless interfaces and their Wi-Fi facts; empty when there are none or they cannot be read.
  virtual std::vector<WirelessInterface> wirelessInterfaces() const = 0;

  // The calling thread's network namespace: interfaces from `interfaces` (netlink dumps by default), the
  // link table through netlink, Wi-Fi facts through nl80211, and /proc/thread-self/net/route,
  // /sys/class/net and /sys/class/ieee80211 through `source`.
  static std::shared_ptr<const NetworkPlatform> live(
      std::shared_ptr<const TextSource> source = TextSource::live(),
      std::shared_ptr<const InterfaceList> interfaces = InterfaceList::live());
};

}  // namespace platform
