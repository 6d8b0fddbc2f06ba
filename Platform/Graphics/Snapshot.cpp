#include "Platform/Graphics/Snapshot.hpp"

#include <cmath>

#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/LayerRenderer.hpp"

namespace platform {

namespace {

// Renders the layer into an image whose pixel rows run down, with the user-space point origin at the
// pixel (originX, originY) and y running up at scale pixels per point.
void renderInto(Layer& layer, Image& image, double scale, double originX, double originY, RenderTime time) {
  GraphicsContext::drawInto(image, {scale, 0, 0, -scale, originX, originY}, time,
                            [&layer](GraphicsContext& context) { LayerRenderer::render(layer, context); });
}

}  // namespace

std::shared_ptr<Image> Snapshot::image(Layer& layer, double scale, RenderTime time) {
  const Rect bounds = time.rect(layer, "bounds").standardized();
  std::shared_ptr<Image> image = Image::create(bounds.size, scale);
  if (!image->isEmpty()) {
    renderInto(layer, *image, scale, -bounds.minX() * scale, bounds.maxY() * scale, time);
  }
  return image;
}

void Snapshot::writePng(Layer& layer, const std::string& path, double scale, RenderTime time) {
  image(layer, scale, time)->writePng(path);
}

Rgba Snapshot::colorAt(Layer& layer, Point point) {
  const std::shared_ptr<Image> pixel = Image::create({1, 1});
  if (std::isfinite(point.x) && std::isfinite(point.y)) {
    renderInto(layer, *pixel, 1, -point.x, point.y + 1, RenderTime::model());
  }
  return pixel->pixel(0, 0);
}

}  // namespace platform
