#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "Platform/System/TextSource.hpp"

namespace platform {

// The largest processor number a list may name; the kernel allows at most 8192 processors.
inline constexpr unsigned maxCpuNumber = 65535;

// Parses a processor list in the kernel's format ("0-3,6,8-11" with an optional line end) into its
// numbers, ascending and without repeats. An empty text is an empty list. Absent when an item is not a
// number or an ascending range, names a processor above maxCpuNumber, or its items together hold more
// numbers than there can be processors.
std::optional<std::vector<unsigned>> parseCpuList(std::string_view text);

// The online processors, from /sys/devices/system/cpu/online; absent when it cannot be read or parsed.
std::optional<std::vector<unsigned>> readOnlineCpus(const TextSource& source);

}  // namespace platform
