#pragma once

#include <cairo.h>

#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/Image.hpp"

namespace platform {

// Draws into an image while it lives: a graphics context over the image's bitmap whose user space is the
// image's points, y-up from the bottom-left corner, made the calling thread's current context. The drawing
// is in the bitmap when the focus ends. Keep the image from readers until then.
class ImageFocus {
 public:
  explicit ImageFocus(Image& image);
  ~ImageFocus();
  ImageFocus(const ImageFocus&) = delete;
  ImageFocus& operator=(const ImageFocus&) = delete;

  GraphicsContext& context() { return context_; }

 private:
  cairo_t* cairo_;
  GraphicsContext context_;
  GraphicsContextScope scope_;
};

}  // namespace platform
