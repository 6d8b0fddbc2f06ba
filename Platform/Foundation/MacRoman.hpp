#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace platform {

// UTF-8 text as Mac OS Roman bytes (ICU's "macintosh" converter, no fallbacks), or nullopt when a character
// has no Mac OS Roman byte of its own (an emoji, a combining accent) or the text is not valid UTF-8.
std::optional<std::vector<std::uint8_t>> encodeMacRoman(std::string_view text);

}  // namespace platform
