#include "Bexlan/WebRequestForm.hpp"

#include "Platform/Foundation/PercentEncoding.hpp"

namespace Bexlan {

std::optional<WebRequestForm::Prepared> WebRequestForm::prepare(Kind kind, std::string_view address,
                                                                const Headers& headers, double timeout,
                                                                const std::string& method,
                                                                const std::optional<std::string>& formBody) {
  std::optional<platform::Url> url;
  if (kind == Kind::getUnencoded) {
    url = platform::Url::parse(address);
  } else if (auto encoded =
                 platform::addingPercentEncoding(address, platform::AllowedCharacters::urlQueryAllowed())) {
    url = platform::Url::parse(*encoded);
  }
  if (!url) return std::nullopt;

  const bool callersTimeout = kind == Kind::ping || kind == Kind::checkStatus;
  platform::UrlRequest request(std::move(*url),
                               platform::UrlRequest::CachePolicy::reloadIgnoringLocalAndRemoteCacheData,
                               callersTimeout ? timeout : fixedTimeout);
  if (kind == Kind::ping) request.setHttpMethod("HEAD");
  if (kind == Kind::request) request.setHttpMethod(method);
  if (kind == Kind::post) {
    request.setHttpMethod("POST");
    if (formBody) {
      request.setValue("application/x-www-form-urlencoded", "Content-Type");
      request.setHttpBody(platform::UrlSession::Body(formBody->begin(), formBody->end()));
    }
  }
  for (const auto& [field, value] : headers) request.addValue(value, field);
  return Prepared{std::move(request), kind == Kind::post ? platform::UrlSession::shared()
                                                         : platform::UrlSession::makeEphemeral()};
}

}  // namespace Bexlan
