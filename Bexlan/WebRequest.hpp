#pragma once

#include <functional>
#include <future>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "Bexlan/PingResult.hpp"
#include "Bexlan/URLSession.hpp"
#include "Bexlan/WebRequestForm.hpp"

namespace Bexlan {

// HTTP requests for addresses given as text, never cached, with a timeout of 10 s of silence unless the
// form takes one (see WebRequestForm for how each form builds its request).
//
// Completion forms return once the request has started and call their completion exactly once on the
// global queue. A bad address completes at once, on the caller's thread, before the call returns, and sends
// nothing. HTTP error statuses are answers, not failures; a body over 64 MiB after content decoding fails
// with dataLengthExceedsMaximum, headers over libcurl's limits with badServerResponse. Asynchronous forms
// return a future that holds the answer or throws the platform::UrlError (unsupportedURL for a bad
// address). Every form throws std::invalid_argument for a header that is not a valid field, requestAsync for
// a method that is not an HTTP token.
class WebRequest {
 public:
  WebRequest() = delete;

  using Body = platform::UrlSession::Body;
  using Headers = WebRequestForm::Headers;
  using DataAndResponse = URLSession::DataAndResponse;
  using Completion = std::function<void(std::optional<Body>, std::optional<platform::UrlResponse>,
                                        std::optional<platform::UrlError>)>;
  using BodyCompletion = std::function<void(std::optional<Body>, std::optional<platform::UrlError>)>;
  using PingOutcome = std::variant<PingResult, platform::UrlError>;

  // HEAD with the caller's timeout: the error, unknown when there is no response, else the PingResult (a
  // file address gives isSuccess false). A bad address gives unsupportedURL.
  static void ping(std::string_view address, double timeout, std::function<void(PingOutcome)> completion);
  // GET with the caller's timeout: true for an HTTP status from 200 to 299, false for anything else.
  static void checkStatus(std::string_view address, double timeout, std::function<void(bool)> completion);
  // GET with the headers: body, response and error as they come; a bad address gives all three absent.
  static void get(std::string_view address, const Headers& headers, Completion completion);
  // GET: body and error (a bad address gives both absent); getUnencoded uses the address as given.
  static void getWithoutHeaders(std::string_view address, BodyCompletion completion);
  static void getUnencoded(std::string_view address, BodyCompletion completion);
  // POST on the shared session, with the form body when given: body and error.
  static void post(std::string_view address, const std::optional<std::string>& body,
                   BodyCompletion completion);
  static void postWithHeaders(std::string_view address, const std::optional<std::string>& body,
                              const Headers& headers, BodyCompletion completion);
  // The caller's request as it is, on a new ephemeral session: body and error.
  static void send(const platform::UrlRequest& request, BodyCompletion completion);

  static std::future<PingResult> pingAsync(std::string_view address, double timeout);
  static std::future<DataAndResponse> getAsync(std::string_view address);
  static std::future<DataAndResponse> getUnencodedAsync(std::string_view address);
  // The method text exactly as given ("get" stays lower case).
  static std::future<DataAndResponse> requestAsync(const std::string& method, std::string_view address,
                                                   const Headers& headers);
  static std::future<DataAndResponse> getWithHeadersAsync(std::string_view address, const Headers& headers);
  static std::future<DataAndResponse> putAsync(std::string_view address, const Headers& headers);
  static std::future<DataAndResponse> deleteAsync(std::string_view address, const Headers& headers);
  static std::future<DataAndResponse> postAsync(std::string_view address,
                                                const std::optional<std::string>& body);
  static std::future<DataAndResponse> postWithHeadersAsync(std::string_view address,
                                                           const std::optional<std::string>& body,
                                                           const Headers& headers);
  // The caller's request as it is, on the shared session.
  static std::future<DataAndResponse> sendAsync(const platform::UrlRequest& request);
};

}  // namespace Bexlan
