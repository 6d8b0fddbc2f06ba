#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "Platform/System/TextSource.hpp"

namespace platform {

// The primary interface of the IPv4 routing table: the interface of the usable default route (destination
// and mask 0, flag RTF_UP) with the lowest metric, the first such row among equals. Columns are found by the
// names in the header line of /proc/net/route; rows that do not parse are passed over. Absent when there is
// no default route or the header lacks a needed column.
std::optional<std::string> parsePrimaryInterface(std::string_view routeTable);

// The same, read from /proc/thread-self/net/route (the network namespace of the calling thread, which a
// monitor on a thread of its own may have entered; /proc/net is the main thread's); absent when the file
// cannot be read.
std::optional<std::string> readPrimaryInterface(const TextSource& source);

}  // namespace platform
