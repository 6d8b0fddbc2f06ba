#include "Orvane/ConnectionsController.hpp"

#include <netdb.h>

#include <cstring>
#include <stdexcept>

#include "Platform/System/SocketTable.hpp"

namespace Orvane {

namespace {

// TCP_ESTABLISHED; a connected UDP socket has the same state.
constexpr std::uint8_t establishedState = 1;

struct Table {
  std::string_view path;
  bool isTcp;
};
constexpr Table tables[] = {{platform::tcpTablePath, true},
                            {platform::tcp6TablePath, true},
                            {platform::udpTablePath, false},
                            {platform::udp6TablePath, false}};

bool isListed(const platform::SocketRow& row) { return row.state == establishedState; }

}  // namespace

ConnectionsController::ConnectionsController()
    : ConnectionsController(platform::TextSource::live(), platform::NameResolver::live()) {}

ConnectionsController::ConnectionsController(std::shared_ptr<const platform::TextSource> source,
                                             std::shared_ptr<const platform::NameResolver> resolver)
    : source_(std::move(source)), resolver_(std::move(resolver)) {
  if (!source_ || !resolver_) throw std::invalid_argument("ConnectionsController: null source or resolver");
}

std::uint32_t ConnectionsController::connectionCount() const {
  std::uint32_t count = 0;
  for (const auto& table : tables) {
    auto rows = platform::readSocketTable(*source_, table.path);
    if (!rows) continue;
    for (const auto& row : *rows) count += isListed(row) ? 1 : 0;
  }
  return count;
}

std::vector<std::shared_ptr<NetworkConnection>> ConnectionsController::connections(
    bool resolveHosts, bool resolveServices) const {
  std::vector<std::shared_ptr<NetworkConnection>> list;
  for (const auto& table : tables) readPcbList(table.path, table.isTcp, resolveHosts, resolveServices, list);
  return list;
}

void ConnectionsController::readPcbList(std::string_view path, bool isTcp, bool resolveHosts,
                                        bool resolveServices,
                                        std::vector<std::shared_ptr<NetworkConnection>>& list) const {
  auto rows = platform::readSocketTable(*source_, path);
  if (!rows) return;
  for (const auto& row : *rows) {
    if (!isListed(row)) continue;
    auto connection = std::make_shared<NetworkConnection>();
    connection->networkProtocol = isTcp ? NetworkProtocol::tcp : NetworkProtocol::udp;
    if (row.local.family == AF_INET) {
      connection->localPort = row.local.port;
      // An IPv4 socket whose far end is not IPv4 (which the kernel never lists) counts as unconnected.
      if (row.remote.family == AF_INET && !row.remote.isUnspecified()) {
        sockaddr_in remote{};
        remote.sin_family = AF_INET;
        remote.sin_port = htons(row.remote.port);
        std::memcpy(&remote.sin_addr, row.remote.address.data(), sizeof remote.sin_addr);
        connection->foreign = resolver_->hostName(remote, resolveHosts ? 0 : NI_NUMERICHOST);
        connection->foreignPort = row.remote.port;
        if (resolveServices)
          connection->communicationProtocol = resolver_->serviceName(remote, NI_NUMERICHOST);
      }
    }
    list.push_back(std::move(connection));
  }
}

}  // namespace Orvane
