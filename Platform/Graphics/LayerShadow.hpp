#pragma once

#include <functional>

#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/Layer.hpp"

namespace platform {

// A layer's drop shadow: the shape of the layer (its shadowPath, or else the alpha of everything the layer
// draws), blurred by ShadowBlur with a deviation of half the shadow radius, moved by the shadow offset and
// painted in the shadow colour at the shadow opacity. Values are read at the context's render time.
class LayerShadow {
 public:
  // Draws the shadow under what is about to be drawn. body draws the layer (without its shadow) into the
  // context it is given, whose user space is the layer's own space; it is called only when the layer has a
  // visible shadow and no shadowPath.
  static void draw(GraphicsContext& context, const Layer& layer,
                   const std::function<void(GraphicsContext&)>& body);
};

}  // namespace platform
