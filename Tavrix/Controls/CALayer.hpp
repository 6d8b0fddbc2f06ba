#pragma once

#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/Rgba.hpp"

namespace Tavrix::CALayer {

// The colour of the layer's one-point pixel whose bottom-left corner is the point (in the layer's own y-up
// space), rendered from the model values, as premultiplied components: half-transparent white reads about
// (0.5, 0.5, 0.5, 0.5), and a point outside the layer's content reads (0, 0, 0, 0).
platform::Rgba color(platform::Layer& layer, platform::Point point);

}  // namespace Tavrix::CALayer
