#include "Bexlan/LayerSnapshot.hpp"

#include <cairo.h>

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
  cairo_t* cairo = cairo_create(image->surface());
  cairo_matrix_t matrix;
  cairo_matrix_init(&matrix, 1, 0, 0, -1, -bounds.minX(), height + bounds.minY());
  cairo_set_matrix(cairo, &matrix);
  {
    platform::GraphicsContext context(cairo, platform::RenderTime::model());
    platform::LayerRenderer::render(layer, context);
  }
  cairo_destroy(cairo);
  cairo_surface_flush(image->surface());
  return image;
}

}  // namespace Bexlan::CALayer
