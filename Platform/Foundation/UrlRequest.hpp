#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Platform/Foundation/Url.hpp"

namespace platform {

// One HTTP (or file) request: the address, how long it may stay silent, the method, the header fields, the
// body and how long an answer it takes.
class UrlRequest {
 public:
  enum class CachePolicy : int { useProtocolCachePolicy = 0, reloadIgnoringLocalAndRemoteCacheData = 4 };
  using Field = std::pair<std::string, std::string>;

  // No answer's body, counted after content decoding, may be longer: an endless body or a compression bomb
  // would otherwise take all memory. A fixed limit of the loading system, not a setting.
  static constexpr std::size_t largestBody = std::size_t(64) << 20;

  explicit UrlRequest(Url url, CachePolicy cachePolicy = CachePolicy::useProtocolCachePolicy,
                      double timeoutInterval = 60);

  const Url& url() const { return url_; }
  CachePolicy cachePolicy() const { return cachePolicy_; }
  // Seconds without any data arriving or leaving after which the request fails with timedOut; a value that
  // is not finite and above zero counts as 60.
  double timeoutInterval() const { return timeoutInterval_; }

  // The method as set, sent exactly as written; absent (or set empty) means GET. Throws
  // std::invalid_argument for a method that is not an HTTP token ("GET / HTTP/1.1\r\n..." is refused).
  const std::optional<std::string>& httpMethod() const { return httpMethod_; }
  void setHttpMethod(std::optional<std::string> method);
  const std::optional<std::vector<std::uint8_t>>& httpBody() const { return httpBody_; }
  void setHttpBody(std::optional<std::vector<std::uint8_t>> body) { httpBody_ = std::move(body); }

  // Header fields, names compared without regard to case. setValue replaces the field's value (removes the
  // field when the value is absent); addValue appends to a value the field has, separated by ",". Both
  // throw std::invalid_argument for a name that is not an HTTP token or a value holding CR, LF or NUL.
  void setValue(std::optional<std::string> value, std::string_view field);
  void addValue(std::string_view value, std::string_view field);
  std::optional<std::string> value(std::string_view field) const;
  // The fields in the order they were first set, with the name as first written.
  const std::vector<Field>& allHttpHeaderFields() const { return fields_; }

  // The most body bytes (after content decoding) the answer may bring; past it the transfer stops and the
  // request fails with dataLengthExceedsMaximum. largestBody unless set lower; never above it.
  std::size_t maximumBodyLength() const { return maximumBodyLength_; }
  void setMaximumBodyLength(std::size_t length) { maximumBodyLength_ = std::min(length, largestBody); }

 private:
  std::vector<Field>::iterator find(std::string_view field);

  Url url_;
  CachePolicy cachePolicy_;
  double timeoutInterval_;
  std::optional<std::string> httpMethod_;
  std::optional<std::vector<std::uint8_t>> httpBody_;
  std::vector<Field> fields_;
  std::size_t maximumBodyLength_ = largestBody;
};

}  // namespace platform
