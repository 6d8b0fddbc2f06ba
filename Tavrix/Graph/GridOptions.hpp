#pragma once

#include <optional>
#include <vector>

#include "Platform/Graphics/Color.hpp"

namespace Tavrix {

// How a graph view draws its grid. A plain value: a copy changed on its own changes nothing until it is
// written back to the view.
struct GridOptions {
  // The default grid: lines two device pixels wide on the main screen of this moment (2 points without a
  // main screen; a later change of screen does not change it), top and bottom lines, four columns and four
  // rows, solid lines in the separator colour.
  GridOptions();

  // Width of every grid line; also the line width handed to the view's x axis.
  double gridLineWidth;
  // A solid line along the bottom edge of the plot.
  bool drawBottomLine = true;
  // A line along the top edge.
  bool drawTopLine = true;
  // Dash phase and pattern of the top and inner lines; no pattern draws them solid.
  double lineDashPhase = 0;
  std::optional<std::vector<double>> lineDashPattern;
  platform::ColorRef color;
  // Equal columns and rows: verticalSegments - 1 inner vertical lines, horizontalSegments - 1 horizontal.
  int verticalSegments = 4;
  int horizontalSegments = 4;
};

}  // namespace Tavrix
