#include "Bexlan/WebRequest.hpp"

#include "Platform/Foundation/Clock.hpp"

namespace Bexlan {

namespace {

using Kind = WebRequestForm::Kind;
using platform::UrlError;

UrlError unsupportedAddress() { return UrlError(UrlError::Code::unsupportedURL, "the address is not a URL"); }

template <class T>
std::future<T> failed(const UrlError& error) {
  std::promise<T> promise;
  promise.set_exception(std::make_exception_ptr(error));
  return promise.get_future();
}

std::future<WebRequest::DataAndResponse> awaitData(const std::optional<WebRequestForm::Prepared>& prepared) {
  if (!prepared) return failed<WebRequest::DataAndResponse>(unsupportedAddress());
  return URLSession::data(*prepared->session, prepared->request);
}

// Sends a prepared request and hands body and error on; a bad address completes at once with neither.
void sendForBody(const std::optional<WebRequestForm::Prepared>& prepared,
                 WebRequest::BodyCompletion completion) {
  if (!prepared) return completion(std::nullopt, std::nullopt);
  prepared->session->dataTask(prepared->request, [completion](auto body, auto, auto error) {
    completion(std::move(body), std::move(error));
  });
}

PingResult pingResult(const platform::UrlResponse& response, double start) {
  return PingResult{URLResponse::isSuccessful(response), platform::Clock::monotonicNow() - start};
}

}  // namespace

void WebRequest::ping(std::string_view address, double timeout, std::function<void(PingOutcome)> completion) {
  const auto prepared = WebRequestForm::prepare(Kind::ping, address, {}, timeout);
  if (!prepared) return completion(unsupportedAddress());
  const double start = platform::Clock::monotonicNow();
  prepared->session->dataTask(prepared->request, [completion, start](auto, auto response, auto error) {
    if (error) return completion(std::move(*error));
    if (!response) return completion(UrlError(UrlError::Code::unknown));
    completion(pingResult(*response, start));
  });
}

void WebRequest::checkStatus(std::string_view address, double timeout, std::function<void(bool)> completion) {
  const auto prepared = WebRequestForm::prepare(Kind::checkStatus, address, {}, timeout);
  if (!prepared) return completion(false);
  prepared->session->dataTask(prepared->request, [completion](auto, auto response, auto) {
    completion(response && URLResponse::isSuccessful(*response));
  });
}

void WebRequest::get(std::string_view address, const Headers& headers, Completion completion) {
  const auto prepared = WebRequestForm::prepare(Kind::get, address, headers);
  if (!prepared) return completion(std::nullopt, std::nullopt, std::nullopt);
  prepared->session->dataTask(prepared->request, std::move(completion));
}

void WebRequest::getWithoutHeaders(std::string_view address, BodyCompletion completion) {
  sendForBody(WebRequestForm::prepare(Kind::get, address), std::move(completion));
}

void WebRequest::getUnencoded(std::string_view address, BodyCompletion completion) {
  sendForBody(WebRequestForm::prepare(Kind::getUnencoded, address), std::move(completion));
}

void WebRequest::post(std::string_view address, const std::optional<std::string>& body,
                      BodyCompletion completion) {
  postWithHeaders(address, body, {}, std::move(completion));
}

void WebRequest::postWithHeaders(std::string_view address, const std::optional<std::string>& body,
                                 const Headers& headers, BodyCompletion completion) {
  sendForBody(WebRequestForm::prepare(Kind::post, address, headers, WebRequestForm::fixedTimeout, "", body),
              std::move(completion));
}

void WebRequest::send(const platform::UrlRequest& request, BodyCompletion completion) {
  sendForBody(WebRequestForm::Prepared{request, platform::UrlSession::makeEphemeral()},
              std::move(completion));
}

std::future<PingResult> WebRequest::pingAsync(std::string_view address, double timeout) {
  const auto prepared = WebRequestForm::prepare(Kind::ping, address, {}, timeout);
  if (!prepared) return failed<PingResult>(unsupportedAddress());
  const double start = platform::Clock::monotonicNow();
  return URLSession::data<PingResult>(
      *prepared->session, prepared->request,
      [start](DataAndResponse&& answer) { return pingResult(answer.response, start); });
}

std::future<WebRequest::DataAndResponse> WebRequest::getAsync(std::string_view address) {
  return awaitData(WebRequestForm::prepare(Kind::get, address));
}

std::future<WebRequest::DataAndResponse> WebRequest::getUnencodedAsync(std::string_view address) {
  return awaitData(WebRequestForm::prepare(Kind::getUnencoded, address));
}

std::future<WebRequest::DataAndResponse> WebRequest::requestAsync(const std::string& method,
                                                                  std::string_view address,
                                                                  const Headers& headers) {
  return awaitData(
      WebRequestForm::prepare(Kind::request, address, headers, WebRequestForm::fixedTimeout, method));
}

std::future<WebRequest::DataAndResponse> WebRequest::getWithHeadersAsync(std::string_view address,
                                                                         const Headers& headers) {
  return requestAsync("GET", address, headers);
}

std::future<WebRequest::DataAndResponse> WebRequest::putAsync(std::string_view address,
                                                              const Headers& headers) {
  return requestAsync("PUT", address, headers);
}

std::future<WebRequest::DataAndResponse> WebRequest::deleteAsync(std::string_view address,
                                                                 const Headers& headers) {
  return requestAsync("DELETE", address, headers);
}

std::future<WebRequest::DataAndResponse> WebRequest::postAsync(std::string_view address,
                                                               const std::optional<std::string>& body) {
  return postWithHeadersAsync(address, body, {});
}

std::future<WebRequest::DataAndResponse> WebRequest::postWithHeadersAsync(
    std::string_view address, const std::optional<std::string>& body, const Headers& headers) {
  return awaitData(
      WebRequestForm::prepare(Kind::post, address, headers, WebRequestForm::fixedTimeout, "", body));
}

std::future<WebRequest::DataAndResponse> WebRequest::sendAsync(const platform::UrlRequest& request) {
  return URLSession::data(*platform::UrlSession::shared(), request);
}

}  // namespace Bexlan
