#include "Platform/System/HexField.hpp"

#include <charconv>

namespace platform {

std::optional<std::uint64_t> parseHexField(std::string_view field) {
  // For an unsigned type from_chars takes digits only: no sign, no prefix, no blanks.
  std::uint64_t value = 0;
  const char* end = field.data() + field.size();
  auto [stop, error] = std::from_chars(field.data(), end, value, 16);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

}  // namespace platform
