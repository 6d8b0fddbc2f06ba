#pragma once

#include <array>
#include <cstddef>

#include "Platform/Graphics/Geometry.hpp"

namespace platform {

// The kinds of path elements, with the raw values the platform gives them.
enum class PathElementKind { moveTo = 0, lineTo = 1, curveTo = 2, closePath = 3 };

// One element of a path. moveTo and lineTo use points[0]; curveTo holds the first control point, the second
// control point and the end point, in that order; closePath uses no point (all three stay at zero).
struct PathElement {
  PathElementKind kind = PathElementKind::moveTo;
  std::array<Point, 3> points{};

  friend bool operator==(const PathElement&, const PathElement&) = default;
};

// How many of an element's points a kind uses.
constexpr std::size_t pointCount(PathElementKind kind) noexcept {
  switch (kind) {
    case PathElementKind::curveTo: return 3;
    case PathElementKind::closePath: return 0;
    default: return 1;
  }
}

}  // namespace platform
