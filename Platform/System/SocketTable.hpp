#pragma once

#include <sys/socket.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "Platform/System/TextSource.hpp"

namespace platform {

// One end of a socket: an IPv4 address (in the first four bytes, network order) or an IPv6 address, and a
// port. IPv4-mapped IPv6 addresses (::ffff:a.b.c.d) are IPv4.
struct SocketEndpoint {
  int family = AF_UNSPEC;
  std::array<std::uint8_t, 16> address{};
  std::uint16_t port = 0;

  // True for the IPv4 address 0.0.0.0 and the IPv6 address ::.
  bool isUnspecified() const;
  bool operator==(const SocketEndpoint&) const = default;
};

// One socket of a table under /proc/net.
struct SocketRow {
  SocketEndpoint local;
  SocketEndpoint remote;
  // The kernel's state number: TCP_ESTABLISHED (1) is also a connected UDP socket, TCP_CLOSE (7) an
  // unconnected one, TCP_LISTEN (10) a listening TCP socket.
  std::uint8_t state = 0;

  bool operator==(const SocketRow&) const = default;
};

// The kernel's socket tables: TCP and UDP, over IPv4 and over IPv6.
inline constexpr std::string_view tcpTablePath = "/proc/net/tcp";
inline constexpr std::string_view tcp6TablePath = "/proc/net/tcp6";
inline constexpr std::string_view udpTablePath = "/proc/net/udp";
inline constexpr std::string_view udp6TablePath = "/proc/net/udp6";

// The rows of a socket table (any of the four), in file order. Columns are found by the header names
// "local_address", "rem_address" (or "remote_address") and "st"; an address is 8 hexadecimal digits (IPv4)
// or 32 (IPv6), each group of 8 the kernel's 32-bit word in host order, then ":" and a 4-digit port. Rows
// that do not parse are passed over.
std::vector<SocketRow> parseSocketTable(std::string_view text);

// The same read from `path`; absent when the file cannot be read.
std::optional<std::vector<SocketRow>> readSocketTable(const TextSource& source, std::string_view path);

}  // namespace platform
