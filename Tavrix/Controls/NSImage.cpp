#include "Tavrix/Controls/NSImage.hpp"

#include <stdexcept>

namespace Tavrix::NSImage {

std::shared_ptr<const platform::Image> tinted(const std::shared_ptr<const platform::Image>& image,
                                              const platform::ColorRef& color) {
  if (!image || !image->isTemplate()) {
    return image;
  }
  if (!color) {
    throw std::invalid_argument("a template image needs a colour to be tinted with");
  }
  return image->tinted(color->rgba());
}

std::shared_ptr<platform::Image> resized(const platform::Image& image, platform::Size size) {
  return image.resized(size);
}

}  // namespace Tavrix::NSImage
