#pragma once

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Rgba.hpp"

namespace Tavrix {

// A colour from components on the 0-255 scale (each taken as value / 255) and an alpha in 0...1.
constexpr platform::Rgba rgba255(double red, double green, double blue, double alpha = 1) {
  return {red / 255, green / 255, blue / 255, alpha};
}

inline platform::ColorRef rgb255(double red, double green, double blue, double alpha = 1) {
  return platform::Color::rgb(red / 255, green / 255, blue / 255, alpha);
}

}  // namespace Tavrix
