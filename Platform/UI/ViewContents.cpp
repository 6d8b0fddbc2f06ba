#include "Platform/UI/ViewContents.hpp"

#include <utility>

namespace platform {

namespace {

// Partial redraws stack recordings onto each other; this many in a row are followed by a full one.
constexpr int maximumStackedRedraws = 8;

struct CairoRelease {
  void operator()(cairo_t* cairo) const { cairo_destroy(cairo); }
};

bool covers(const Rect& outer, const Rect& inner) {
  return outer.minX() <= inner.minX() && outer.minY() <= inner.minY() && inner.maxX() <= outer.maxX() &&
         inner.maxY() <= outer.maxY();
}

// Maps the view's bounds space onto the recording's rows-down space.
void enterViewSpace(cairo_t* cairo, const Rect& bounds, bool flipped) {
  if (!flipped) {
    cairo_translate(cairo, 0, bounds.minY() + bounds.maxY());
    cairo_scale(cairo, 1, -1);
  }
}

}  // namespace

void ViewContents::redraw(const Rect& bounds, bool flipped, Rect dirtyRect, const Drawing& drawing) {
  const Rect area = bounds.standardized();
  if (area.isEmpty()) {
    clear();
    return;
  }
  const cairo_rectangle_t extents{area.minX(), area.minY(), area.width(), area.height()};
  std::unique_ptr<cairo_surface_t, SurfaceRelease> next(
      cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents));
  std::unique_ptr<cairo_t, CairoRelease> cairo(cairo_create(next.get()));
  enterViewSpace(cairo.get(), area, flipped);

  const bool partial = recording_ && stackedRedraws_ < maximumStackedRedraws && !covers(dirtyRect, area);
  if (partial) {
    cairo_save(cairo.get());
    cairo_identity_matrix(cairo.get());
    cairo_set_source_surface(cairo.get(), recording_.get(), 0, 0);
    cairo_paint(cairo.get());
    cairo_restore(cairo.get());
  } else {
    dirtyRect = area;
  }
  cairo_rectangle(cairo.get(), dirtyRect.minX(), dirtyRect.minY(), dirtyRect.width(), dirtyRect.height());
  cairo_clip(cairo.get());
  if (partial) {
    cairo_set_operator(cairo.get(), CAIRO_OPERATOR_CLEAR);
    cairo_paint(cairo.get());
    cairo_set_operator(cairo.get(), CAIRO_OPERATOR_OVER);
  }
  {
    GraphicsContext context(cairo.get());
    GraphicsContextScope scope(context);
    drawing(dirtyRect);
  }
  cairo.reset();
  recording_ = std::move(next);
  stackedRedraws_ = partial ? stackedRedraws_ + 1 : 0;
}

void ViewContents::clear() {
  recording_.reset();
  stackedRedraws_ = 0;
}

void ViewContents::paint(GraphicsContext& context, const Rect& bounds, bool flipped) const {
  if (!recording_) {
    return;
  }
  cairo_t* cairo = context.cairo();
  cairo_save(cairo);
  enterViewSpace(cairo, bounds.standardized(), flipped);
  cairo_set_source_surface(cairo, recording_.get(), 0, 0);
  cairo_paint(cairo);
  cairo_restore(cairo);
}

}  // namespace platform
