#pragma once

#include <functional>
#include <future>
#include <memory>
#include <string>

#include "Orvane/ExternalIp.hpp"

namespace Orvane {

// Finds the machine's external address and its country in two requests: a GET of the echo address with a
// "User-Agent", whose body is the address as text, then a GET of the geolocation address followed by
// "/api/lookup/" and the address, whose JSON reply carries "country_code".
//
// At most 4 KiB of the echo's answer is read: a longer one fails as a failed echo request does
// (dataLengthExceedsMaximum). The echoed body is trimmed of white space and kept to its first 64 code
// points; in the geolocation request it is one path segment ("/", "?", "#" and dot segments are escaped),
// so a hostile echo cannot steer that request elsewhere.
class Ip {
 public:
  Ip() = delete;

  // The addresses, scheme included; the defaults are public services. Safe to change from any thread; a
  // lookup reads them as it starts each request.
  static std::string echoAddress();
  static void setEchoAddress(std::string address);
  static std::string geolocationAddress();
  static void setGeolocationAddress(std::string address);

  // Runs on a thread of its own. The future throws the platform::UrlError of a failed echo request (or
  // std::invalid_argument for a User-Agent that cannot be a header field). A body that is not UTF-8 gives a
  // record without an address and makes no second request; a failed or undecodable geolocation reply gives
  // the address without a country code.
  static std::future<std::shared_ptr<ExternalIp>> lookup(const std::string& name, const std::string& version);
  static std::future<std::shared_ptr<ExternalIp>> lookupWithUserAgent(const std::string& userAgent);

  // The same, never failing: whatever goes wrong shows as absent fields. The completion is called exactly
  // once, where WebRequest delivers (the global queue, or at once for an address that is not a URL).
  static void lookupWithCompletion(const std::string& name, const std::string& version,
                                   std::function<void(std::shared_ptr<ExternalIp>)> completion);
  static void lookupWithUserAgent(const std::string& userAgent,
                                  std::function<void(std::shared_ptr<ExternalIp>)> completion);
};

}  // namespace Orvane
