#include "Bexlan/LayerSnapshot.hpp"

#include <cmath>

#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/LayerRenderer.hpp"

namespace Bexlan::CALayer {

std::shared_ptr<platform::Image> snapshotImage(platform::Layer& layer) {
  const platform::Rect frame = layer.frame();
  const double width = std::trunc(frame.width());
  const double height = std::trunc(frame.height());
  if (!std::isfinite(width) || !std::isfinite(height) || width < 1 || height < 1) {
    return platform::Image::create({0, 0});
  }
  std::shared_ptr<platform::Image> image = platform::Image::create({width, height});
  // The layer renders itself in its own y-up bounds space, the bounds origin at the bottom-left pixel.
  const platform::Rect bounds = layer.bounds().standardized();
  platform::GraphicsContext::drawInto(
      *image, {1, 0, 0, -1, -bounds.minX(), height + bounds.minY()}, platform::RenderTime::model(),
      [&layer](platform::GraphicsContext& context) { platform::LayerRenderer::render(layer, context); });
  return image;
}

}  // namespace Bexlan::CALayer
