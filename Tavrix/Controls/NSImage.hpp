#pragma once

#include <memory>

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/Image.hpp"

namespace Tavrix::NSImage {

// A template image painted in the colour (resolved now) over its own coverage, as a new image that is no
// template; any other image (and null) is returned as it is.
std::shared_ptr<const platform::Image> tinted(const std::shared_ptr<const platform::Image>& image,
                                              const platform::ColorRef& color);

// The image stretched over a new image of the given size with the best filter; the aspect ratio is not
// kept. A size that is zero, negative or not finite gives the empty image.
std::shared_ptr<platform::Image> resized(const platform::Image& image, platform::Size size);

}  // namespace Tavrix::NSImage
