#include "Platform/Graphics/LayerRenderer.hpp"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <optional>
#include <typeinfo>
#include <vector>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/GradientLayer.hpp"
#include "Platform/Graphics/LayerPainter.hpp"
#include "Platform/Graphics/LayerShadow.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"

namespace platform {

namespace {

// Turns the context upside down within the bounds when the layer's geometry is flipped.
void enterContentSpace(GraphicsContext& context, const Layer& layer, const Rect& bounds) {
  if (layer.isGeometryFlipped()) {
    context.translate(0, bounds.minY() + bounds.maxY());
    context.scale(1, -1);
  }
}

// The rendered sublayers in drawing order. The list is a copy, so drawing code that changes the tree
// cannot pull layers out from under the walk.
std::vector<std::shared_ptr<Layer>> sublayersInOrder(const Layer& layer, const RenderTime& time) {
  std::vector<std::shared_ptr<Layer>> ordered = layer.renderedSublayers();
  std::stable_sort(ordered.begin(), ordered.end(),
                   [&time](const std::shared_ptr<Layer>& a, const std::shared_ptr<Layer>& b) {
                     return time.number(*a, "zPosition") < time.number(*b, "zPosition");
                   });
  return ordered;
}

// Everything of the layer but its shadow, in its own space.
void drawBody(Layer& layer, GraphicsContext& context, const Rect& bounds) {
  LayerPainter::background(context, layer);
  context.saveGState();
  enterContentSpace(context, layer, bounds);
  if (const auto* shape = dynamic_cast<const ShapeLayer*>(&layer)) {
    LayerPainter::shape(context, *shape);
  } else if (const auto* gradient = dynamic_cast<const GradientLayer*>(&layer)) {
    LayerPainter::gradient(context, *gradient);
  }
  layer.drawInContext(context);
  for (const std::shared_ptr<Layer>& sublayer : sublayersInOrder(layer, context.renderTime())) {
    LayerRenderer::renderPlaced(*sublayer, context);
  }
  context.restoreGState();
  LayerPainter::border(context, layer);
}

// The mask as a shape layer that draws nothing but its path (no background, border, shadow, sublayers or
// mask of its own, fully opaque, not clipping, not flipped); null for any other mask.
const ShapeLayer* plainShape(const Layer& mask, const RenderTime& time) {
  if (typeid(mask) != typeid(ShapeLayer) || mask.isHidden() || mask.masksToBounds() ||
      mask.isGeometryFlipped() || mask.mask() || (mask.sublayers() && !mask.sublayers()->empty()) ||
      time.number(mask, "opacity") < 1 || time.color(mask, "backgroundColor") ||
      time.number(mask, "shadowOpacity") > 0 ||
      (time.number(mask, "borderWidth") > 0 && time.color(mask, "borderColor"))) {
    return nullptr;
  }
  return static_cast<const ShapeLayer*>(&mask);
}

// Clips, in the layer's space, to a path given in the space of the mask as it is placed.
void clipUnderMask(Layer& layer, const AffineTransform& placement, GraphicsContext& context,
                   const Rect& bounds, const Path& path, FillRule rule) {
  // cairo keeps clips in device space: add the path under the mask's placement, clip under the layer's.
  cairo_t* cairo = context.cairo();
  cairo_matrix_t layerSpace;
  cairo_get_matrix(cairo, &layerSpace);
  enterContentSpace(context, layer, bounds);
  context.concat(placement);
  cairo_new_path(cairo);
  GraphicsContext::appendPath(cairo, path);
  cairo_set_matrix(cairo, &layerSpace);
  cairo_set_fill_rule(cairo, rule == FillRule::evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
  cairo_clip(cairo);
}

// A mask that is one opaque shape layer, unstroked or stroked in a clear colour, and nothing else covers
// exactly what filling its path covers, so it can clip instead of being rendered into a group of its own.
// Clips to it and returns true when the mask is such a shape.
bool clipToSimpleMask(Layer& layer, const Layer& mask, GraphicsContext& context, const Rect& bounds) {
  const RenderTime& time = context.renderTime();
  const ShapeLayer* shape = plainShape(mask, time);
  if (!shape) {
    return false;
  }
  const std::optional<Rgba> fill = time.color(*shape, "fillColor");
  const std::optional<Path> path = time.path(*shape, "path");
  const AffineTransform placement = time.transformToSuperlayer(*shape);
  const std::optional<Rgba> stroke = time.color(*shape, "strokeColor");
  if (!fill || fill->alpha < 1 || !path || !placement.inverted() ||
      (stroke && stroke->alpha > 0 && time.number(*shape, "lineWidth") > 0)) {
    return false;
  }
  clipUnderMask(layer, placement, context, bounds, *path, shape->fillRule());
  return true;
}

// Any other shape mask covers nothing beyond its path's control points widened by the reach of its stroke
// (half the line width times the miter limit, or the corner of a square cap) and a point for smoothing.
// Clipping to that changes no pixel and keeps the groups that composite the layer through the mask small:
// a dashed line across a view then costs a strip, not the whole view.
void clipToMaskExtent(Layer& layer, const Layer& mask, GraphicsContext& context, const Rect& bounds) {
  const RenderTime& time = context.renderTime();
  const ShapeLayer* shape = plainShape(mask, time);
  const std::optional<Path> path = shape ? time.path(*shape, "path") : std::nullopt;
  const AffineTransform placement = time.transformToSuperlayer(mask);
  if (!path || !placement.inverted()) {
    return;
  }
  double reach = 1;
  const double lineWidth = time.number(*shape, "lineWidth");
  if (time.color(*shape, "strokeColor") && lineWidth > 0) {
    const double miterLimit = time.number(*shape, "miterLimit");
    reach += lineWidth / 2 * std::max(std::isfinite(miterLimit) ? miterLimit : 10, std::numbers::sqrt2);
  }
  const Rect extent = path->controlBounds().insetBy(-reach, -reach);
  if (std::isfinite(extent.minX()) && std::isfinite(extent.minY()) && std::isfinite(extent.width()) &&
      std::isfinite(extent.height())) {
    clipUnderMask(layer, placement, context, bounds, BezierPath::rect(extent).path(), FillRule::nonZero);
  }
}

}  // namespace

void LayerRenderer::render(Layer& layer, GraphicsContext& context) {
  const RenderTime& time = context.renderTime();
  const double opacity = std::min(time.number(layer, "opacity"), 1.0);
  if (layer.isHidden() || !(opacity > 0)) {
    return;
  }
  const Rect bounds = time.rect(layer, "bounds").standardized();

  context.saveGState();
  if (layer.masksToBounds()) {
    context.clipToPath(LayerPainter::roundedBounds(bounds, time.number(layer, "cornerRadius")).path());
  }
  std::shared_ptr<Layer> mask = layer.mask();
  if (mask && clipToSimpleMask(layer, *mask, context, bounds)) {
    mask.reset();
  } else if (mask) {
    clipToMaskExtent(layer, *mask, context, bounds);
  }
  const auto draw = [&layer, &bounds](GraphicsContext& into) {
    LayerShadow::draw(into, layer,
                      [&layer, &bounds](GraphicsContext& shape) { drawBody(layer, shape, bounds); });
    drawBody(layer, into, bounds);
  };
  if (mask) {
    // The mask is placed in the layer's content space.
    context.drawMasked(
        draw,
        [&layer, &mask, &bounds](GraphicsContext& into) {
          enterContentSpace(into, layer, bounds);
          LayerRenderer::renderPlaced(*mask, into);
        },
        opacity);
  } else if (opacity < 1) {
    context.drawMasked(draw, nullptr, opacity);
  } else {
    draw(context);
  }
  context.restoreGState();
}

void LayerRenderer::renderPlaced(Layer& layer, GraphicsContext& context) {
  if (layer.isHidden()) {
    return;
  }
  const AffineTransform placement = context.renderTime().transformToSuperlayer(layer);
  // A transform that collapses the layer to a line or point leaves nothing to see.
  if (!placement.inverted()) {
    return;
  }
  context.saveGState();
  context.concat(placement);
  render(layer, context);
  context.restoreGState();
}

}  // namespace platform
