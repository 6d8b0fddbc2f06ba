#pragma once

#include <cairo.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/Rgba.hpp"

namespace platform {

// Raised when an image file cannot be read or written; the message names the file and the reason.
class ImageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A bitmap with a size in points: a cairo ARGB32 surface (premultiplied alpha, row 0 at the top) of
// size * scale pixels, and a template flag that marks images meant to be tinted (symbols). Images are
// reference objects owned through std::shared_ptr; once shared as std::shared_ptr<const Image> they are not
// changed any more, and every operation below that gives another look returns a new image.
class Image {
 public:
  // A transparent image. The bitmap is ceil(size * scale) pixels each way. A width or height that is zero,
  // negative or not finite gives the empty image: size zero, no pixels. Throws std::invalid_argument for a
  // scale that is not finite and above zero, or a bitmap wider or taller than 32767 pixels (cairo's limit).
  static std::shared_ptr<Image> create(Size size, double scale = 1);
  // Reads a PNG file. The size in points is the pixel size divided by scale. Throws ImageError when the file
  // cannot be read or is not a PNG, std::invalid_argument for a bad scale.
  static std::shared_ptr<Image> readPng(const std::string& path, double scale = 1);

  Size size() const { return size_; }
  double scale() const { return scale_; }
  int pixelWidth() const;
  int pixelHeight() const;
  bool isEmpty() const { return pixelWidth() == 0 || pixelHeight() == 0; }
  bool isTemplate() const { return template_; }
  void setTemplate(bool isTemplate) { template_ = isTemplate; }

  // The bitmap, for drawing into while the image is being made and for reading. Draw through
  // GraphicsContext (which flushes), or call cairo_surface_mark_dirty after writing the pixels directly.
  cairo_surface_t* surface() const { return surface_.get(); }

  // A deep copy: the same size, scale, template flag and pixels.
  std::shared_ptr<Image> copy() const;
  // A copy whose pixels take the colour over their own coverage (the source-atop operation: transparent
  // pixels stay transparent, opaque ones become the colour, partly covered ones blend), and that is no
  // template. Whether a non-template image should be tinted at all is the caller's decision.
  std::shared_ptr<Image> tinted(const Rgba& color) const;
  // A new image of the given size at this image's scale, holding this image stretched over all of it with
  // the best filter; the aspect ratio is not kept. A bad size gives the empty image, as create does.
  std::shared_ptr<Image> resized(Size size) const;

  // Writes the bitmap as a PNG file. Throws ImageError when the file cannot be written or the image is empty.
  void writePng(const std::string& path) const;

  // The pixel at a column (from the left) and row (from the top), with premultiplied components in 0...1,
  // as the surface stores them. Throws std::out_of_range outside the bitmap.
  Rgba pixel(int column, int row) const;

 private:
  struct SurfaceRelease {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
  };
  using SurfacePointer = std::unique_ptr<cairo_surface_t, SurfaceRelease>;

  struct Token {};

 public:
  // Use create or readPng; public only so that std::make_shared can reach it.
  Image(Token, SurfacePointer surface, Size size, double scale);

 private:
  SurfacePointer surface_;
  Size size_;
  double scale_;
  bool template_ = false;
};

}  // namespace platform
