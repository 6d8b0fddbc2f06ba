#include "Tavrix/Controls/OverlayMasked.hpp"

#include <cairo.h>

#include <memory>

namespace Tavrix {

namespace {

using Pattern = std::unique_ptr<cairo_pattern_t, decltype(&cairo_pattern_destroy)>;

// Runs a drawing into a group of its own and returns what it drew; the group is closed however the
// drawing ends.
Pattern drawGroup(platform::GraphicsContext& context, const Drawing& drawing) {
  struct Group {
    platform::GraphicsContext& context;
    bool open = true;
    explicit Group(platform::GraphicsContext& into) : context(into) {
      cairo_push_group(context.cairo());
      context.saveGState();
    }
    cairo_pattern_t* close() {
      open = false;
      context.restoreGState();
      return cairo_pop_group(context.cairo());
    }
    ~Group() {
      if (open) {
        cairo_pattern_destroy(close());
      }
    }
  } group(context);
  drawing(context);
  return Pattern(group.close(), &cairo_pattern_destroy);
}

}  // namespace

void overlayMasked(platform::GraphicsContext& context, const Drawing& content, const Drawing& overlay) {
  const Pattern mask = drawGroup(context, content);
  const Pattern paint = drawGroup(context, overlay);
  cairo_t* cairo = context.cairo();
  cairo_save(cairo);
  cairo_set_source(cairo, paint.get());
  cairo_mask(cairo, mask.get());
  cairo_restore(cairo);
}

}  // namespace Tavrix
