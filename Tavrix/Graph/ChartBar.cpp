#include "Tavrix/Graph/ChartBar.hpp"

#include "Platform/Graphics/StrokeStyle.hpp"

namespace Tavrix {

void ChartBar::strokeThenFill(platform::GraphicsContext& context, const platform::Path& outline,
                              double lineWidth, const platform::ColorRef& color, double fillAlpha) {
  platform::Rgba rgba = color->rgba();
  platform::StrokeStyle style;
  style.lineWidth = lineWidth;
  context.setStrokeColor(rgba);
  context.strokePath(outline, style);
  rgba.alpha = fillAlpha;
  context.setFillColor(rgba);
  context.fillPath(outline);
}

}  // namespace Tavrix
