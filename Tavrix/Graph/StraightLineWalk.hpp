#pragma once

#include <optional>
#include <vector>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/Geometry.hpp"
#include "Tavrix/Graph/IDataPlotter.hpp"

namespace Tavrix {

// The y of a value in the straight line plotters, with usable = H - I - L the y of the minimum:
// usable - (v - min) / (max - min) * usable. Missing and NaN values give usable, and so does every value
// when max equals min.
double straightLineY(std::optional<double> value, double min, double max, double usable);

// The points of a straight line through a series of at least two samples, in a host of the given size
// with bottom inset I and line width L. The first sample lies at (0, y + 1), without the half line width
// the others get; with step = (W - 2L) / (n - 1), sample i lies at (step * i + 1, y + L/2) and the last
// sample at (W + L, y + L/2). A missing sample either ends the walk (gapsEndTheLine) or lies on the
// bottom line, where missing values map.
struct StraightLineWalk {
  StraightLineWalk(const PlotterData& data, platform::Size size, double min, double max, double bottomInset,
                   double lineWidth, bool gapsEndTheLine);

  // The first point and one per sample up to the end of the walk: points[i] belongs to sample i.
  std::vector<platform::Point> points;
  // True when a missing sample ended the walk.
  bool endedAtGap = false;
};

// Straight lines from the first point through the others in order.
platform::BezierPath polyline(const std::vector<platform::Point>& points);

}  // namespace Tavrix
