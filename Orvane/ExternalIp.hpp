#pragma once

#include <optional>
#include <string>

namespace Orvane {

// The machine's external address and its country code, as far as a lookup found them; both start absent.
class ExternalIp {
 public:
  const std::optional<std::string>& ip() const { return ip_; }
  void setIp(std::optional<std::string> ip) { ip_ = std::move(ip); }
  const std::optional<std::string>& countryCode() const { return countryCode_; }
  void setCountryCode(std::optional<std::string> countryCode) { countryCode_ = std::move(countryCode); }

 private:
  std::optional<std::string> ip_;
  std::optional<std::string> countryCode_;
};

}  // namespace Orvane
