#include "Platform/System/InterfaceList.hpp"

#include <arpa/inet.h>
#include <linux/if_packet.h>
#include <netinet/in.h>

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

class LiveInterfaceList final : public InterfaceList {
 public:
  std::optional<std::vector<InterfaceEntry>> entries() const override {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return std::nullopt;
    std::vector<InterfaceEntry> result;
    for (const ifaddrs* node = list; node != nullptr; node = node->ifa_next) {
      if (auto entry = interfaceEntry(*node)) result.push_back(std::move(*entry));
    }
    ::freeifaddrs(list);
    if (auto links = readLinkTable()) attachCounters(result, *links);
    return result;
  }
};

template <class SocketAddress>
SocketAddress copyAddress(const sockaddr& address) {
  SocketAddress copy;
  std::memcpy(&copy, &address, sizeof copy);
  return copy;
}

std::optional<std::string> addressText(int family, const void* address) {
  char text[INET6_ADDRSTRLEN] = {};
  if (::inet_ntop(family, address, text, sizeof text) == nullptr) return std::nullopt;
  return std::string(text);
}

}  // namespace

const std::shared_ptr<const InterfaceList>& InterfaceList::live() {
  static const std::shared_ptr<const InterfaceList> list = std::make_shared<LiveInterfaceList>();
  return list;
}

void MemoryInterfaceList::set(std::optional<std::vector<InterfaceEntry>> entries) {
  std::lock_guard lock(mutex_);
  entries_ = std::move(entries);
}

std::optional<std::vector<InterfaceEntry>> MemoryInterfaceList::entries() const {
  std::lock_guard lock(mutex_);
  return entries_;
}

std::optional<InterfaceEntry> interfaceEntry(const ifaddrs& node) {
  if (node.ifa_name == nullptr || node.ifa_addr == nullptr) return std::nullopt;
  InterfaceEntry entry;
  entry.name = node.ifa_name;
  entry.family = node.ifa_addr->sa_family;
  entry.flags = node.ifa_flags;
  switch (entry.family) {
    case AF_PACKET: {
      // getifaddrs allocates each address with room for its family's full structure.
      entry.hardwareType = copyAddress<sockaddr_ll>(*node.ifa_addr).sll_hatype;
      break;
    }
    case AF_INET: {
      auto address = copyAddress<sockaddr_in>(*node.ifa_addr);
      entry.address = addressText(AF_INET, &address.sin_addr);
      break;
    }
    case AF_INET6: {
      auto address = copyAddress<sockaddr_in6>(*node.ifa_addr);
      entry.address = addressText(AF_INET6, &address.sin6_addr);
      break;
    }
    default:
      break;
  }
  return entry;
}

void attachCounters(std::vector<InterfaceEntry>& entries, const std::vector<LinkRecord>& links) {
  for (auto& entry : entries) {
    if (entry.family != AF_PACKET) continue;
    auto link = std::find_if(links.begin(), links.end(),
                             [&](const LinkRecord& candidate) { return candidate.name == entry.name; });
    entry.counters = link == links.end() ? std::nullopt : link->counters;
  }
}

std::optional<std::string> firstAddress(const std::vector<InterfaceEntry>& entries, std::string_view name,
                                        int family) {
  for (const auto& entry : entries) {
    if (entry.family == family && entry.name == name && entry.address) return entry.address;
  }
  return std::nullopt;
}

}  // namespace platform
