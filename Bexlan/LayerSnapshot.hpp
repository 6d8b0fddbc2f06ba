#pragma once

#include <memory>

#include "Platform/Graphics/Image.hpp"
#include "Platform/Graphics/Layer.hpp"

namespace Bexlan::CALayer {

// An image of the layer's rendered content (model values) with the frame's width and height truncated to
// whole pixels; the layer's own bottom-left corner sits at the image's bottom-left pixel, so a fractional
// top row is cut off. A frame under one pixel either way, or not finite, gives the empty image.
std::shared_ptr<platform::Image> snapshotImage(platform::Layer& layer);

}  // namespace Bexlan::CALayer
