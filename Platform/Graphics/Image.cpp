#include "Platform/Graphics/Image.hpp"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <system_error>

#include "Platform/Foundation/FileReplacement.hpp"

namespace platform {

namespace {

constexpr int maximumPixels = 32767;

void requireScale(double scale, const char* operation) {
  if (!std::isfinite(scale) || scale <= 0) {
    throw std::invalid_argument(std::string("Image::") + operation + ": the scale " + std::to_string(scale) +
                                " is not finite and above zero");
  }
}

bool isDrawableSize(Size size) {
  return std::isfinite(size.width) && std::isfinite(size.height) && size.width > 0 && size.height > 0;
}

// Pixels needed to cover a length; a length a hair above a whole number (from the multiplication) does not
// add a pixel.
int pixelsFor(double points, double scale) {
  const double pixels = std::ceil(points * scale - 1e-9);
  if (pixels > maximumPixels) {
    throw std::invalid_argument("Image::create: " + std::to_string(pixels) + " pixels is above cairo's " +
                                std::to_string(maximumPixels));
  }
  return static_cast<int>(pixels);
}

std::string cairoReason(cairo_status_t status) { return cairo_status_to_string(status); }

// A fresh cairo drawing state on an image's bitmap, in pixel units.
struct Painter {
  explicit Painter(cairo_surface_t* surface) : cr(cairo_create(surface)) {}
  ~Painter() { cairo_destroy(cr); }
  Painter(const Painter&) = delete;
  Painter& operator=(const Painter&) = delete;

  cairo_t* cr;
};

}  // namespace

Image::Image(Token, SurfacePointer surface, Size size, double scale)
    : surface_(std::move(surface)), size_(size), scale_(scale) {}

std::shared_ptr<Image> Image::create(Size size, double scale) {
  requireScale(scale, "create");
  const bool drawable = isDrawableSize(size);
  const int width = drawable ? pixelsFor(size.width, scale) : 0;
  const int height = drawable ? pixelsFor(size.height, scale) : 0;
  SurfacePointer surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  if (const cairo_status_t status = cairo_surface_status(surface.get()); status != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error("Image::create: " + cairoReason(status));
  }
  return std::make_shared<Image>(Token{}, std::move(surface), drawable ? size : Size{}, scale);
}

std::shared_ptr<Image> Image::readPng(const std::string& path, double scale) {
  requireScale(scale, "readPng");
  SurfacePointer read(cairo_image_surface_create_from_png(path.c_str()));
  if (const cairo_status_t status = cairo_surface_status(read.get()); status != CAIRO_STATUS_SUCCESS) {
    throw ImageError("cannot read the PNG file " + path + ": " + cairoReason(status));
  }
  const int width = cairo_image_surface_get_width(read.get());
  const int height = cairo_image_surface_get_height(read.get());
  std::shared_ptr<Image> image = create({width / scale, height / scale}, scale);
  // cairo gives RGB24 or A8 for PNGs without colour or alpha; painting converts every format to ARGB32.
  Painter painter(image->surface());
  cairo_set_operator(painter.cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(painter.cr, read.get(), 0, 0);
  cairo_paint(painter.cr);
  cairo_surface_flush(image->surface());
  return image;
}

int Image::pixelWidth() const { return cairo_image_surface_get_width(surface_.get()); }

int Image::pixelHeight() const { return cairo_image_surface_get_height(surface_.get()); }

std::shared_ptr<Image> Image::copy() const {
  std::shared_ptr<Image> result = create(size_, scale_);
  cairo_surface_flush(surface_.get());
  cairo_surface_t* target = result->surface();
  cairo_surface_flush(target);
  const int stride = cairo_image_surface_get_stride(surface_.get());
  const std::size_t bytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(pixelHeight());
  if (bytes > 0) {
    std::memcpy(cairo_image_surface_get_data(target), cairo_image_surface_get_data(surface_.get()), bytes);
  }
  cairo_surface_mark_dirty(target);
  result->template_ = template_;
  return result;
}

std::shared_ptr<Image> Image::tinted(const Rgba& color) const {
  std::shared_ptr<Image> result = copy();
  if (!result->isEmpty()) {
    Painter painter(result->surface());
    cairo_set_operator(painter.cr, CAIRO_OPERATOR_ATOP);
    cairo_set_source_rgba(painter.cr, color.red, color.green, color.blue, color.alpha);
    cairo_paint(painter.cr);
    cairo_surface_flush(result->surface());
  }
  result->template_ = false;
  return result;
}

std::shared_ptr<Image> Image::resized(Size size) const {
  std::shared_ptr<Image> result = create(size, scale_);
  if (result->isEmpty() || isEmpty()) {
    return result;
  }
  Painter painter(result->surface());
  cairo_scale(painter.cr, static_cast<double>(result->pixelWidth()) / pixelWidth(),
              static_cast<double>(result->pixelHeight()) / pixelHeight());
  cairo_set_source_surface(painter.cr, surface_.get(), 0, 0);
  // Padding keeps the edge pixels opaque where the filter reaches past the source.
  cairo_pattern_set_extend(cairo_get_source(painter.cr), CAIRO_EXTEND_PAD);
  cairo_pattern_set_filter(cairo_get_source(painter.cr), CAIRO_FILTER_BEST);
  cairo_set_operator(painter.cr, CAIRO_OPERATOR_SOURCE);
  cairo_paint(painter.cr);
  cairo_surface_flush(result->surface());
  return result;
}

void Image::writePng(const std::string& path) const {
  if (isEmpty()) {
    throw ImageError("cannot write the PNG file " + path + ": the image has no pixels");
  }
  cairo_surface_flush(surface_.get());
  // The PNG goes to a temporary file that replaces the old picture only when whole: a full disk or a write
  // error leaves the old picture as it was.
  struct Output {
    FileReplacement file;
    std::optional<std::system_error> failure;
  };
  try {
    Output output{FileReplacement(path), std::nullopt};
    const auto writeBytes = [](void* closure, const unsigned char* data, unsigned int length) {
      auto& out = *static_cast<Output*>(closure);
      try {
        out.file.write(data, length);
        return CAIRO_STATUS_SUCCESS;
      } catch (const std::system_error& error) {
        out.failure = error;
        return CAIRO_STATUS_WRITE_ERROR;
      }
    };
    const cairo_status_t status = cairo_surface_write_to_png_stream(surface_.get(), writeBytes, &output);
    if (output.failure) throw *output.failure;
    if (status != CAIRO_STATUS_SUCCESS) {
      throw ImageError("cannot write the PNG file " + path + ": " + cairoReason(status));
    }
    output.file.commit();
  } catch (const std::system_error& error) {
    throw ImageError("cannot write the PNG file " + path + ": " + error.code().message());
  }
}

Rgba Image::pixel(int column, int row) const {
  if (column < 0 || row < 0 || column >= pixelWidth() || row >= pixelHeight()) {
    throw std::out_of_range("Image::pixel: (" + std::to_string(column) + ", " + std::to_string(row) +
                            ") is outside the " + std::to_string(pixelWidth()) + " x " +
                            std::to_string(pixelHeight()) + " bitmap");
  }
  cairo_surface_flush(surface_.get());
  const unsigned char* data = cairo_image_surface_get_data(surface_.get());
  const int stride = cairo_image_surface_get_stride(surface_.get());
  std::uint32_t argb = 0;
  std::memcpy(&argb, data + static_cast<std::ptrdiff_t>(row) * stride + column * 4, sizeof argb);
  const auto component = [argb](int shift) { return ((argb >> shift) & 0xffU) / 255.0; };
  return {component(16), component(8), component(0), component(24)};
}

}  // namespace platform
