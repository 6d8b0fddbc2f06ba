#include "Tavrix/Graph/SmoothCurve.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace Tavrix {

namespace {

using platform::Point;

// The height of the control point of the half between the middle height and a sample's height: the
// sample's height, reached by stepping from their midpoint back towards the sample, and kept at or below
// the top edge (y >= 0; a NaN stays NaN).
double controlHeight(double sample, double middle) {
  const double half = (sample + middle) / 2;
  double y = half;
  if (middle < sample) {
    y = half + std::abs(sample - half);
  } else if (middle > sample) {
    y = half - std::abs(sample - half);
  }
  return std::max(y, 0.0);
}

// Appends the quadratic curve from the current point to end with the given control point, as the cubic
// with control points two thirds of the way from each end towards it.
void appendQuadratic(platform::BezierPath& path, Point control, Point end) {
  const Point start = *path.currentPoint();
  const Point first{start.x + 2.0 / 3.0 * (control.x - start.x), start.y + 2.0 / 3.0 * (control.y - start.y)};
  const Point second{end.x + 2.0 / 3.0 * (control.x - end.x), end.y + 2.0 / 3.0 * (control.y - end.y)};
  path.curve(end, first, second);
}

}  // namespace

void appendSmoothCurve(platform::BezierPath& path, Point a, Point b) {
  if (!path.currentPoint()) {
    throw std::logic_error("appendSmoothCurve: the path has no current point");
  }
  const Point middle{(a.x + b.x) / 2, (a.y + b.y) / 2};
  appendQuadratic(path, {(a.x + middle.x) / 2, controlHeight(a.y, middle.y)}, middle);
  appendQuadratic(path, {(middle.x + b.x) / 2, controlHeight(b.y, middle.y)}, b);
}

}  // namespace Tavrix
