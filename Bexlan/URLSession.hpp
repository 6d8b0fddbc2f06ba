#pragma once

#include <exception>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <variant>

#include "Platform/Foundation/UrlSession.hpp"

// Asynchronous data calls on a session, and the success test of a response.
namespace Bexlan::URLSession {

struct DataAndResponse {
  platform::UrlSession::Body data;
  platform::UrlResponse response;
};

// The answer of a finished request as the asynchronous calls see it: the body and response when both are
// present, else the error, else badServerResponse.
std::variant<DataAndResponse, platform::UrlError> result(std::optional<platform::UrlSession::Body> data,
                                                         std::optional<platform::UrlResponse> response,
                                                         std::optional<platform::UrlError> error);

// Starts the request at once; the future holds what `transform` makes of the body and response (run on the
// loader thread as the answer arrives, so it must be quick) or throws the platform::UrlError, or whatever
// `transform` threw. Dropping the future does not stop the request.
template <class T>
std::future<T> data(platform::UrlSession& session, const platform::UrlRequest& request,
                    std::function<T(DataAndResponse&&)> transform) {
  auto promise = std::make_shared<std::promise<T>>();
  std::future<T> future = promise->get_future();
  session.dataTask(
      request,
      [promise, transform = std::move(transform)](auto body, auto response, auto error) {
        auto answer = result(std::move(body), std::move(response), std::move(error));
        if (auto* success = std::get_if<DataAndResponse>(&answer)) {
          try {
            promise->set_value(transform(std::move(*success)));
          } catch (...) {
            promise->set_exception(std::current_exception());
          }
        } else {
          promise->set_exception(std::make_exception_ptr(std::get<platform::UrlError>(answer)));
        }
      },
      platform::UrlSession::Delivery::loaderThread);
  return future;
}

// The body and response, or the platform::UrlError.
std::future<DataAndResponse> data(platform::UrlSession& session, const platform::UrlRequest& request);
std::future<DataAndResponse> data(platform::UrlSession& session, const platform::Url& url);

}  // namespace Bexlan::URLSession

namespace Bexlan::URLResponse {

// True for an HTTP response whose status is from 200 to 299.
inline bool isSuccessful(const platform::UrlResponse& response) {
  return response.statusCode && *response.statusCode >= 200 && *response.statusCode <= 299;
}

}  // namespace Bexlan::URLResponse
