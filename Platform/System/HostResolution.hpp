#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// The addresses of a host name, as getaddrinfo gives them (AF_UNSPEC, one entry per address, in its order),
// each the bytes of a socket address; or getaddrinfo's error code (EAI_...), 0 when it succeeded.
struct HostResolution {
  std::vector<std::vector<std::byte>> addresses;
  int error = 0;
};

// Resolves `name` through getaddrinfo; blocks, so call it off any thread that must stay responsive.
HostResolution resolveHost(const std::string& name);

}  // namespace platform
