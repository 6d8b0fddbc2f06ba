#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace platform {

// A whole field of hexadecimal digits (either case, no "0x", no sign, no blanks) as an unsigned number;
// absent when the field is empty, holds anything else or does not fit 64 bits.
std::optional<std::uint64_t> parseHexField(std::string_view field);

}  // namespace platform
