#pragma once

#include <optional>
#include <string_view>

#include "Orvane/RawValue.hpp"

namespace Orvane {

// The kind of a network interface.
enum class AdapterType { unknown, IEEE80211, ETHERNET };

// "Unknown", "IEEE80211" (Wi-Fi) or "Ethernet": the system's interface-type texts.
constexpr std::string_view rawValue(AdapterType type) noexcept {
  switch (type) {
    case AdapterType::IEEE80211: return "IEEE80211";
    case AdapterType::ETHERNET: return "Ethernet";
    case AdapterType::unknown: break;
  }
  return "Unknown";
}

constexpr std::optional<AdapterType> adapterTypeFromRawValue(std::string_view text) noexcept {
  return caseWithRawValue(text, {AdapterType::unknown, AdapterType::IEEE80211, AdapterType::ETHERNET});
}

}  // namespace Orvane
