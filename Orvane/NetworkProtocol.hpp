#pragma once

#include <optional>
#include <string_view>

#include "Orvane/RawValue.hpp"

namespace Orvane {

// The transport protocol of a connection.
enum class NetworkProtocol { udp, tcp };

// "UDP" or "TCP".
constexpr std::string_view rawValue(NetworkProtocol protocol) noexcept {
  return protocol == NetworkProtocol::udp ? "UDP" : "TCP";
}

constexpr std::optional<NetworkProtocol> networkProtocolFromRawValue(std::string_view text) noexcept {
  return caseWithRawValue(text, {NetworkProtocol::udp, NetworkProtocol::tcp});
}

}  // namespace Orvane
