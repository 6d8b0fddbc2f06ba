#pragma once

#include <cstdint>

namespace Orvane {

// Which address families resolution may pick for a Ping.
enum class PingAddressStyle : std::int64_t { any = 0, icmpv4 = 1, icmpv6 = 2 };

}  // namespace Orvane
