#pragma once

#include <vector>

#include "Bexlan/Point.hpp"

namespace Bexlan {

// Ramer-Douglas-Peucker simplification of a polyline.
class RamerDouglasPeucker {
 public:
  RamerDouglasPeucker() = delete;

  // The first point and every further point without which the simplified line would stray from the given
  // one by more than epsilon, in the order of the input. The last point is always kept when there are two
  // or more. An empty list, or an epsilon that is negative or NaN, gives an empty result.
  //
  // A span is split at its interior point furthest from the line through its two ends (the first of equal
  // furthest points); a span whose ends coincide has no such line, so its interior points are dropped.
  // Spans wait on an explicit stack, so deep splits need no deep call stack.
  static std::vector<Point> simplify(const std::vector<Point>& points, double epsilon);
};

}  // namespace Bexlan
