#include "Platform/System/LinkTable.hpp"

#include <linux/if_addr.h>
#include <linux/if_link.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <utility>

#include "Platform/Dispatch/FileDescriptor.hpp"
#include "Platform/System/NetlinkMessages.hpp"

namespace platform {

namespace {

constexpr std::uint32_t dumpSequence = 1;

using netlink::attributeText;
using netlink::readAt;

// The link of one RTM_NEWLINK message body, or absent when it is too short or has no name.
std::optional<LinkRecord> parseLink(std::span<const std::byte> body) {
  auto info = readAt<ifinfomsg>(body, 0);
  if (!info) return std::nullopt;
  LinkRecord link;
  link.index = info->ifi_index;
  link.hardwareType = info->ifi_type;
  link.flags = info->ifi_flags;
  netlink::forEachAttribute(netlink::attributesAfter<ifinfomsg>(body), [&](std::uint16_t type, auto payload) {
    if (type == IFLA_IFNAME) link.name = attributeText(payload);
    if (type == IFLA_IFALIAS) {
      std::string alias = attributeText(payload);
      if (!alias.empty()) link.alias = std::move(alias);
    }
    if (type == IFLA_STATS64) {
      // Older kernels send a shorter record; its leading fields, the byte counters among them, agree.
      constexpr size_t bytesEnd = offsetof(rtnl_link_stats64, tx_bytes) + sizeof(std::uint64_t);
      if (payload.size() >= bytesEnd) {
        rtnl_link_stats64 statistics{};
        std::memcpy(&statistics, payload.data(), std::min(payload.size(), sizeof statistics));
        link.counters = LinkCounters{statistics.rx_bytes, statistics.tx_bytes};
      }
    }
  });
  if (link.name.empty()) return std::nullopt;
  return link;
}

// Sends a dump request of `type` (RTM_GETLINK, RTM_GETADDR) for every family.
bool sendDumpRequest(int fd, std::uint16_t type) {
  struct {
    nlmsghdr header;
    ifinfomsg info;
    rtattr maskAttribute;
    std::uint32_t mask;
  } request{};
  request.header.nlmsg_len = sizeof request;
  request.header.nlmsg_type = type;
  request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
  request.header.nlmsg_seq = dumpSequence;
  request.info.ifi_family = AF_UNSPEC;
  // The statistics of virtual functions are not needed: leaving them out keeps the messages short.
  request.maskAttribute.rta_len = RTA_LENGTH(sizeof(std::uint32_t));
  request.maskAttribute.rta_type = IFLA_EXT_MASK;
  request.mask = RTEXT_FILTER_SKIP_STATS;
  // An address dump reads only the family of the header that starts like ifinfomsg.
  const size_t length = type == RTM_GETLINK ? sizeof request : NLMSG_LENGTH(sizeof(ifaddrmsg));
  request.header.nlmsg_len = static_cast<std::uint32_t>(length);
  sockaddr_nl kernel{};
  kernel.nl_family = AF_NETLINK;
  return ::sendto(fd, &request, length, 0, reinterpret_cast<const sockaddr*>(&kernel), sizeof kernel) ==
         static_cast<ssize_t>(length);
}

// The messages of `type` in one buffer of a dump, each body parsed by `parse` into `records`.
template <class Record, class Parse>
LinkDumpState parseMessages(std::span<const std::byte> messages, std::uint16_t type, Parse parse,
                            std::vector<Record>& records) {
  LinkDumpState state = LinkDumpState::incomplete;
  const bool whole = netlink::forEachMessage(messages, [&](const nlmsghdr& header, auto body) {
    if (header.nlmsg_type == NLMSG_DONE || header.nlmsg_type == NLMSG_ERROR) {
      state = header.nlmsg_type == NLMSG_DONE ? LinkDumpState::done : LinkDumpState::failed;
      return false;
    }
    if (header.nlmsg_type == type) {
      if (auto record = parse(body)) records.push_back(std::move(*record));
    }
    return true;
  });
  return whole ? state : LinkDumpState::failed;
}

// One dump of `type` on the socket, every buffer handed to `parse`; false when it fails.
template <class ParseBuffer>
bool dump(int fd, std::uint16_t type, std::vector<std::byte>& buffer, ParseBuffer parseBuffer) {
  return sendDumpRequest(fd, type) && receiveDump(fd, buffer, parseBuffer);
}

// The address of one RTM_NEWADDR message body: IFA_LOCAL when there is one (the local end of a
// point-to-point link), else IFA_ADDRESS, as getifaddrs takes it; absent for another family.
std::optional<AddressRecord> parseAddress(std::span<const std::byte> body) {
  auto info = readAt<ifaddrmsg>(body, 0);
  if (!info) return std::nullopt;
  std::optional<std::string> address;
  std::optional<std::string> local;
  netlink::forEachAttribute(netlink::attributesAfter<ifaddrmsg>(body), [&](std::uint16_t type, auto payload) {
    auto text = netlink::addressText(info->ifa_family, payload);
    if (text && type == IFA_ADDRESS)
      address = std::move(text);
    else if (text && type == IFA_LOCAL)
      local = std::move(text);
  });
  if (local) address = local;
  if (!address) return std::nullopt;
  return AddressRecord{static_cast<int>(info->ifa_index), info->ifa_family, std::move(*address)};
}

// Large enough for any one message the kernel sends in a dump.
constexpr size_t dumpBufferSize = 32768;

}  // namespace

LinkDumpState parseLinkMessages(std::span<const std::byte> messages, std::vector<LinkRecord>& links) {
  return parseMessages(messages, RTM_NEWLINK, parseLink, links);
}

LinkDumpState parseAddressMessages(std::span<const std::byte> messages,
                                   std::vector<AddressRecord>& addresses) {
  return parseMessages(messages, RTM_NEWADDR, parseAddress, addresses);
}

std::optional<std::vector<LinkRecord>> readLinkTable() {
  std::optional<InterfaceTable> table = readInterfaceTable(false);
  if (!table) return std::nullopt;
  return std::move(table->links);
}

std::optional<InterfaceTable> readInterfaceTable(bool withAddresses) {
  const int fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
  if (fd < 0) return std::nullopt;
  const FileDescriptor socket(fd, "netlink socket");
  // Reads give up after a second.
  const timeval timeout{.tv_sec = 1, .tv_usec = 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  std::vector<std::byte> buffer(dumpBufferSize);
  InterfaceTable table;
  if (!dump(fd, RTM_GETLINK, buffer,
            [&](std::span<const std::byte> messages) { return parseLinkMessages(messages, table.links); })) {
    return std::nullopt;
  }
  if (withAddresses && !dump(fd, RTM_GETADDR, buffer, [&](std::span<const std::byte> messages) {
        return parseAddressMessages(messages, table.addresses);
      })) {
    return std::nullopt;
  }
  return table;
}

}  // namespace platform
