#include "Tavrix/Controls/SingleLineUnderline.hpp"

#include <algorithm>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/GraphicsContext.hpp"
#include "Tavrix/Controls/SystemColors.hpp"

namespace Tavrix::SingleLineUnderline {

void draw(platform::TextFieldCell& cell, const platform::Rect& cellFrame, platform::View& controlView) {
  const double width = cellFrame.width();
  const double height = cellFrame.height();
  if (platform::GraphicsContext* context = platform::GraphicsContext::current()) {
    platform::BezierPath line;
    line.move({0, height - 0.5});
    line.line({width, height - 0.5});
    line.strokeStyle().lineWidth = 1;
    context->setStrokeColor(SystemColors::tertiaryLabelColor()->rgba());
    context->stroke(line);
  }
  cell.drawInterior(platform::Rect(0, 0, width, std::max(height - 1, 0.0)), controlView);
}

platform::Size cellSize(platform::Size base, double borderThickness) {
  return {base.width, base.height + borderThickness};
}

}  // namespace Tavrix::SingleLineUnderline
