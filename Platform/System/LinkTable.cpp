#include "Platform/System/LinkTable.hpp"

#include <linux/if_link.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cerrno>
#include <cstring>
#include <string_view>

namespace platform {

namespace {

constexpr std::uint32_t dumpSequence = 1;

size_t aligned(size_t length, size_t alignment) { return (length + alignment - 1) / alignment * alignment; }

// Reads a T at `offset` of `bytes`, whatever the alignment, when it fits.
template <class T>
std::optional<T> readAt(std::span<const std::byte> bytes, size_t offset) {
  if (offset > bytes.size() || bytes.size() - offset < sizeof(T)) return std::nullopt;
  T value;
  std::memcpy(&value, bytes.data() + offset, sizeof(T));
  return value;
}

// An attribute's text up to its first zero byte.
std::string attributeText(std::span<const std::byte> payload) {
  std::string_view text(reinterpret_cast<const char*>(payload.data()), payload.size());
  return std::string(text.substr(0, text.find('\0')));
}

// The link of one RTM_NEWLINK message body, or absent when it is too short or has no name.
std::optional<LinkRecord> parseLink(std::span<const std::byte> body) {
  auto info = readAt<ifinfomsg>(body, 0);
  if (!info) return std::nullopt;
  LinkRecord link;
  link.index = info->ifi_index;
  link.hardwareType = info->ifi_type;
  link.flags = info->ifi_flags;
  size_t offset = aligned(sizeof(ifinfomsg), NLMSG_ALIGNTO);
  while (auto attribute = readAt<rtattr>(body, offset)) {
    size_t length = attribute->rta_len;
    if (length < sizeof(rtattr) || length > body.size() - offset) break;
    auto payload = body.subspan(offset + sizeof(rtattr), length - sizeof(rtattr));
    if (attribute->rta_type == IFLA_IFNAME) link.name = attributeText(payload);
    if (attribute->rta_type == IFLA_IFALIAS) {
      std::string alias = attributeText(payload);
      if (!alias.empty()) link.alias = std::move(alias);
    }
    if (attribute->rta_type == IFLA_STATS64) {
      // Older kernels send a shorter record; its leading fields, the byte counters among them, agree.
      constexpr size_t bytesEnd = offsetof(rtnl_link_stats64, tx_bytes) + sizeof(std::uint64_t);
      if (payload.size() >= bytesEnd) {
        rtnl_link_stats64 statistics{};
        std::memcpy(&statistics, payload.data(), std::min(payload.size(), sizeof statistics));
        link.counters = LinkCounters{statistics.rx_bytes, statistics.tx_bytes};
      }
    }
    offset += std::min(aligned(length, RTA_ALIGNTO), body.size() - offset);
  }
  if (link.name.empty()) return std::nullopt;
  return link;
}

class NetlinkSocket {
 public:
  NetlinkSocket() : fd_(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE)) {}
  ~NetlinkSocket() {
    if (fd_ >= 0) ::close(fd_);
  }
  NetlinkSocket(const NetlinkSocket&) = delete;
  NetlinkSocket& operator=(const NetlinkSocket&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

bool sendLinkDumpRequest(int fd) {
  struct {
    nlmsghdr header;
    ifinfomsg info;
    rtattr maskAttribute;
    std::uint32_t mask;
  } request{};
  request.header.nlmsg_len = sizeof request;
  request.header.nlmsg_type = RTM_GETLINK;
  request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
  request.header.nlmsg_seq = dumpSequence;
  request.info.ifi_family = AF_UNSPEC;
  // The statistics of virtual functions are not needed: leaving them out keeps the messages short.
  request.maskAttribute.rta_len = RTA_LENGTH(sizeof(std::uint32_t));
  request.maskAttribute.rta_type = IFLA_EXT_MASK;
  request.mask = RTEXT_FILTER_SKIP_STATS;
  sockaddr_nl kernel{};
  kernel.nl_family = AF_NETLINK;
  return ::sendto(fd, &request, sizeof request, 0, reinterpret_cast<const sockaddr*>(&kernel),
                  sizeof kernel) == static_cast<ssize_t>(sizeof request);
}

}  // namespace

LinkDumpState parseLinkMessages(std::span<const std::byte> messages, std::vector<LinkRecord>& links) {
  size_t offset = 0;
  while (auto header = readAt<nlmsghdr>(messages, offset)) {
    size_t length = header->nlmsg_len;
    if (length < sizeof(nlmsghdr) || length > messages.size() - offset) return LinkDumpState::failed;
    if (header->nlmsg_type == NLMSG_DONE) return LinkDumpState::done;
    if (header->nlmsg_type == NLMSG_ERROR) return LinkDumpState::failed;
    if (header->nlmsg_type == RTM_NEWLINK) {
      auto body = messages.subspan(offset + sizeof(nlmsghdr), length - sizeof(nlmsghdr));
      if (auto link = parseLink(body)) links.push_back(std::move(*link));
    }
    offset += std::min(aligned(length, NLMSG_ALIGNTO), messages.size() - offset);
  }
  return LinkDumpState::incomplete;
}

std::optional<std::vector<LinkRecord>> readLinkTable() {
  NetlinkSocket socket;
  if (socket.fd() < 0) return std::nullopt;
  timeval timeout{.tv_sec = 1, .tv_usec = 0};
  ::setsockopt(socket.fd(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  if (!sendLinkDumpRequest(socket.fd())) return std::nullopt;

  std::vector<LinkRecord> links;
  // Large enough for any one message the kernel sends in a dump.
  std::vector<std::byte> buffer(32768);
  for (;;) {
    ssize_t received = ::recv(socket.fd(), buffer.data(), buffer.size(), 0);
    if (received < 0 && errno == EINTR) continue;
    if (received <= 0) return std::nullopt;
    switch (parseLinkMessages(std::span(buffer.data(), static_cast<size_t>(received)), links)) {
      case LinkDumpState::done:
        return links;
      case LinkDumpState::failed:
        return std::nullopt;
      case LinkDumpState::incomplete:
        break;
    }
  }
}

}  // namespace platform
