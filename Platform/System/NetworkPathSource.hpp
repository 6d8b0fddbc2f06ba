#pragma once

#include <memory>
#include <optional>

#include "Platform/System/NetworkPath.hpp"

namespace platform {

// Where a network path monitor learns of changes and reads the path: the kernel's routing messages, or a
// fake in tests.
class NetworkPathSource {
 public:
  virtual ~NetworkPathSource() = default;

  // A descriptor that polls readable while change reports are pending.
  virtual int changeDescriptor() const = 0;
  // Reads and drops the pending change reports.
  virtual void drainChanges() = 0;
  // The path now; absent when it cannot be read.
  virtual std::optional<NetworkPath> readPath() = 0;

  // Netlink (NETLINK_ROUTE) sockets of the calling thread's network namespace: one that listens to the link,
  // IPv4 and IPv6 address and route groups, one for the dumps that read the path. Null when they cannot be
  // opened.
  static std::unique_ptr<NetworkPathSource> openNetlink();
};

}  // namespace platform
