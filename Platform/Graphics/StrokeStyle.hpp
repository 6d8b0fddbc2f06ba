#pragma once

#include <vector>

namespace platform {

enum class LineCap { butt, round, square };
enum class LineJoin { miter, round, bevel };

// How a path is stroked. A renderer strokes nothing for a line width of zero or less.
struct StrokeStyle {
  double lineWidth = 1;
  LineCap lineCap = LineCap::butt;
  LineJoin lineJoin = LineJoin::miter;
  double miterLimit = 10;
  // Alternating lengths of dashes and gaps; empty for a solid line.
  std::vector<double> dashPattern;
  double dashPhase = 0;

  // True when dashPattern can be drawn as dashes: every length finite and not negative, and at least one
  // above zero. Any other pattern (empty, all zero, negative or NaN lengths) strokes a solid line.
  bool isDashed() const;

  friend bool operator==(const StrokeStyle&, const StrokeStyle&) = default;
};

}  // namespace platform
