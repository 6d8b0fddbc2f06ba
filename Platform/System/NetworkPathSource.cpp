#include "Platform/System/NetworkPathSource.hpp"

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <cerrno>
#include <vector>

#include "Platform/Dispatch/FileDescriptor.hpp"
#include "Platform/System/NetworkPathBuilder.hpp"

namespace platform {

namespace {

class NetlinkPathSource : public NetworkPathSource {
 public:
  NetlinkPathSource()
      : events_(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE),
                "netlink socket"),
        queries_(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE), "netlink socket") {
    sockaddr_nl groups{};
    groups.nl_family = AF_NETLINK;
    groups.nl_groups =
        RTMGRP_LINK | RTMGRP_IPV4_IFADDR | RTMGRP_IPV6_IFADDR | RTMGRP_IPV4_ROUTE | RTMGRP_IPV6_ROUTE;
    if (::bind(events_.get(), reinterpret_cast<const sockaddr*>(&groups), sizeof groups) != 0) {
      throw std::system_error(errno, std::generic_category(), "bind netlink groups");
    }
    const timeval timeout{.tv_sec = 1, .tv_usec = 0};
    ::setsockopt(queries_.get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  }

  int changeDescriptor() const override { return events_.get(); }

  void drainChanges() override {
    std::vector<std::byte> buffer(16384);
    // Until EAGAIN; ENOBUFS (reports were lost) changes nothing, as the path is read anew anyway.
    for (;;) {
      const ssize_t received = ::recv(events_.get(), buffer.data(), buffer.size(), 0);
      if (received <= 0 && !(received < 0 && (errno == EINTR || errno == ENOBUFS))) return;
    }
  }

  std::optional<NetworkPath> readPath() override {
    NetworkPathBuilder builder;
    for (const std::uint16_t type : {RTM_GETLINK, RTM_GETADDR, RTM_GETROUTE}) {
      if (!dump(type, builder)) return std::nullopt;
    }
    return builder.path();
  }

 private:
  bool dump(std::uint16_t type, NetworkPathBuilder& builder) {
    struct {
      nlmsghdr header;
      rtgenmsg family;
    } request{};
    request.header.nlmsg_len = sizeof request;
    request.header.nlmsg_type = type;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.header.nlmsg_seq = ++sequence_;
    request.family.rtgen_family = AF_UNSPEC;
    if (::send(queries_.get(), &request, sizeof request, 0) != static_cast<ssize_t>(sizeof request))
      return false;
    std::vector<std::byte> buffer(32768);  // larger than any one message of a dump
    return receiveDump(queries_.get(), buffer,
                       [&](std::span<const std::byte> messages) { return builder.add(messages, sequence_); });
  }

  FileDescriptor events_;
  FileDescriptor queries_;
  std::uint32_t sequence_ = 0;
};

}  // namespace

std::unique_ptr<NetworkPathSource> NetworkPathSource::openNetlink() {
  try {
    return std::make_unique<NetlinkPathSource>();
  } catch (const std::system_error&) {
    return nullptr;
  }
}

}  // namespace platform
