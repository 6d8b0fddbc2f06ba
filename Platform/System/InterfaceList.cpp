#include "Platform/System/InterfaceList.hpp"

#include <algorithm>

namespace platform {

namespace {

class LiveInterfaceList final : public InterfaceList {
 public:
  std::optional<std::vector<InterfaceEntry>> entries() const override {
    std::optional<InterfaceTable> table = readInterfaceTable(true);
    if (!table) return std::nullopt;
    return interfaceEntries(*table);
  }
};

}  // namespace

const std::shared_ptr<const InterfaceList>& InterfaceList::live() {
  static const std::shared_ptr<const InterfaceList> list = std::make_shared<LiveInterfaceList>();
  return list;
}

std::vector<InterfaceEntry> interfaceEntries(const InterfaceTable& table) {
  std::vector<InterfaceEntry> entries;
  entries.reserve(table.links.size() + table.addresses.size());
  for (const LinkRecord& link : table.links) {
    entries.push_back(
        {link.name, AF_PACKET, link.flags, link.hardwareType, link.counters, std::nullopt, link.alias});
  }
  for (const AddressRecord& address : table.addresses) {
    const auto link = std::find_if(table.links.begin(), table.links.end(), [&](const LinkRecord& candidate) {
      return candidate.index == address.index;
    });
    if (link == table.links.end()) continue;
    entries.push_back({link->name, address.family, link->flags, std::nullopt, std::nullopt, address.address});
  }
  return entries;
}

std::optional<std::string> firstAddress(const std::vector<InterfaceEntry>& entries, std::string_view name,
                                        int family) {
  for (const auto& entry : entries) {
    if (entry.family == family && entry.name == name && entry.address) return entry.address;
  }
  return std::nullopt;
}

}  // namespace platform
