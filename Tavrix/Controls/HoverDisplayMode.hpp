#pragma once

#include <cstdint>
#include <optional>

namespace Tavrix {

// How a simple tile answers the pointer: a border (rectangle), a slide to the left (shift) or a glow
// (shadow). The raw values are those interface files store.
enum class HoverDisplayMode : std::int64_t { rectangle = 0, shift = 1, shadow = 2 };

// The mode with a raw value, or nothing for a value outside 0 to 2.
constexpr std::optional<HoverDisplayMode> hoverDisplayMode(std::int64_t rawValue) {
  if (rawValue < 0 || rawValue > 2) {
    return std::nullopt;
  }
  return static_cast<HoverDisplayMode>(rawValue);
}

}  // namespace Tavrix
