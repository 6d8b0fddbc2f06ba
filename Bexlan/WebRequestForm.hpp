#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "Platform/Foundation/UrlRequest.hpp"
#include "Platform/Foundation/UrlSession.hpp"

namespace Bexlan {

// How each operation of WebRequest turns an address into a request and picks its session: one table for
// every form, so the forms differ only in how they deliver the answer.
class WebRequestForm {
 public:
  enum class Kind {
    ping,          // "HEAD", the caller's timeout, a new ephemeral session
    checkStatus,   // GET, the caller's timeout, a new ephemeral session
    get,           // GET, 10 s, a new ephemeral session
    getUnencoded,  // as get, the address used as given
    request,       // the caller's method exactly as written, 10 s, a new ephemeral session
    post,          // "POST" with an optional form body, 10 s, the shared session
  };
  using Headers = std::map<std::string, std::string>;

  struct Prepared {
    platform::UrlRequest request;
    std::shared_ptr<platform::UrlSession> session;
  };

  // The fixed timeout of every form that takes none from the caller.
  static constexpr double fixedTimeout = 10.0;

  // Nothing when the address is bad: it is not valid UTF-8, or, percent-encoded with the URL-query set
  // (except for getUnencoded), it is not a URL. The request never uses a cache. A form body (post, when
  // given, the empty text included) sets "Content-Type" to "application/x-www-form-urlencoded" and is sent
  // as its UTF-8 bytes; then each header is added to its field in the map's order, so a caller's
  // "Content-Type" follows the form type.
  static std::optional<Prepared> prepare(Kind kind, std::string_view address, const Headers& headers = {},
                                         double timeout = fixedTimeout, const std::string& method = "",
                                         const std::optional<std::string>& formBody = std::nullopt);
};

}  // namespace Bexlan
