#include "Platform/Graphics/GraphicsContext.hpp"

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

#include "Platform/Graphics/Image.hpp"

namespace platform {

namespace {

thread_local GraphicsContext* currentContext = nullptr;

cairo_operator_t cairoOperator(CompositingOperation operation) {
  switch (operation) {
    case CompositingOperation::clear: return CAIRO_OPERATOR_CLEAR;
    case CompositingOperation::copy: return CAIRO_OPERATOR_SOURCE;
    case CompositingOperation::sourceIn: return CAIRO_OPERATOR_IN;
    case CompositingOperation::sourceOut: return CAIRO_OPERATOR_OUT;
    case CompositingOperation::sourceAtop: return CAIRO_OPERATOR_ATOP;
    case CompositingOperation::destinationOver: return CAIRO_OPERATOR_DEST_OVER;
    case CompositingOperation::sourceOver: break;
  }
  return CAIRO_OPERATOR_OVER;
}

// cairo lets these two change pixels outside the shape drawn.
bool isUnbounded(CompositingOperation operation) {
  return operation == CompositingOperation::sourceIn || operation == CompositingOperation::sourceOut;
}

cairo_filter_t cairoFilter(ImageInterpolation interpolation) {
  switch (interpolation) {
    case ImageInterpolation::none: return CAIRO_FILTER_NEAREST;
    case ImageInterpolation::low: return CAIRO_FILTER_FAST;
    case ImageInterpolation::high: return CAIRO_FILTER_BEST;
    case ImageInterpolation::defaultQuality: break;
  }
  return CAIRO_FILTER_GOOD;
}

cairo_line_cap_t cairoCap(LineCap cap) {
  switch (cap) {
    case LineCap::round: return CAIRO_LINE_CAP_ROUND;
    case LineCap::square: return CAIRO_LINE_CAP_SQUARE;
    case LineCap::butt: break;
  }
  return CAIRO_LINE_CAP_BUTT;
}

cairo_line_join_t cairoJoin(LineJoin join) {
  switch (join) {
    case LineJoin::round: return CAIRO_LINE_JOIN_ROUND;
    case LineJoin::bevel: return CAIRO_LINE_JOIN_BEVEL;
    case LineJoin::miter: break;
  }
  return CAIRO_LINE_JOIN_MITER;
}

bool isFinite(Point point) { return std::isfinite(point.x) && std::isfinite(point.y); }

bool isFinite(const Rect& rect) {
  return isFinite(rect.origin) && std::isfinite(rect.size.width) && std::isfinite(rect.size.height);
}

void appendElement(cairo_t* cairo, const PathElement& element) {
  const auto& p = element.points;
  switch (element.kind) {
    case PathElementKind::moveTo: cairo_move_to(cairo, p[0].x, p[0].y); break;
    case PathElementKind::lineTo: cairo_line_to(cairo, p[0].x, p[0].y); break;
    case PathElementKind::curveTo:
      cairo_curve_to(cairo, p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y);
      break;
    case PathElementKind::closePath: cairo_close_path(cairo); break;
  }
}

using Pattern = std::unique_ptr<cairo_pattern_t, decltype(&cairo_pattern_destroy)>;

// Runs a drawing into a group of its own and returns what it drew; the group is closed however the
// drawing ends.
Pattern drawGroup(GraphicsContext& context, const GraphicsContext::Drawing& drawing) {
  struct Group {
    GraphicsContext& context;
    bool open = true;
    explicit Group(GraphicsContext& into) : context(into) {
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

cairo_matrix_t cairoMatrix(const AffineTransform& t) {
  cairo_matrix_t matrix;
  cairo_matrix_init(&matrix, t.a, t.b, t.c, t.d, t.tx, t.ty);
  return matrix;
}

}  // namespace

GraphicsContext::GraphicsContext(cairo_t* cairo, RenderTime time)
    : cairo_(cairo_reference(cairo)), renderTime_(time) {}

GraphicsContext::~GraphicsContext() {
  // Hands cairo back in the state it came in.
  for (std::size_t i = 0; i < saved_.size(); ++i) {
    cairo_restore(cairo_);
  }
  cairo_destroy(cairo_);
}

GraphicsContext* GraphicsContext::current() { return currentContext; }

void GraphicsContext::drawInto(Image& image, const AffineTransform& toPixels, RenderTime time,
                               const Drawing& drawing) {
  if (!toPixels.inverted()) {
    return;
  }
  const std::unique_ptr<cairo_t, decltype(&cairo_destroy)> cairo(cairo_create(image.surface()),
                                                                 &cairo_destroy);
  const cairo_matrix_t matrix = cairoMatrix(toPixels);
  cairo_set_matrix(cairo.get(), &matrix);
  {
    GraphicsContext context(cairo.get(), time);
    drawing(context);
  }
  cairo_surface_flush(image.surface());
}

void GraphicsContext::saveGState() {
  cairo_save(cairo_);
  saved_.push_back(state_);
}

void GraphicsContext::restoreGState() {
  if (saved_.empty()) {
    throw std::logic_error("GraphicsContext::restoreGState: no saved state to restore");
  }
  cairo_restore(cairo_);
  state_ = saved_.back();
  saved_.pop_back();
}

void GraphicsContext::translate(double dx, double dy) { concat(AffineTransform::translation(dx, dy)); }

void GraphicsContext::scale(double sx, double sy) { concat(AffineTransform::scale(sx, sy)); }

void GraphicsContext::rotate(double radians) { concat(AffineTransform::rotation(radians)); }

void GraphicsContext::concat(const AffineTransform& transform) {
  // cairo stops drawing for good after a singular or non-finite matrix.
  if (!transform.inverted()) {
    throw std::invalid_argument("GraphicsContext::concat: the transform is singular or not finite");
  }
  const cairo_matrix_t matrix = cairoMatrix(transform);
  cairo_transform(cairo_, &matrix);
}

AffineTransform GraphicsContext::currentTransform() const {
  cairo_matrix_t m;
  cairo_get_matrix(cairo_, &m);
  return {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0};
}

bool GraphicsContext::isYUp() const {
  const AffineTransform t = currentTransform();
  return t.a * t.d - t.b * t.c < 0;
}

void GraphicsContext::setColor(const Rgba& color) {
  state_.fill = color;
  state_.stroke = color;
}

void GraphicsContext::appendPath(cairo_t* cairo, const Path& path) {
  const std::vector<PathElement>& elements = path.elements();
  std::size_t begin = 0;
  while (begin < elements.size()) {
    std::size_t end = begin + 1;
    while (end < elements.size() && elements[end].kind != PathElementKind::moveTo) {
      ++end;
    }
    const bool finite =
        std::all_of(elements.begin() + static_cast<std::ptrdiff_t>(begin),
                    elements.begin() + static_cast<std::ptrdiff_t>(end), [](const PathElement& element) {
                      for (std::size_t i = 0; i < pointCount(element.kind); ++i) {
                        if (!isFinite(element.points[i])) return false;
                      }
                      return true;
                    });
    for (std::size_t i = begin; finite && i < end; ++i) {
      appendElement(cairo, elements[i]);
    }
    begin = end;
  }
}

void GraphicsContext::paintShape(const Rgba& color, CompositingOperation operation, bool stroke) {
  cairo_set_source_rgba(cairo_, color.red, color.green, color.blue, color.alpha);
  cairo_set_operator(cairo_, cairoOperator(operation));
  if (!isUnbounded(operation)) {
    stroke ? cairo_stroke(cairo_) : cairo_fill(cairo_);
  } else {
    // Confine the operation to the shape: the fill itself, or a stroke's bounding box.
    cairo_save(cairo_);
    if (stroke) {
      double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
      cairo_stroke_extents(cairo_, &x0, &y0, &x1, &y1);
      cairo_new_path(cairo_);
      cairo_rectangle(cairo_, x0, y0, x1 - x0, y1 - y0);
    }
    cairo_clip(cairo_);
    cairo_paint(cairo_);
    cairo_restore(cairo_);
  }
  cairo_set_operator(cairo_, CAIRO_OPERATOR_OVER);
}

void GraphicsContext::fillRect(const Rect& rect, CompositingOperation operation) {
  if (!isFinite(rect)) {
    return;
  }
  const Rect standard = rect.standardized();
  cairo_new_path(cairo_);
  cairo_rectangle(cairo_, standard.minX(), standard.minY(), standard.width(), standard.height());
  paintShape(state_.fill, operation, false);
}

void GraphicsContext::fillPath(const Path& path, FillRule rule) {
  cairo_new_path(cairo_);
  appendPath(cairo_, path);
  cairo_set_fill_rule(cairo_, rule == FillRule::evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
  paintShape(state_.fill, state_.operation, false);
}

void GraphicsContext::strokePath(const Path& path, const StrokeStyle& style) {
  if (!std::isfinite(style.lineWidth) || style.lineWidth <= 0) {
    return;
  }
  cairo_new_path(cairo_);
  appendPath(cairo_, path);
  cairo_set_line_width(cairo_, style.lineWidth);
  cairo_set_line_cap(cairo_, cairoCap(style.lineCap));
  cairo_set_line_join(cairo_, cairoJoin(style.lineJoin));
  cairo_set_miter_limit(cairo_, std::isfinite(style.miterLimit) ? style.miterLimit : 10);
  if (style.isDashed()) {
    cairo_set_dash(cairo_, style.dashPattern.data(), static_cast<int>(style.dashPattern.size()),
                   std::isfinite(style.dashPhase) ? style.dashPhase : 0);
  }
  paintShape(state_.stroke, state_.operation, true);
  cairo_set_dash(cairo_, nullptr, 0, 0);
}

void GraphicsContext::clipToRect(const Rect& rect) {
  const Rect standard = isFinite(rect) ? rect.standardized() : Rect::zero();
  cairo_new_path(cairo_);
  cairo_rectangle(cairo_, standard.minX(), standard.minY(), standard.width(), standard.height());
  cairo_clip(cairo_);
}

void GraphicsContext::clipToPath(const Path& path, FillRule rule) {
  cairo_new_path(cairo_);
  appendPath(cairo_, path);
  cairo_set_fill_rule(cairo_, rule == FillRule::evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
  cairo_clip(cairo_);
}

void GraphicsContext::clearClip() {
  cairo_save(cairo_);
  cairo_set_operator(cairo_, CAIRO_OPERATOR_CLEAR);
  cairo_paint(cairo_);
  cairo_restore(cairo_);
}

void GraphicsContext::drawImage(const Image& image, const Rect& destination, std::optional<Rect> source,
                                CompositingOperation operation, double fraction) {
  const Rect from = source.value_or(Rect({0, 0}, image.size())).standardized();
  const Rect to = destination.standardized();
  if (image.isEmpty() || !isFinite(from) || !isFinite(to) || from.isEmpty() || to.isEmpty()) {
    return;
  }
  const bool yUp = isYUp();
  cairo_save(cairo_);
  cairo_new_path(cairo_);
  cairo_rectangle(cairo_, to.minX(), to.minY(), to.width(), to.height());
  cairo_clip(cairo_);
  // A y-down space from the destination's top-left corner, in the source's points, then in its pixels.
  cairo_translate(cairo_, to.minX(), yUp ? to.maxY() : to.minY());
  cairo_scale(cairo_, to.width() / from.width(), (yUp ? -1 : 1) * to.height() / from.height());
  cairo_translate(cairo_, -from.minX(), -(image.size().height - from.maxY()));
  cairo_scale(cairo_, 1 / image.scale(), 1 / image.scale());
  const double opacity = std::isnan(fraction) ? 0 : std::clamp(fraction, 0.0, 1.0);
  // The fraction fades the source before the operation combines it with the destination (cairo's own
  // paint with alpha would blend the operation's result with the destination instead).
  if (opacity < 1) {
    cairo_push_group(cairo_);
  }
  cairo_set_source_surface(cairo_, image.surface(), 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cairo_), cairoFilter(state_.interpolation));
  cairo_pattern_set_extend(cairo_get_source(cairo_), CAIRO_EXTEND_PAD);
  if (opacity < 1) {
    cairo_paint_with_alpha(cairo_, opacity);
    cairo_pop_group_to_source(cairo_);
  }
  cairo_set_operator(cairo_, cairoOperator(operation));
  cairo_paint(cairo_);
  cairo_restore(cairo_);
}

void GraphicsContext::drawMasked(const Drawing& paint, const Drawing& mask, double opacity) {
  const Pattern content = drawGroup(*this, paint);
  const Pattern coverage = mask ? drawGroup(*this, mask) : Pattern(nullptr, &cairo_pattern_destroy);
  const double alpha = std::isnan(opacity) ? 0 : std::clamp(opacity, 0.0, 1.0);
  cairo_save(cairo_);
  // Masked and faded: the masked content is faded as one group.
  const bool fadeMasked = coverage && alpha < 1;
  if (fadeMasked) {
    cairo_push_group(cairo_);
  }
  cairo_set_source(cairo_, content.get());
  if (coverage) {
    cairo_mask(cairo_, coverage.get());
  }
  if (fadeMasked) {
    cairo_pop_group_to_source(cairo_);
  }
  if (!coverage || fadeMasked) {
    cairo_paint_with_alpha(cairo_, alpha);
  }
  cairo_restore(cairo_);
}

GraphicsContextScope::GraphicsContextScope(GraphicsContext& context) : previous_(currentContext) {
  currentContext = &context;
}

GraphicsContextScope::~GraphicsContextScope() { currentContext = previous_; }

}  // namespace platform
