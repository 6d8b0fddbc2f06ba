#pragma once

#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/Layer.hpp"

namespace platform {

// Draws layer trees into a graphics context with the values at the context's render time. For each layer
// that is not hidden and not fully transparent, under its transform about the anchor point: its shadow,
// its background in the rounded bounds, its content (a shape layer's fill and trimmed, dashed stroke, a
// gradient layer's gradient, then whatever drawInContext draws, such as a text layer's string), its
// sublayers in zPosition order (stable for equal ones), then its border. masksToBounds clips all of it,
// the layer's own shadow included, to the rounded bounds. Opacity applies to the layer and its tree as one
// group; a mask layer, placed in the layer's space, keeps only what lies under its rendered alpha. A
// geometry-flipped layer's content, sublayers and mask are drawn in its space turned upside down within
// the bounds. Text stays upright in every orientation.
class LayerRenderer {
 public:
  // Draws a layer in its own space: the context's user space is taken as the layer's bounds space, so the
  // layer's position and transform do not apply (its flip does).
  static void render(Layer& layer, GraphicsContext& context);
  // Draws a layer as its superlayer does: the context's user space is the superlayer's space.
  static void renderPlaced(Layer& layer, GraphicsContext& context);
};

}  // namespace platform
