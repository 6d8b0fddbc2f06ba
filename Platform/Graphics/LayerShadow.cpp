#include "Platform/Graphics/LayerShadow.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "Platform/Graphics/ShadowBlur.hpp"

namespace platform {

namespace {

// A whole-pixel rectangle of device space.
struct PixelBox {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The device pixels under the context's clip, grown by margin on every side and moved by (dx, dy).
PixelBox clipPixels(cairo_t* cairo, double dx, double dy, int margin) {
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  cairo_clip_extents(cairo, &x0, &y0, &x1, &y1);
  std::array<Point, 4> corners{Point{x0, y0}, Point{x1, y0}, Point{x0, y1}, Point{x1, y1}};
  double left = std::numeric_limits<double>::infinity();
  double top = left;
  double right = -left;
  double bottom = -left;
  for (Point& corner : corners) {
    cairo_user_to_device(cairo, &corner.x, &corner.y);
    left = std::min(left, corner.x);
    right = std::max(right, corner.x);
    top = std::min(top, corner.y);
    bottom = std::max(bottom, corner.y);
  }
  // Larger boxes than cairo's limit for image surfaces are not drawn.
  constexpr double limit = 32767;
  if (!(right > left && bottom > top) || right - left + 2 * margin > limit ||
      bottom - top + 2 * margin > limit) {
    return {};
  }
  const int x = static_cast<int>(std::floor(left + dx)) - margin;
  const int y = static_cast<int>(std::floor(top + dy)) - margin;
  return {x, y, static_cast<int>(std::ceil(right + dx)) + margin - x,
          static_cast<int>(std::ceil(bottom + dy)) + margin - y};
}

}  // namespace

void LayerShadow::draw(GraphicsContext& context, const Layer& layer,
                       const std::function<void(GraphicsContext&)>& body) {
  const RenderTime& time = context.renderTime();
  const double opacity = std::min(time.number(layer, "shadowOpacity"), 1.0);
  const std::optional<Rgba> color = time.color(layer, "shadowColor");
  if (!color || !(opacity > 0)) {
    return;
  }
  const AffineTransform toDevice = context.currentTransform();
  const Size offset = toDevice.apply(time.size(layer, "shadowOffset"));
  const double deviceScale = std::sqrt(std::abs(toDevice.a * toDevice.d - toDevice.b * toDevice.c));
  const double deviation = ShadowBlur::deviation(time.number(layer, "shadowRadius"), deviceScale);
  // A shadow moved this far lands beyond any surface cairo can draw into (and would overflow the pixel
  // arithmetic below).
  constexpr double farthest = 1e6;
  if (!(std::abs(offset.width) < farthest && std::abs(offset.height) < farthest)) {
    return;
  }
  // The shadow on the pixels under the clip comes from the layer's pixels one offset back, and from as far
  // around them as the blur reaches.
  cairo_t* cairo = context.cairo();
  const PixelBox box = clipPixels(cairo, -offset.width, -offset.height, ShadowBlur::reach(deviation));
  if (box.width <= 0 || box.height <= 0) {
    return;
  }
  cairo_surface_t* alpha = cairo_image_surface_create(CAIRO_FORMAT_A8, box.width, box.height);
  cairo_t* shape = cairo_create(alpha);
  cairo_matrix_t matrix;
  cairo_matrix_init(&matrix, toDevice.a, toDevice.b, toDevice.c, toDevice.d, toDevice.tx - box.x,
                    toDevice.ty - box.y);
  cairo_set_matrix(shape, &matrix);
  {
    GraphicsContext shapeContext(shape, time);
    if (const std::optional<Path> path = time.path(layer, "shadowPath")) {
      shapeContext.fillPath(*path);
    } else {
      body(shapeContext);
    }
  }
  cairo_destroy(shape);
  ShadowBlur::blur(alpha, deviation);

  cairo_save(cairo);
  cairo_identity_matrix(cairo);
  cairo_set_source_rgba(cairo, color->red, color->green, color->blue, color->alpha * opacity);
  cairo_mask_surface(cairo, alpha, box.x + offset.width, box.y + offset.height);
  cairo_restore(cairo);
  cairo_surface_destroy(alpha);
}

}  // namespace platform
