#include "Platform/System/NetworkPathBuilder.hpp"

#include <linux/if_addr.h>
#include <net/if.h>

#include <algorithm>
#include <optional>

#include "Platform/System/NetlinkMessages.hpp"

namespace platform {

namespace {

using netlink::addressText;
using netlink::attributesAfter;
using netlink::attributeText;
using netlink::forEachAttribute;
using netlink::readAt;

}  // namespace

LinkDumpState NetworkPathBuilder::add(std::span<const std::byte> messages, std::uint32_t sequence) {
  LinkDumpState state = LinkDumpState::incomplete;
  const bool complete = netlink::forEachMessage(messages, [&](const nlmsghdr& header,
                                                              std::span<const std::byte> body) {
    if (header.nlmsg_seq != sequence) return true;
    if (header.nlmsg_type == NLMSG_DONE || header.nlmsg_type == NLMSG_ERROR) {
      state = header.nlmsg_type == NLMSG_DONE ? LinkDumpState::done : LinkDumpState::failed;
      return false;
    }
    if (header.nlmsg_type == RTM_NEWLINK) {
      const std::optional<ifinfomsg> info = readAt<ifinfomsg>(body, 0);
      if (!info) return true;
      Link link{info->ifi_index, {}, info->ifi_flags};
      forEachAttribute(attributesAfter<ifinfomsg>(body),
                       [&](unsigned type, std::span<const std::byte> payload) {
                         if (type == IFLA_IFNAME) link.name = attributeText(payload);
                       });
      links_.push_back(std::move(link));
    }
    if (header.nlmsg_type == RTM_NEWADDR) {
      const std::optional<ifaddrmsg> info = readAt<ifaddrmsg>(body, 0);
      if (!info) return true;
      std::optional<std::string> address, local;
      forEachAttribute(attributesAfter<ifaddrmsg>(body),
                       [&](unsigned type, std::span<const std::byte> payload) {
                         if (type == IFA_ADDRESS) address = addressText(info->ifa_family, payload);
                         if (type == IFA_LOCAL) local = addressText(info->ifa_family, payload);
                       });
      // IFA_LOCAL is the interface's own address; IFA_ADDRESS is the peer's on a point-to-point link.
      if (local || address) {
        addresses_[int(info->ifa_index)].push_back((local ? *local : *address) + "/" +
                                                   std::to_string(info->ifa_prefixlen));
      }
    }
    if (header.nlmsg_type == RTM_NEWROUTE) {
      const std::optional<rtmsg> route = readAt<rtmsg>(body, 0);
      if (!route || route->rtm_dst_len != 0 || route->rtm_type != RTN_UNICAST) return true;
      std::uint32_t table = route->rtm_table;
      NetworkPath::DefaultRoute found{route->rtm_family, 0, {}};
      forEachAttribute(attributesAfter<rtmsg>(body), [&](unsigned type, std::span<const std::byte> payload) {
        if (type == RTA_TABLE) table = readAt<std::uint32_t>(payload, 0).value_or(table);
        if (type == RTA_OIF) found.interfaceIndex = readAt<std::int32_t>(payload, 0).value_or(0);
        if (type == RTA_GATEWAY) found.gateway = addressText(route->rtm_family, payload).value_or("");
      });
      if (table == RT_TABLE_MAIN && found.interfaceIndex > 0) routes_.push_back(found);
    }
    return true;
  });
  return complete ? state : LinkDumpState::failed;
}

NetworkPath NetworkPathBuilder::path() const {
  NetworkPath path;
  for (const Link& link : links_) {
    if ((link.flags & IFF_UP) == 0 || (link.flags & IFF_LOOPBACK) != 0) continue;
    NetworkPath::Interface interface {
      link.index, link.name, {}
    };
    if (const auto found = addresses_.find(link.index); found != addresses_.end())
      interface.addresses = found->second;
    std::sort(interface.addresses.begin(), interface.addresses.end());
    path.interfaces.push_back(std::move(interface));
  }
  std::sort(path.interfaces.begin(), path.interfaces.end(),
            [](const auto& a, const auto& b) { return a.index < b.index; });
  for (const NetworkPath::DefaultRoute& route : routes_) {
    const auto same = [&](const NetworkPath::Interface& interface) {
      return interface.index == route.interfaceIndex;
    };
    if (std::any_of(path.interfaces.begin(), path.interfaces.end(), same))
      path.defaultRoutes.push_back(route);
  }
  std::sort(path.defaultRoutes.begin(), path.defaultRoutes.end());
  return path;
}

}  // namespace platform
