#pragma once

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/GradientLayer.hpp"
#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/Path.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"

namespace platform {

// The parts of one layer that the layer renderer draws, each in the layer's own space and with the values
// at the context's render time.
class LayerPainter {
 public:
  // The bounds with corners of the given radius, which is held to half the shorter side (a radius that is
  // not above zero gives square corners).
  static BezierPath roundedBounds(const Rect& bounds, double cornerRadius);
  // The background colour over the rounded bounds.
  static void background(GraphicsContext& context, const Layer& layer);
  // The border: the band of borderWidth just inside the rounded bounds.
  static void border(GraphicsContext& context, const Layer& layer);
  // A shape layer's content: the fill of the whole path, then the stroke of its part between strokeStart
  // and strokeEnd.
  static void shape(GraphicsContext& context, const ShapeLayer& layer);
  // A gradient layer's content: its colours along the axis between the start and end points, padded with
  // the end colours beyond them, over the bounds.
  static void gradient(GraphicsContext& context, const GradientLayer& layer);
};

}  // namespace platform
