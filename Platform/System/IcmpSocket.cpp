#include "Platform/System/IcmpSocket.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

namespace {

class KernelIcmpSocket : public IcmpSocket {
 public:
  explicit KernelIcmpSocket(int fd) : fd_(fd) {}
  ~KernelIcmpSocket() override { ::close(fd_); }
  KernelIcmpSocket(const KernelIcmpSocket&) = delete;
  KernelIcmpSocket& operator=(const KernelIcmpSocket&) = delete;

  int descriptor() const override { return fd_; }

  ssize_t sendTo(std::span<const std::byte> packet, std::span<const std::byte> address) override {
    const ssize_t sent =
        ::sendto(fd_, packet.data(), packet.size(), 0, reinterpret_cast<const sockaddr*>(address.data()),
                 static_cast<socklen_t>(address.size()));
    return sent < 0 ? -errno : sent;
  }

  ssize_t receive(std::span<std::byte> buffer) override {
    sockaddr_storage source;  // not examined
    socklen_t length = sizeof source;
    const ssize_t received =
        ::recvfrom(fd_, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr*>(&source), &length);
    return received < 0 ? -errno : received;
  }

 private:
  const int fd_;
};

}  // namespace

std::unique_ptr<IcmpSocket> IcmpSocket::open(int family, std::uint16_t identifier, int& error) {
  const int protocol = family == AF_INET6 ? int(IPPROTO_ICMPV6) : int(IPPROTO_ICMP);
  const int fd = ::socket(family, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, protocol);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  sockaddr_storage local{};
  socklen_t length = 0;
  if (family == AF_INET6) {
    auto& address = reinterpret_cast<sockaddr_in6&>(local);
    address = {.sin6_family = AF_INET6,
               .sin6_port = htons(identifier),
               .sin6_flowinfo = 0,
               .sin6_addr = in6addr_any,
               .sin6_scope_id = 0};
    length = sizeof address;
  } else {
    auto& address = reinterpret_cast<sockaddr_in&>(local);
    address = {
        .sin_family = AF_INET, .sin_port = htons(identifier), .sin_addr = {INADDR_ANY}, .sin_zero = {}};
    length = sizeof address;
  }
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), length) != 0) {
    error = errno;
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<KernelIcmpSocket>(fd);
}

}  // namespace platform
