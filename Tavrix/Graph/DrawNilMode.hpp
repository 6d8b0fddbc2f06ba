#pragma once

namespace Tavrix {

// What a straight line plotter does with a missing sample.
enum class DrawNilMode {
  // Draws it as a point on the bottom line; the line goes on.
  drawMinValue,
  // Ends the line at the previous sample; the rest of the series is not drawn.
  stop,
  // Ends the line like stop and marks the previous sample with two concentric dots.
  stopAndHighlightPreviousValue,
};

}  // namespace Tavrix
