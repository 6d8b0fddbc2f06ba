#pragma once

#include <vector>

#include "Platform/Graphics/Color.hpp"

namespace Tavrix {

// The two rows of dots a graph view can draw along the bottom of its plot. A plain value: a copy changed on
// its own changes nothing until it is written back to the view. A new graph view sets fillColors to the
// separator colour.
struct TickOptions {
  // Number of large dots.
  int numberOfTicks = 0;
  // Also a small dot midway between each pair of neighbouring large dots.
  bool enableSmallTicks = true;
  // The gradient of the large dots.
  std::vector<platform::ColorRef> fillColors;
  // Master switch of the dots.
  bool showTickMarks = false;
  double smallRadius = 1;
  double largeRadius = 2;
};

}  // namespace Tavrix
