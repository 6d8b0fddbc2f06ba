#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Platform/System/InterfaceEntry.hpp"
#include "Platform/System/LinkTable.hpp"

namespace platform {

// The machine's interface list, in the kernel's order (by interface index, each link's AF_PACKET entry
// before its addresses). Absent when the list cannot be read.
class InterfaceList {
 public:
  virtual ~InterfaceList() = default;
  virtual std::optional<std::vector<InterfaceEntry>> entries() const = 0;

  // The list of the calling thread's network namespace, from a netlink dump of its links and one of its
  // addresses on one socket (what getifaddrs does, with the links' 64-bit counters).
  static const std::shared_ptr<const InterfaceList>& live();
};

// The entries of the tables, as getifaddrs lists them: an AF_PACKET entry for every link (with its alias),
// in link order, then an entry for every address of a known link (with that link's name and flags), in
// address order. Each entry carries its link's index.
std::vector<InterfaceEntry> interfaceEntries(const InterfaceTable& table);

// An interface list looked up by name: every interface's link entry and first address of each family, in
// one pass over the list, so that a lookup costs the same however long the list is. It points into
// `entries`, which must outlive it and stay unchanged.
class InterfaceIndex {
 public:
  explicit InterfaceIndex(const std::vector<InterfaceEntry>& entries);

  // The AF_PACKET entry of the first link named `name`, or null.
  const InterfaceEntry* link(std::string_view name) const;
  // The address of the first entry of `family` (AF_INET or AF_INET6) named `name`, or absent.
  std::optional<std::string> firstAddress(std::string_view name, int family) const;

 private:
  struct Named {
    const InterfaceEntry* link = nullptr;
    const std::string* inet = nullptr;
    const std::string* inet6 = nullptr;
  };
  std::unordered_map<std::string_view, Named> byName_;
};

}  // namespace platform
