#pragma once

#include <memory>
#include <string>

#include "Platform/Graphics/Image.hpp"
#include "Platform/Graphics/RenderTime.hpp"
#include "Platform/UI/View.hpp"

namespace platform {

// Pictures of view trees, as a window would show them: the layout and display passes run first (see
// View::layoutSubtreeIfNeeded and View::displayIfNeeded), then every visible view of the tree is drawn:
// its recorded drawing, its layer's sublayers, then its subviews, each under its layer's clip, opacity,
// mask and shadow. Layers show their values at the render time (the settled look unless told).
class ViewRenderer {
 public:
  // A new transparent image of the view's bounds at scale pixels per point, the view upright in it (its
  // position in its superview does not count). A hidden view or empty bounds give a transparent or empty
  // image. Throws std::invalid_argument for a bad scale, as Image::create does.
  static std::shared_ptr<Image> image(View& view, double scale = 1, RenderTime time = RenderTime::settled());
  // The same image written as a PNG file (ImageError when it cannot be written or is empty).
  static void writePng(View& view, const std::string& path, double scale = 1,
                       RenderTime time = RenderTime::settled());
};

}  // namespace platform
