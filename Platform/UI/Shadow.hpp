#pragma once

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Geometry.hpp"

namespace platform {

// The shadow a view casts. A default shadow is black at a third opacity, with no offset and no blur.
struct Shadow {
  ColorRef color = Color::black()->withAlphaComponent(1.0 / 3);
  Size offset;
  double blurRadius = 0;
};

}  // namespace platform
