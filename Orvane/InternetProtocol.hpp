#pragma once

#include <optional>
#include <string_view>

#include "Orvane/RawValue.hpp"

namespace Orvane {

// The address family of a connection.
enum class InternetProtocol { ipv4, ipv6 };

// "ipv4" or "ipv6".
constexpr std::string_view rawValue(InternetProtocol protocol) noexcept {
  return protocol == InternetProtocol::ipv4 ? "ipv4" : "ipv6";
}

constexpr std::optional<InternetProtocol> internetProtocolFromRawValue(std::string_view text) noexcept {
  return caseWithRawValue(text, {InternetProtocol::ipv4, InternetProtocol::ipv6});
}

}  // namespace Orvane
