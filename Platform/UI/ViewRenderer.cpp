#include "Platform/UI/ViewRenderer.hpp"

#include <memory>

#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/LayerRenderer.hpp"
#include "Platform/UI/ViewLayer.hpp"

namespace platform {

std::shared_ptr<Image> ViewRenderer::image(View& view, double scale, RenderTime time) {
  view.layoutSubtreeIfNeeded();
  view.displayIfNeeded();
  const Rect bounds = view.bounds();
  std::shared_ptr<Image> image = Image::create(bounds.size, scale);
  if (image->isEmpty() || view.isHidden()) {
    return image;
  }
  // The view's layer flips relative to its superview's coordinates, so draw in those: y-down from the top
  // under a flipped superview, else y-up from the bottom.
  const std::shared_ptr<View> superview = view.superview();
  const AffineTransform toPixels = superview && superview->isFlipped()
                                       ? AffineTransform{scale, 0, 0, scale, 0, 0}
                                       : AffineTransform{scale, 0, 0, -scale, 0, bounds.height() * scale};
  GraphicsContext::drawInto(*image, toPixels, time, [&view](GraphicsContext& context) {
    LayerRenderer::render(*view.layer_, context);
  });
  return image;
}

void ViewRenderer::writePng(View& view, const std::string& path, double scale, RenderTime time) {
  image(view, scale, time)->writePng(path);
}

}  // namespace platform
