#include "Platform/System/NameResolver.hpp"

#include <netdb.h>
#include <sys/socket.h>

#include <array>
#include <cstring>

#include "Platform/System/Utf8Text.hpp"

namespace platform {

namespace {

constexpr size_t hostBufferSize = 1025;
constexpr size_t serviceBufferSize = 32;

template <size_t size>
std::string textOf(const std::array<char, size>& buffer) {
  return repairedUtf8(std::string_view(buffer.data(), ::strnlen(buffer.data(), size)));
}

class LiveNameResolver final : public NameResolver {
 public:
  std::string hostName(const sockaddr_in& address, int flags) const override {
    std::array<char, hostBufferSize> host{};
    if (::getnameinfo(reinterpret_cast<const sockaddr*>(&address), sizeof address, host.data(), host.size(),
                      nullptr, 0, flags) != 0) {
      return {};
    }
    return textOf(host);
  }

  std::string serviceName(const sockaddr_in& address, int flags) const override {
    std::array<char, serviceBufferSize> service{};
    if (::getnameinfo(reinterpret_cast<const sockaddr*>(&address), sizeof address, nullptr, 0, service.data(),
                      service.size(), flags) != 0) {
      return {};
    }
    return textOf(service);
  }
};

}  // namespace

const std::shared_ptr<const NameResolver>& NameResolver::live() {
  static const std::shared_ptr<const NameResolver> resolver = std::make_shared<LiveNameResolver>();
  return resolver;
}

}  // namespace platform
