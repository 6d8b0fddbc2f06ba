#include "Bexlan/URLSession.hpp"

namespace Bexlan::URLSession {

std::variant<DataAndResponse, platform::UrlError> result(std::optional<platform::UrlSession::Body> data,
                                                         std::optional<platform::UrlResponse> response,
                                                         std::optional<platform::UrlError> error) {
  if (data && response) return DataAndResponse{std::move(*data), std::move(*response)};
  if (error) return std::move(*error);
  return platform::UrlError(platform::UrlError::Code::badServerResponse);
}

std::future<DataAndResponse> data(platform::UrlSession& session, const platform::UrlRequest& request) {
  return data<DataAndResponse>(session, request, [](DataAndResponse&& answer) { return std::move(answer); });
}

std::future<DataAndResponse> data(platform::UrlSession& session, const platform::Url& url) {
  return data(session, platform::UrlRequest(url));
}

}  // namespace Bexlan::URLSession
