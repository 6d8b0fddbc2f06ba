#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "Platform/Foundation/UrlError.hpp"
#include "Platform/Foundation/UrlRequest.hpp"
#include "Platform/Foundation/UrlResponse.hpp"

namespace platform {

// Runs requests over HTTP, HTTPS and file addresses on one process-wide loader thread (libcurl's multi
// interface). Redirects are followed only to http and https; certificates are always verified against the
// system's authorities; proxies come from the usual environment variables, never for loopback addresses.
//
// A request either completes, and then its handler gets a present (possibly empty) body and the response
// and no error, or fails, and then it gets the error alone: never partial data. A body longer than the
// request's maximumBodyLength (at most UrlRequest::largestBody, 64 MiB, counted after content decoding)
// stops the transfer and fails it with dataLengthExceedsMaximum. Response headers fail it with
// badServerResponse past 192 KiB in one response, or past libcurl's 300 KiB for the whole transfer: all the
// responses of a redirect chain together. Those are the limits over HTTP/1.1; over HTTP/2 libcurl's and
// nghttp2's come first: a response header past about 100 KiB fails the request with networkConnectionLost,
// or stalls it until its timeout. A connection that closes within a response's header fails it with
// networkConnectionLost; one that closes within a redirect's header, once libcurl has followed it, leaves
// the next answer to begin with its own status line and fields alone. A header or trailer line libcurl
// refuses is a badServerResponse.
class UrlSession {
 public:
  using Body = std::vector<std::uint8_t>;
  using Completion =
      std::function<void(std::optional<Body>, std::optional<UrlResponse>, std::optional<UrlError>)>;
  // Where a handler runs: on the global queue (the usual place), or on the loader thread itself, for a
  // handler that only hands the answer on (fulfils a promise) and returns at once without throwing.
  enum class Delivery { globalQueue, loaderThread };

  // The process-wide session: its requests may share connections and keep cookies between them.
  static std::shared_ptr<UrlSession> shared();
  // A new session that shares nothing: every request opens its own connection, closes it afterwards and
  // keeps its cookies to itself.
  static std::shared_ptr<UrlSession> makeEphemeral();

  UrlSession(const UrlSession&) = delete;
  UrlSession& operator=(const UrlSession&) = delete;

  // Starts the request at once; the handler is called exactly once, never on the caller's thread. A URL
  // without a scheme, with a scheme other than http, https or file, or an HTTP URL without a host fails
  // with unsupportedURL.
  void dataTask(const UrlRequest& request, Completion completion, Delivery delivery = Delivery::globalQueue);

 private:
  explicit UrlSession(void* share) : share_(share) {}

  // The CURLSH of the shared session, which lives as long as the process (only the loader thread uses it,
  // so it is never cleaned up); null for an ephemeral session.
  void* share_;
};

}  // namespace platform
