#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace Orvane {

// A failure reported by a Ping: a domain, a code and optional details.
struct PingError {
  // Host resolution: code 1 (no address of an allowed family) or 2 (the resolver failed; its getaddrinfo
  // code, EAI_..., is under getAddrInfoFailureKey).
  static constexpr const char* networkDomain = "Orvane.Ping.Network";
  // A POSIX error number by its Linux value (EACCES 13, EPROTONOSUPPORT 93, ENOBUFS 105, EPIPE 32, EBADF 9).
  static constexpr const char* posixDomain = "Orvane.Ping.POSIX";
  static constexpr const char* getAddrInfoFailureKey = "getAddrInfoFailure";
  static constexpr std::int64_t hostNotFound = 1;
  static constexpr std::int64_t unknownHostError = 2;

  std::string domain;
  std::int64_t code = 0;
  std::map<std::string, std::int64_t> userInfo;

  bool operator==(const PingError&) const = default;
};

}  // namespace Orvane
