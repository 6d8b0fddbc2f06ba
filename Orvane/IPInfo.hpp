#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "Orvane/DecodingError.hpp"

namespace Orvane {

// The reply of the geolocation service: {"ip": ..., "country_code": ..., "country": ...}.
struct IPInfo {
  enum class CodingKeys { ip, countryCode, countryName };

  std::optional<std::string> ip;
  std::optional<std::string> countryCode;
  std::optional<std::string> countryName;

  // "ip", "country_code", "country"; and back (nothing for any other text).
  static std::string_view stringValue(CodingKeys key);
  static std::optional<CodingKeys> codingKey(std::string_view text);

  // Each key when present; a missing key or null gives an absent field. Throws DecodingError when the value
  // is not an object or a key holds anything but a text or null.
  static IPInfo decode(const nlohmann::json& json);
  // An object with the present fields only.
  nlohmann::json encode() const;

  friend bool operator==(const IPInfo&, const IPInfo&) = default;
};

}  // namespace Orvane
