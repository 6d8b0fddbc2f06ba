#include "Tavrix/Controls/VerticallyAlignedTextLayer.hpp"

#include "Platform/Graphics/GraphicsContext.hpp"

namespace Tavrix {

void VerticallyAlignedTextLayer::drawInContext(platform::GraphicsContext& context) {
  const double height = bounds().height();
  const double size = fontSize();
  context.saveGState();
  // The layer's space runs y-up: a negative translation moves the text down.
  context.translate(0, -((height - size) * 0.5 - size / 10));
  platform::TextLayer::drawInContext(context);
  context.restoreGState();
}

}  // namespace Tavrix
