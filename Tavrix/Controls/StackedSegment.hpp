#pragma once

#include "Platform/Graphics/Color.hpp"

namespace Tavrix {

// One share of a StackedSegmentView: its fraction of the view's width and its colour.
struct StackedSegment {
  double value = 0;
  platform::ColorRef color;
};

}  // namespace Tavrix
