#pragma once

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Geometry.hpp"

namespace platform {

// The background of large controls (scroll, clip, table and collection views) until they are given another:
// white in a light appearance, a near-black grey in a dark one.
inline const ColorRef& controlBackgroundColor() {
  static const ColorRef color = Color::dynamic(Rgba{1, 1, 1, 1}, Rgba{30 / 255.0, 30 / 255.0, 30 / 255.0, 1});
  return color;
}

// Fills rect with the colour in the current graphics context; nothing without a colour or a context.
void fillBackground(const ColorRef& color, const Rect& rect);

}  // namespace platform
