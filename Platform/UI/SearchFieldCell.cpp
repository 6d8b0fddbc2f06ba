#include "Platform/UI/SearchFieldCell.hpp"

#include <algorithm>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/TextMeasurer.hpp"

namespace platform {

void SearchFieldCell::drawWithFrame(const Rect& cellFrame, View& controlView) {
  if (GraphicsContext* context = GraphicsContext::current()) {
    const Rect bezel = cellFrame.insetBy(0.5, 0.5);
    const double radius = std::max(bezel.height(), 0.0) / 2;
    const BezierPath capsule = BezierPath::roundedRect(bezel, radius, radius);
    // White, or dark grey in a dark appearance, where the text is light.
    static const ColorRef fill = Color::dynamic(Rgba{1, 1, 1, 1}, Rgba{0.2, 0.2, 0.2, 1});
    context->setFillColor(fill->rgba());
    context->fill(capsule);
    context->setStrokeColor(Color::gray()->rgba());
    context->stroke(capsule);
  }
  // The text's line sits in the middle of the bezel.
  const double side = cellFrame.height() / 2;
  const double line = font() ? TextMeasurer::size(displayedString(), TextAttributes{font()}).height : 0;
  const double top = std::max((cellFrame.height() - line) / 2, 0.0);
  const double width = std::max(cellFrame.width() - 2 * side, 0.0);
  drawInterior(Rect(cellFrame.minX() + side, cellFrame.minY() + top, width, cellFrame.height() - top),
               controlView);
}

}  // namespace platform
