#pragma once

#include <sys/socket.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "Platform/System/InterfaceEntry.hpp"

namespace platform {

// One link of the kernel's link table (an RTM_NEWLINK message of a netlink dump).
struct LinkRecord {
  int index = 0;
  std::string name;
  // ARPHRD_ hardware type.
  std::uint16_t hardwareType = 0;
  unsigned flags = 0;
  // The alias an administrator gave the link ("ip link set dev X alias TEXT"); absent when none is set.
  std::optional<std::string> alias;
  // The byte counters of the link's 64-bit statistics (IFLA_STATS64); absent when the message has none.
  std::optional<LinkCounters> counters;

  bool operator==(const LinkRecord&) const = default;
};

// One address of the kernel's address table (an RTM_NEWADDR message of a netlink dump).
struct AddressRecord {
  int index = 0;        // the link's
  int family = 0;       // AF_INET or AF_INET6
  std::string address;  // as inet_ntop writes it, so without a "%scope" suffix

  bool operator==(const AddressRecord&) const = default;
};

// The links and the addresses of a network namespace, each in the kernel's order.
struct InterfaceTable {
  std::vector<LinkRecord> links;
  std::vector<AddressRecord> addresses;
};

// Where a dump stands after a buffer of messages: more buffers to come, finished, or failed (an error
// message, or a message whose length runs outside the buffer).
enum class LinkDumpState { incomplete, done, failed };

// Appends the links of the RTM_NEWLINK messages in `messages` (one buffer received from the dump) to
// `links`, in order. Every length is checked against the buffer; messages without a name are passed over,
// and an attribute that runs outside its message ends that message's attributes.
LinkDumpState parseLinkMessages(std::span<const std::byte> messages, std::vector<LinkRecord>& links);

// The same for RTM_NEWADDR messages: IPv4 and IPv6 addresses, IFA_LOCAL before IFA_ADDRESS (the local end
// of a point-to-point link), as getifaddrs takes them; a message without an address of the right size is
// passed over.
LinkDumpState parseAddressMessages(std::span<const std::byte> messages,
                                   std::vector<AddressRecord>& addresses);

// Receives the buffers of a dump already requested on the netlink socket fd into `buffer`, handing each
// to `parseBuffer`, which tells where the dump stands. True once it is done; false when it fails or a read
// fails or times out. Interrupted reads are retried.
template <class ParseBuffer>
bool receiveDump(int fd, std::vector<std::byte>& buffer, ParseBuffer parseBuffer) {
  for (;;) {
    const ssize_t received = ::recv(fd, buffer.data(), buffer.size(), 0);
    if (received < 0 && errno == EINTR) continue;
    if (received <= 0) return false;
    switch (parseBuffer(std::span<const std::byte>(buffer.data(), static_cast<std::size_t>(received)))) {
      case LinkDumpState::done: return true;
      case LinkDumpState::failed: return false;
      case LinkDumpState::incomplete: break;
    }
  }
}

// Every link of the calling thread's network namespace with its counters, by a netlink RTM_GETLINK dump;
// absent when the dump fails or does not finish within a second.
std::optional<std::vector<LinkRecord>> readLinkTable();
// The links and, with `withAddresses`, the addresses too, by two dumps on one netlink socket.
std::optional<InterfaceTable> readInterfaceTable(bool withAddresses);

}  // namespace platform
