#include "Orvane/Ip.hpp"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <climits>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <thread>

#include "Bexlan/URLSession.hpp"
#include "Bexlan/WebRequest.hpp"
#include "Bexlan/WebRequestForm.hpp"
#include "Orvane/DecodingError.hpp"
#include "Orvane/IPInfo.hpp"
#include "Platform/Foundation/PercentEncoding.hpp"
#include "Platform/System/Utf8Text.hpp"

namespace Orvane {

namespace {

using Bexlan::WebRequest;
using Bexlan::WebRequestForm;
using Record = std::shared_ptr<ExternalIp>;

constexpr std::size_t longestAddress = 64;  // characters
constexpr std::size_t longestEcho = 4096;   // bytes read of the echo's answer

struct Settings {
  std::mutex mutex;
  std::string echo = "http://icanhazip.com/";
  std::string geolocation = "https://geo.tarnwick.com";
};

Settings& settings() {
  static Settings* shared = new Settings;  // never destroyed: lookups may outlive static destruction
  return *shared;
}

// The echoed body as an address: trimmed of Unicode white space and line breaks at both ends, at most 64
// code points; nothing when it is not UTF-8.
std::optional<std::string> addressFrom(const WebRequest::Body& body) {
  const auto* text = reinterpret_cast<const char*>(body.data());
  const auto length = static_cast<int32_t>(std::min<std::size_t>(body.size(), INT32_MAX));
  if (!platform::isValidUtf8(std::string_view(text, body.size()))) return std::nullopt;
  int32_t start = 0, end = length;
  for (int32_t next = 0; start < end; start = next) {
    UChar32 c;
    U8_NEXT(text, next, end, c);
    if (!u_isUWhiteSpace(c)) break;
  }
  for (int32_t previous = end; end > start; end = previous) {
    UChar32 c;
    U8_PREV(text, start, previous, c);
    if (!u_isUWhiteSpace(c)) break;
  }
  int32_t cut = start;
  for (std::size_t characters = 0; cut < end && characters < longestAddress; ++characters)
    U8_FWD_1(text, cut, end);
  return std::string(text + start, text + cut);
}

// The geolocation address for an address, which becomes exactly one path segment.
std::string geolocationUrl(const std::string& address) {
  std::string base = Ip::geolocationAddress();
  while (base.ends_with('/')) base.pop_back();
  std::string segment =
      platform::addingPercentEncoding(address, platform::AllowedCharacters::urlPathSegmentAllowed())
          .value_or("");
  if (segment == "." || segment == "..") segment = segment == "." ? "%2E" : "%2E%2E";
  return base + "/api/lookup/" + segment;
}

std::optional<std::string> countryCodeIn(const WebRequest::Body& body) {
  const nlohmann::json reply = nlohmann::json::parse(body.begin(), body.end(), nullptr, false);
  if (reply.is_discarded()) return std::nullopt;
  try {
    return IPInfo::decode(reply).countryCode;
  } catch (const DecodingError&) {
    return std::nullopt;
  }
}

// The echo request, a GET with the User-Agent made as WebRequest makes it, that reads at most 4 KiB: an
// address is a few dozen bytes, so a longer answer fails with dataLengthExceedsMaximum as soon as it
// passes 4 KiB. Nothing when the echo address is not a URL.
std::optional<WebRequestForm::Prepared> echoRequest(const std::string& userAgent) {
  auto prepared =
      WebRequestForm::prepare(WebRequestForm::Kind::get, Ip::echoAddress(), {{"User-Agent", userAgent}});
  if (prepared) prepared->request.setMaximumBodyLength(longestEcho);
  return prepared;
}

Record lookupNow(const std::string& userAgent) {
  const auto request = echoRequest(userAgent);
  if (!request)
    throw platform::UrlError(platform::UrlError::Code::unsupportedURL, "the echo address is not a URL");
  const WebRequest::DataAndResponse echo =
      Bexlan::URLSession::data(*request->session, request->request).get();
  auto record = std::make_shared<ExternalIp>();
  const std::optional<std::string> address = addressFrom(echo.data);
  if (!address) return record;
  record->setIp(*address);
  try {
    record->setCountryCode(countryCodeIn(WebRequest::getAsync(geolocationUrl(*address)).get().data));
  } catch (const platform::UrlError&) {
    // The address stands without a country code.
  }
  return record;
}

}  // namespace

std::string Ip::echoAddress() {
  std::lock_guard lock(settings().mutex);
  return settings().echo;
}

void Ip::setEchoAddress(std::string address) {
  std::lock_guard lock(settings().mutex);
  settings().echo = std::move(address);
}

std::string Ip::geolocationAddress() {
  std::lock_guard lock(settings().mutex);
  return settings().geolocation;
}

void Ip::setGeolocationAddress(std::string address) {
  std::lock_guard lock(settings().mutex);
  settings().geolocation = std::move(address);
}

std::future<Record> Ip::lookup(const std::string& name, const std::string& version) {
  return lookupWithUserAgent(name + "/" + version);
}

std::future<Record> Ip::lookupWithUserAgent(const std::string& userAgent) {
  auto promise = std::make_shared<std::promise<Record>>();
  std::future<Record> future = promise->get_future();
  std::thread([promise, userAgent] {
    try {
      promise->set_value(lookupNow(userAgent));
    } catch (...) {
      promise->set_exception(std::current_exception());
    }
  }).detach();
  return future;
}

void Ip::lookupWithCompletion(const std::string& name, const std::string& version,
                              std::function<void(Record)> completion) {
  lookupWithUserAgent(name + "/" + version, std::move(completion));
}

void Ip::lookupWithUserAgent(const std::string& userAgent, std::function<void(Record)> completion) {
  auto afterEcho = [completion](std::optional<WebRequest::Body> body, auto, auto) {
    auto record = std::make_shared<ExternalIp>();
    const std::optional<std::string> address = body ? addressFrom(*body) : std::nullopt;
    if (!address) return completion(record);
    record->setIp(*address);
    WebRequest::getWithoutHeaders(geolocationUrl(*address), [completion, record](auto reply, auto) {
      if (reply) {
        if (std::optional<std::string> code = countryCodeIn(*reply)) record->setCountryCode(std::move(code));
      }
      completion(record);
    });
  };
  std::optional<WebRequestForm::Prepared> request;
  try {
    request = echoRequest(userAgent);
  } catch (const std::invalid_argument&) {
    // A User-Agent that cannot be a header field: as for an echo address that is not a URL.
  }
  if (!request) return completion(std::make_shared<ExternalIp>());
  request->session->dataTask(request->request, afterEcho);
}

}  // namespace Orvane
