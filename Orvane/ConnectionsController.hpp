#pragma once

#include <memory>
#include <string_view>

#include "Orvane/IConnectionsController.hpp"
#include "Platform/System/NameResolver.hpp"
#include "Platform/System/TextSource.hpp"

namespace Orvane {

// The connection list from the kernel's socket tables (/proc/net/tcp, tcp6, udp and udp6, in the reading
// process's network namespace). A socket is listed when its state is established (for UDP: connected).
// IPv4 sockets, IPv4-mapped rows of the IPv6 tables included, carry their local port and, when the remote
// address is not 0.0.0.0, the remote address and port; IPv6 sockets carry only their protocol. A table
// that cannot be read adds nothing.
class ConnectionsController final : public IConnectionsController {
 public:
  // The live tables and getnameinfo.
  ConnectionsController();
  ConnectionsController(std::shared_ptr<const platform::TextSource> source,
                        std::shared_ptr<const platform::NameResolver> resolver);

  std::uint32_t connectionCount() const override;
  std::vector<std::shared_ptr<NetworkConnection>> connections(bool resolveHosts,
                                                              bool resolveServices) const override;

  // Appends the listed sockets of the table at `path` (of TCP when isTcp, else of UDP) to `list`, in table
  // order, with the remote address as a host name when resolveHosts (else numeric) and the service name of
  // the remote port when resolveServices.
  void readPcbList(std::string_view path, bool isTcp, bool resolveHosts, bool resolveServices,
                   std::vector<std::shared_ptr<NetworkConnection>>& list) const;

 private:
  std::shared_ptr<const platform::TextSource> source_;
  std::shared_ptr<const platform::NameResolver> resolver_;
};

}  // namespace Orvane
