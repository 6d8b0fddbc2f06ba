#include "Platform/Graphics/ImageFocus.hpp"

namespace platform {

namespace {

// A fresh cairo context on the bitmap, mapping the image's points (y-up) onto its pixel rows (y-down).
cairo_t* pointContext(Image& image) {
  cairo_t* cairo = cairo_create(image.surface());
  cairo_matrix_t matrix;
  cairo_matrix_init(&matrix, image.scale(), 0, 0, -image.scale(), 0, image.size().height * image.scale());
  cairo_set_matrix(cairo, &matrix);
  return cairo;
}

}  // namespace

ImageFocus::ImageFocus(Image& image) : cairo_(pointContext(image)), context_(cairo_), scope_(context_) {}

ImageFocus::~ImageFocus() {
  cairo_surface_flush(cairo_get_target(cairo_));
  cairo_destroy(cairo_);
}

}  // namespace platform
