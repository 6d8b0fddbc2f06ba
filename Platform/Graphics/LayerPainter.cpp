#include "Platform/Graphics/LayerPainter.hpp"

#include <algorithm>
#include <cmath>

#include "Platform/Graphics/BezierPath.hpp"

namespace platform {

namespace {

double cornerRadiusOf(const Layer& layer, const RenderTime& time) {
  return time.number(layer, "cornerRadius");
}

Point unitPoint(const Rect& bounds, Point unit) {
  return {bounds.minX() + unit.x * bounds.width(), bounds.minY() + unit.y * bounds.height()};
}

}  // namespace

BezierPath LayerPainter::roundedBounds(const Rect& bounds, double cornerRadius) {
  const Rect box = bounds.standardized();
  const double radius = std::min({cornerRadius, box.width() / 2, box.height() / 2});
  return BezierPath::roundedRect(box, radius, radius);
}

void LayerPainter::background(GraphicsContext& context, const Layer& layer) {
  const RenderTime& time = context.renderTime();
  const std::optional<Rgba> color = time.color(layer, "backgroundColor");
  if (!color) {
    return;
  }
  context.setFillColor(*color);
  context.fillPath(roundedBounds(time.rect(layer, "bounds"), cornerRadiusOf(layer, time)).path());
}

void LayerPainter::border(GraphicsContext& context, const Layer& layer) {
  const RenderTime& time = context.renderTime();
  const double width = time.number(layer, "borderWidth");
  const std::optional<Rgba> color = time.color(layer, "borderColor");
  if (!color || !(width > 0)) {
    return;
  }
  const Rect bounds = time.rect(layer, "bounds").standardized();
  const double radius = cornerRadiusOf(layer, time);
  // The band is what lies inside the outer outline and outside the inner one.
  BezierPath band = roundedBounds(bounds, radius);
  band.append(roundedBounds(bounds.insetBy(width, width), radius - width));
  context.setFillColor(*color);
  context.fillPath(band.path(), FillRule::evenOdd);
}

void LayerPainter::shape(GraphicsContext& context, const ShapeLayer& layer) {
  const RenderTime& time = context.renderTime();
  const std::optional<Path> path = time.path(layer, "path");
  if (!path) {
    return;
  }
  if (const std::optional<Rgba> fill = time.color(layer, "fillColor")) {
    context.setFillColor(*fill);
    context.fillPath(*path, layer.fillRule());
  }
  if (const std::optional<Rgba> stroke = time.color(layer, "strokeColor")) {
    StrokeStyle style = layer.strokeStyle();
    style.lineWidth = time.number(layer, "lineWidth");
    style.miterLimit = time.number(layer, "miterLimit");
    style.dashPhase = time.number(layer, "lineDashPhase");
    context.setStrokeColor(*stroke);
    context.strokePath(path->trimmed(time.number(layer, "strokeStart"), time.number(layer, "strokeEnd")),
                       style);
  }
}

void LayerPainter::gradient(GraphicsContext& context, const GradientLayer& layer) {
  const std::vector<Rgba>& colors = layer.colors();
  if (colors.empty()) {
    return;
  }
  const RenderTime& time = context.renderTime();
  const Rect bounds = time.rect(layer, "bounds").standardized();
  const Point start = unitPoint(bounds, time.point(layer, "startPoint"));
  const Point end = unitPoint(bounds, time.point(layer, "endPoint"));
  if (colors.size() == 1) {
    context.setFillColor(colors.front());
    context.fillPath(BezierPath::rect(bounds).path());
    return;
  }
  if (!std::isfinite(start.x + start.y + end.x + end.y)) {
    return;
  }
  cairo_pattern_t* pattern = cairo_pattern_create_linear(start.x, start.y, end.x, end.y);
  const std::vector<double> locations = layer.stopLocations();
  for (std::size_t i = 0; i < colors.size(); ++i) {
    const double location = std::isnan(locations[i]) ? 0 : std::clamp(locations[i], 0.0, 1.0);
    cairo_pattern_add_color_stop_rgba(pattern, location, colors[i].red, colors[i].green, colors[i].blue,
                                      colors[i].alpha);
  }
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
  cairo_t* cairo = context.cairo();
  cairo_new_path(cairo);
  cairo_rectangle(cairo, bounds.minX(), bounds.minY(), bounds.width(), bounds.height());
  cairo_set_source(cairo, pattern);
  cairo_fill(cairo);
  cairo_pattern_destroy(pattern);
}

}  // namespace platform
