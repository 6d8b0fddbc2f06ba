#pragma once

#include <array>

#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/Path.hpp"
#include "Platform/Graphics/Rgba.hpp"
#include "Platform/Graphics/StrokeStyle.hpp"

namespace Tavrix {

// A small line bar drawn as a value, not a view: a faint track and over it a round-capped line whose length
// is the progress, red up to 0.2 and green above. A progress outside 0...1 (or NaN) draws as 0, a short
// stub from x = lineWidth back to x = 0.
struct UIProgressView {
  // One stroked path of the body.
  struct Stroke {
    platform::Path path;
    platform::StrokeStyle style;
    platform::Rgba color;
  };

  double lineWidth = 0;
  double progress = 0;

  // The track, then the progress line, for a drawing area of the size, along its middle; colours resolve
  // under the appearance current on the calling thread.
  std::array<Stroke, 2> body(platform::Size size) const;
  // Strokes the body into the context, over the area from its origin.
  void draw(platform::GraphicsContext& context, platform::Size size) const;
};

}  // namespace Tavrix
