#pragma once

#include <ifaddrs.h>

#include <memory>
#include <mutex>
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

  // The list of the calling thread's network namespace, read with getifaddrs; the links' counters are the
  // 64-bit ones of a netlink link dump (entries have none when that dump fails).
  static const std::shared_ptr<const InterfaceList>& live();
};

// A list held in memory, for tests. Thread-safe.
class MemoryInterfaceList final : public InterfaceList {
 public:
  // Absent makes the next reads fail.
  void set(std::optional<std::vector<InterfaceEntry>> entries);
  std::optional<std::vector<InterfaceEntry>> entries() const override;

 private:
  mutable std::mutex mutex_;
  std::optional<std::vector<InterfaceEntry>> entries_;
};

// One getifaddrs node as an entry, without counters; absent for a node without a name or an address.
// Address texts come from inet_ntop, so link-local IPv6 addresses carry no "%scope" suffix.
std::optional<InterfaceEntry> interfaceEntry(const ifaddrs& node);

// Gives each AF_PACKET entry the counters of the link of its name (none when `links` has no such link or
// it came without counters).
void attachCounters(std::vector<InterfaceEntry>& entries, const std::vector<LinkRecord>& links);

// The address of the first entry of `family` (AF_INET or AF_INET6) named `name`, or absent.
std::optional<std::string> firstAddress(const std::vector<InterfaceEntry>& entries, std::string_view name,
                                        int family);

}  // namespace platform
