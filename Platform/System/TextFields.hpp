#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// Small pieces shared by the parsers of /proc and /sys text: every one is bounds-checked and accepts any
// input, however truncated or hostile.
namespace platform::textfields {

// The fields of `text` separated by runs of blanks, tabs and line ends; views into `text`.
std::vector<std::string_view> splitWhitespace(std::string_view text);

// A whole field of decimal digits as an unsigned 64-bit number; absent when the field is empty, holds
// anything but digits (no sign, no blanks) or does not fit 64 bits.
std::optional<std::uint64_t> parseDecimal(std::string_view field) noexcept;

// `text` without the blanks, tabs and line ends at either end.
std::string_view trimmed(std::string_view text) noexcept;

// The lines of `text` without their line ends; a last line without one counts too.
std::vector<std::string_view> splitLines(std::string_view text);

}  // namespace platform::textfields
