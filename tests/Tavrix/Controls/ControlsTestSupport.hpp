#pragma once

#include "Platform/Graphics/Rgba.hpp"

namespace Tavrix::test {

// A colour as a rendered pixel stores it: components multiplied by alpha.
inline platform::Rgba premultiplied(const platform::Rgba& color) {
  return {color.red * color.alpha, color.green * color.alpha, color.blue * color.alpha, color.alpha};
}

}  // namespace Tavrix::test
