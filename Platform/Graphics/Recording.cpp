#include "Platform/Graphics/Recording.hpp"

namespace platform {

Recording::Recording(const Rect& area, const GraphicsContext::Drawing& drawing) {
  const cairo_rectangle_t extents{area.minX(), area.minY(), area.width(), area.height()};
  surface_.reset(cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents));
  const std::unique_ptr<cairo_t, decltype(&cairo_destroy)> cairo(cairo_create(surface_.get()),
                                                                 &cairo_destroy);
  GraphicsContext context(cairo.get());
  drawing(context);
}

void Recording::paint(GraphicsContext& context) const {
  cairo_t* cairo = context.cairo();
  cairo_save(cairo);
  cairo_set_source_surface(cairo, surface_.get(), 0, 0);
  cairo_paint(cairo);
  cairo_restore(cairo);
}

}  // namespace platform
