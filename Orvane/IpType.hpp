#pragma once

#include <optional>
#include <string_view>

#include "Orvane/RawValue.hpp"

namespace Orvane {

// The address family to look up for an interface.
enum class IpType { ip4, ip6 };

// "IPv4" or "IPv6".
constexpr std::string_view rawValue(IpType type) noexcept { return type == IpType::ip4 ? "IPv4" : "IPv6"; }

constexpr std::optional<IpType> ipTypeFromRawValue(std::string_view text) noexcept {
  return caseWithRawValue(text, {IpType::ip4, IpType::ip6});
}

}  // namespace Orvane
