#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "Platform/System/LinkTable.hpp"
#include "Platform/System/NetworkPath.hpp"

namespace platform {

// Gathers the replies of the link, address and route dumps (RTM_NEWLINK, RTM_NEWADDR, RTM_NEWROUTE), one
// received buffer at a time, and makes the path from them.
class NetworkPathBuilder {
 public:
  // Adds the messages of one buffer whose sequence number is `sequence` (others are stale replies and are
  // passed over) and tells where the dump stands. Every length is checked against the buffer.
  LinkDumpState add(std::span<const std::byte> messages, std::uint32_t sequence);
  NetworkPath path() const;

 private:
  struct Link {
    int index;
    std::string name;
    unsigned flags;
  };

  std::vector<Link> links_;
  std::map<int, std::vector<std::string>> addresses_;
  std::vector<NetworkPath::DefaultRoute> routes_;
};

}  // namespace platform
