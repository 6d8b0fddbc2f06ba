#pragma once

#include <stdexcept>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/Geometry.hpp"

namespace Tavrix {

// Joins two samples of a line plotter with an S-shaped curve that is flat at both samples and steepest
// half-way, so the line never overshoots a sample. The curve runs from the path's current point to the
// middle M of a and b, then on to b; each half is a quadratic curve (written as its exact cubic) whose
// control point sits half-way across the half at the height of the sample it leaves or reaches, never
// above y = 0. Throws std::logic_error, as BezierPath::curve does, when the path has no current point.
void appendSmoothCurve(platform::BezierPath& path, platform::Point a, platform::Point b);

}  // namespace Tavrix
