#pragma once

#include <exception>
#include <string>
#include <utility>

namespace platform {

// A failed request. The codes carry the numbers of the platform this stands in for.
class UrlError : public std::exception {
 public:
  enum class Code : int {
    unknown = -1,
    cancelled = -999,
    badURL = -1000,
    timedOut = -1001,
    unsupportedURL = -1002,
    cannotFindHost = -1003,
    cannotConnectToHost = -1004,
    networkConnectionLost = -1005,
    httpTooManyRedirects = -1007,
    badServerResponse = -1011,
    fileDoesNotExist = -1100,
    dataLengthExceedsMaximum = -1103,
    secureConnectionFailed = -1200,
    serverCertificateUntrusted = -1202,
  };

  explicit UrlError(Code code, std::string message = {}) : code_(code), message_(std::move(message)) {
    if (message_.empty()) message_ = "URL error " + std::to_string(static_cast<int>(code));
  }

  Code code() const noexcept { return code_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  Code code_;
  std::string message_;
};

}  // namespace platform
