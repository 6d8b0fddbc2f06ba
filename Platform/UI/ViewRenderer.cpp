#include "Platform/UI/ViewRenderer.hpp"

#include <cairo.h>

#include <memory>

#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/LayerRenderer.hpp"
#include "Platform/UI/ViewLayer.hpp"

namespace platform {

std::shared_ptr<Image> ViewRenderer::image(View& view, double scale, RenderTime time) {
  view.layoutSubtreeIfNeeded();
  view.displayIfNeeded();
  const Rect bounds = view.bounds();
  std::shared_ptr<Image> image = Image::create(bounds.size, scale);
  if (image->isEmpty() || view.isHidden()) {
    return image;
  }
  const std::unique_ptr<cairo_t, decltype(&cairo_destroy)> owned(cairo_create(image->surface()),
                                                                 &cairo_destroy);
  cairo_t* cairo = owned.get();
  // The view's layer flips relative to its superview's coordinates, so draw in those: y-down from the top
  // under a flipped superview, else y-up from the bottom.
  const std::shared_ptr<View> superview = view.superview();
  cairo_matrix_t matrix;
  if (superview && superview->isFlipped()) {
    cairo_matrix_init(&matrix, scale, 0, 0, scale, 0, 0);
  } else {
    cairo_matrix_init(&matrix, scale, 0, 0, -scale, 0, bounds.height() * scale);
  }
  cairo_set_matrix(cairo, &matrix);
  {
    GraphicsContext context(cairo, time);
    LayerRenderer::render(*view.layer_, context);
  }
  cairo_surface_flush(image->surface());
  return image;
}

void ViewRenderer::writePng(View& view, const std::string& path, double scale, RenderTime time) {
  image(view, scale, time)->writePng(path);
}

}  // namespace platform
