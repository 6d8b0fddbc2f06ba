#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/PathElement.hpp"

namespace platform {

// One drawn piece of a path between two on-path points, with the arithmetic that measuring, bounding and
// trimming need. A closePath contributes a straight segment back to the start of its subpath. Used by Path;
// parameters t run from 0 at the start point to 1 at the end point.
struct PathSegment {
  enum class Kind { line, curve, close };

  Kind kind = Kind::line;
  // Index of the subpath (counted by moveTo elements) the segment belongs to.
  std::size_t subpath = 0;
  // start, then for a curve its two control points and its end; for a line or close only points[3] counts
  // (points[1] and points[2] are unused).
  std::array<Point, 4> points{};

  Point start() const { return points[0]; }
  Point end() const { return points[3]; }

  Point pointAt(double t) const;
  double length() const;
  // The parameter at which the arc length from the start reaches distance (0...length()).
  double parameterAtLength(double distance) const;
  // The piece between parameters t0 <= t1, as a segment of the same kind.
  PathSegment piece(double t0, double t1) const;
  // The smallest rectangle holding every point of the segment (curve extrema included).
  Rect tightBounds() const;
};

// The segments of a list of elements in which every subpath starts with a moveTo (as Path guarantees).
// Subpaths of a lone moveTo give no segment.
std::vector<PathSegment> pathSegments(const std::vector<PathElement>& elements);

}  // namespace platform
