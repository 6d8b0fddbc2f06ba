#include "Platform/UI/ViewContents.hpp"

#include <cmath>
#include <utility>

namespace platform {

namespace {

// Partial redraws stack recordings onto each other; this many in a row are followed by a full one.
constexpr int maximumStackedRedraws = 8;

bool covers(const Rect& outer, const Rect& inner) {
  return outer.minX() <= inner.minX() && outer.minY() <= inner.minY() && inner.maxX() <= outer.maxX() &&
         inner.maxY() <= outer.maxY();
}

bool isFinite(const Rect& rect) {
  return std::isfinite(rect.minX()) && std::isfinite(rect.minY()) && std::isfinite(rect.width()) &&
         std::isfinite(rect.height());
}

// Maps the view's bounds space onto the recording's rows-down space.
void enterViewSpace(GraphicsContext& context, const Rect& bounds, bool flipped) {
  if (!flipped) {
    context.translate(0, bounds.minY() + bounds.maxY());
    context.scale(1, -1);
  }
}

}  // namespace

void ViewContents::redraw(const Rect& bounds, bool flipped, Rect dirtyRect, const Drawing& drawing) {
  const Rect area = bounds.standardized();
  if (area.isEmpty() || !isFinite(area)) {
    clear();
    return;
  }
  const bool partial = recording_ && stackedRedraws_ < maximumStackedRedraws && !covers(dirtyRect, area);
  if (!partial) {
    dirtyRect = area;
  }
  Recording next(area, [&](GraphicsContext& context) {
    if (partial) {
      recording_->paint(context);
    }
    enterViewSpace(context, area, flipped);
    context.clipToRect(dirtyRect);
    if (partial) {
      context.clearClip();
    }
    GraphicsContextScope scope(context);
    drawing(dirtyRect);
  });
  recording_ = std::move(next);
  stackedRedraws_ = partial ? stackedRedraws_ + 1 : 0;
}

void ViewContents::clear() {
  recording_.reset();
  stackedRedraws_ = 0;
}

void ViewContents::paint(GraphicsContext& context, const Rect& bounds, bool flipped) const {
  const Rect area = bounds.standardized();
  if (!recording_ || !isFinite(area)) {
    return;
  }
  context.saveGState();
  enterViewSpace(context, area, flipped);
  recording_->paint(context);
  context.restoreGState();
}

}  // namespace platform
