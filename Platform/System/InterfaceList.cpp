#include "Platform/System/InterfaceList.hpp"

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
  // Each address finds its link by index; the first link of an index is the one kept.
  std::unordered_map<int, const LinkRecord*> linksByIndex;
  linksByIndex.reserve(table.links.size());
  for (const LinkRecord& link : table.links) {
    linksByIndex.try_emplace(link.index, &link);
    entries.push_back({link.name, AF_PACKET, link.flags, link.hardwareType, link.counters, std::nullopt,
                       link.alias, link.index});
  }
  for (const AddressRecord& address : table.addresses) {
    const auto found = linksByIndex.find(address.index);
    if (found == linksByIndex.end()) continue;
    const LinkRecord& link = *found->second;
    entries.push_back(
        {link.name, address.family, link.flags, std::nullopt, std::nullopt, address.address, {}, link.index});
  }
  return entries;
}

InterfaceIndex::InterfaceIndex(const std::vector<InterfaceEntry>& entries) {
  byName_.reserve(entries.size());
  for (const InterfaceEntry& entry : entries) {
    Named& named = byName_[entry.name];
    if (entry.family == AF_PACKET && !named.link) named.link = &entry;
    if (!entry.address) continue;
    if (entry.family == AF_INET && !named.inet) named.inet = &*entry.address;
    if (entry.family == AF_INET6 && !named.inet6) named.inet6 = &*entry.address;
  }
}

const InterfaceEntry* InterfaceIndex::link(std::string_view name) const {
  const auto found = byName_.find(name);
  return found == byName_.end() ? nullptr : found->second.link;
}

std::optional<std::string> InterfaceIndex::firstAddress(std::string_view name, int family) const {
  const auto found = byName_.find(name);
  if (found == byName_.end()) return std::nullopt;
  const std::string* address = family == AF_INET    ? found->second.inet
                               : family == AF_INET6 ? found->second.inet6
                                                    : nullptr;
  return address ? std::optional(*address) : std::nullopt;
}

}  // namespace platform
