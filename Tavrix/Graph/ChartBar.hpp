#pragma once

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/Path.hpp"

namespace Tavrix {

// How the self-contained bar charts paint one bar.
class ChartBar {
 public:
  ChartBar() = delete;

  // Strokes the outline at the line width in the colour (resolved under the current appearance), then fills
  // it (open outlines are closed for the fill) with the colour's red, green and blue at fillAlpha, so the
  // fill covers the inner half of the outline.
  static void strokeThenFill(platform::GraphicsContext& context, const platform::Path& outline,
                             double lineWidth, const platform::ColorRef& color, double fillAlpha);
};

}  // namespace Tavrix
