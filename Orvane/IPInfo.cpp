#include "Orvane/IPInfo.hpp"

#include "Orvane/DecodingError.hpp"

namespace Orvane {

namespace {

constexpr IPInfo::CodingKeys allKeys[] = {IPInfo::CodingKeys::ip, IPInfo::CodingKeys::countryCode,
                                          IPInfo::CodingKeys::countryName};

std::optional<std::string> IPInfo::*field(IPInfo::CodingKeys key) {
  switch (key) {
    case IPInfo::CodingKeys::ip: return &IPInfo::ip;
    case IPInfo::CodingKeys::countryCode: return &IPInfo::countryCode;
    case IPInfo::CodingKeys::countryName: break;
  }
  return &IPInfo::countryName;
}

}  // namespace

std::string_view IPInfo::stringValue(CodingKeys key) {
  switch (key) {
    case CodingKeys::ip: return "ip";
    case CodingKeys::countryCode: return "country_code";
    case CodingKeys::countryName: break;
  }
  return "country";
}

std::optional<IPInfo::CodingKeys> IPInfo::codingKey(std::string_view text) {
  for (CodingKeys key : allKeys) {
    if (stringValue(key) == text) return key;
  }
  return std::nullopt;
}

IPInfo IPInfo::decode(const nlohmann::json& json) {
  if (!json.is_object()) throw DecodingError("expected an object holding the address information");
  IPInfo info;
  for (CodingKeys key : allKeys) {
    const std::string name(stringValue(key));
    const auto found = json.find(name);
    if (found == json.end() || found->is_null()) continue;
    if (!found->is_string()) throw DecodingError("key \"" + name + "\" does not hold a text");
    info.*field(key) = found->get<std::string>();
  }
  return info;
}

nlohmann::json IPInfo::encode() const {
  nlohmann::json json = nlohmann::json::object();
  for (CodingKeys key : allKeys) {
    if (const auto& value = this->*field(key)) json[std::string(stringValue(key))] = *value;
  }
  return json;
}

}  // namespace Orvane
