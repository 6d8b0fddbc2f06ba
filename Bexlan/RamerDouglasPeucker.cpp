#include "Bexlan/RamerDouglasPeucker.hpp"

#include <cmath>
#include <cstddef>

namespace Bexlan {

namespace {

struct Span {
  size_t start;
  size_t end;
};

struct Furthest {
  double distance = 0;
  size_t index = 0;
};

// The interior point of the span furthest from the line through its ends. Distances are evaluated in one
// fixed order so that results do not depend on the compiler's choices; a NaN distance (ends that coincide)
// never wins, nor does a later point at the same distance.
Furthest furthestInterior(const std::vector<Point>& points, Span span) {
  const auto [x1, y1] = points[span.start];
  const auto [x2, y2] = points[span.end];
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  const double length = std::sqrt(dx * dx + dy * dy);
  Furthest furthest;
  for (size_t i = span.start + 1; i < span.end; ++i) {
    const auto [x0, y0] = points[i];
    const double distance = std::fabs((y1 * x2 + (dy * x0 - dx * y0)) - x1 * y2) / length;
    if (distance > furthest.distance) furthest = {distance, i};
  }
  return furthest;
}

}  // namespace

std::vector<Point> RamerDouglasPeucker::simplify(const std::vector<Point>& points, double epsilon) {
  std::vector<Point> kept;
  if (points.empty() || !(epsilon >= 0)) return kept;
  kept.push_back(points.front());

  // Depth-first, left span before right span: the same order in which a recursive walk appends points.
  std::vector<Span> pending{{0, points.size() - 1}};
  while (!pending.empty()) {
    const Span span = pending.back();
    pending.pop_back();
    if (span.start >= span.end) continue;
    const Furthest furthest = furthestInterior(points, span);
    if (furthest.distance > epsilon) {
      pending.push_back({furthest.index, span.end});
      pending.push_back({span.start, furthest.index});
    } else {
      kept.push_back(points[span.end]);
    }
  }
  return kept;
}

}  // namespace Bexlan
