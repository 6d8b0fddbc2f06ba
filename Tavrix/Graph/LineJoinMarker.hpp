#pragma once

namespace Tavrix {

// Whether a line plotter draws a circle on each of its samples.
enum class LineJoinMarker { none, circle };

}  // namespace Tavrix
