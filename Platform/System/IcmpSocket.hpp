#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace platform {

// A datagram socket for ICMP echo: the kernel's unprivileged ICMP (AF_INET) or ICMPv6 (AF_INET6) socket,
// or a stand-in in tests.
class IcmpSocket {
 public:
  virtual ~IcmpSocket() = default;

  // The descriptor to watch for replies.
  virtual int descriptor() const = 0;
  // Sends one packet to `address` (the bytes of a socket address); the count sent, or -errno.
  virtual ssize_t sendTo(std::span<const std::byte> packet, std::span<const std::byte> address) = 0;
  // Receives one datagram into `buffer` without waiting; the count received, or -errno (-EAGAIN when none
  // is waiting).
  virtual ssize_t receive(std::span<std::byte> buffer) = 0;

  // An ICMP socket of `family` in the calling thread's network namespace, bound to `identifier`: the
  // kernel puts the bound port in every echo request's identifier field and delivers only the replies that
  // carry it. The caller's group must lie in net.ipv4.ping_group_range (else EACCES). Null with `error` set
  // to errno when it cannot be opened or bound (EADDRINUSE when another socket holds the identifier).
  static std::unique_ptr<IcmpSocket> open(int family, std::uint16_t identifier, int& error);
};

}  // namespace platform
