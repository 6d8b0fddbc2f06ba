#pragma once

#include <netinet/in.h>

#include <memory>
#include <string>

namespace platform {

// Host and service names of socket addresses, through getnameinfo. The flags are getnameinfo's own, with
// their Linux values (NI_NUMERICHOST is 1, NI_NUMERICSERV 2).
class NameResolver {
 public:
  virtual ~NameResolver() = default;

  // The host text of `address` (a 1,025-byte host buffer, no service), up to its first zero byte with
  // ill-formed UTF-8 repaired; empty when the lookup fails.
  virtual std::string hostName(const sockaddr_in& address, int flags) const = 0;
  // The service text of `address`'s port (a 32-byte service buffer, no host), up to its first zero byte;
  // ill-formed UTF-8 repaired; empty when the lookup fails.
  virtual std::string serviceName(const sockaddr_in& address, int flags) const = 0;

  // getnameinfo itself: host names from /etc/hosts and DNS, service names from /etc/services.
  static const std::shared_ptr<const NameResolver>& live();
};

}  // namespace platform
