#pragma once

#include <string>

#include "Platform/Foundation/TextFormat.hpp"

namespace Bexlan {

// A plain two-dimensional point, the vertex type of the polyline simplification. A default-made point is
// the origin.
struct Point {
  double x = 0;
  double y = 0;

  // "(x, y)", each coordinate in its shortest round-trip text with ".0" on whole numbers: "(1.0, 2.5)".
  std::string description() const {
    return "(" + platform::shortestDouble(x) + ", " + platform::shortestDouble(y) + ")";
  }

  friend bool operator==(const Point&, const Point&) = default;
};

}  // namespace Bexlan
