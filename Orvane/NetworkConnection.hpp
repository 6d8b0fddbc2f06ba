#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "Orvane/InternetProtocol.hpp"
#include "Orvane/NetworkProtocol.hpp"

namespace Orvane {

// One connection of the connection list. Every field starts absent; the list fills those it knows.
class NetworkConnection {
 public:
  // True when localPort, communicationProtocol and foreignProtocol are all absent.
  bool isBlank() const { return !localPort && !communicationProtocol && !foreignProtocol; }

  std::optional<std::uint16_t> localPort;
  std::optional<std::uint16_t> foreignPort;
  std::optional<std::string> localProtocol;
  std::optional<std::string> foreignProtocol;
  std::optional<NetworkProtocol> networkProtocol;
  std::optional<InternetProtocol> internetProtocol;
  // The service name of the remote port ("https"), numeric when the system knows none.
  std::optional<std::string> communicationProtocol;
  std::optional<std::string> local;
  // The remote address as a host name or numeric text.
  std::optional<std::string> foreign;
};

}  // namespace Orvane
