#pragma once

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/Path.hpp"

namespace Tavrix::NSBezierPath {

// The outline as the immutable path a shape layer takes: the same moves, lines, curves (first control
// point, second control point, end point) and closes, in order; empty for an empty outline.
platform::Path cgPath(const platform::BezierPath& path);

}  // namespace Tavrix::NSBezierPath
