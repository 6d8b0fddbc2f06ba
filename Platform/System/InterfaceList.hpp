#pragma once

#include <memory>
#include <optional>
#include <string_view>
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
// address order.
std::vector<InterfaceEntry> interfaceEntries(const InterfaceTable& table);

// The address of the first entry of `family` (AF_INET or AF_INET6) named `name`, or absent.
std::optional<std::string> firstAddress(const std::vector<InterfaceEntry>& entries, std::string_view name,
                                        int family);

}  // namespace platform
