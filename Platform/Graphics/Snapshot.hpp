#pragma once

#include <memory>
#include <string>

#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/Image.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/RenderTime.hpp"
#include "Platform/Graphics/Rgba.hpp"

namespace platform {

// Pictures of layer trees: an image of a layer's bounds, a PNG file of it, and the colour of one point.
class Snapshot {
 public:
  // The layer drawn in its own space (see LayerRenderer::render) into a new transparent image of its
  // bounds' size at scale pixels per point, the bounds' top edge at the image's top. Empty bounds give the
  // empty image. Throws std::invalid_argument for a bad scale, as Image::create does.
  static std::shared_ptr<Image> image(Layer& layer, double scale = 1,
                                      RenderTime time = RenderTime::settled());
  // The same image written as a PNG file (ImageError when it cannot be written or is empty).
  static void writePng(Layer& layer, const std::string& path, double scale = 1,
                       RenderTime time = RenderTime::settled());
  // The colour of the one-point square whose bottom-left corner is the given point of the layer's own
  // (y-up) space, with the model values, as premultiplied components: a half-transparent white reads
  // about (0.5, 0.5, 0.5, 0.5).
  static Rgba colorAt(Layer& layer, Point point);
};

}  // namespace platform
