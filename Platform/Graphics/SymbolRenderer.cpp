#include "Platform/Graphics/SymbolRenderer.hpp"

#include <librsvg/rsvg.h>

#include <algorithm>
#include <string>
#include <system_error>
#include <vector>

namespace platform {

namespace {

namespace fs = std::filesystem;

struct HandleRelease {
  void operator()(RsvgHandle* handle) const { g_object_unref(handle); }
};
using Handle = std::unique_ptr<RsvgHandle, HandleRelease>;

struct ContextRelease {
  void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
using Context = std::unique_ptr<cairo_t, ContextRelease>;

// librsvg reports failures through GError; only success matters here, so the error is just released.
struct ErrorSlot {
  GError* error = nullptr;
  ~ErrorSlot() {
    if (error) g_error_free(error);
  }
};

// Draws the document over the whole bitmap and turns every drawn pixel black, keeping its coverage: the
// Adwaita drawings are grey, some with lighter parts, and a template carries only its shape.
bool drawAsTemplate(const fs::path& svgFile, Image& image) {
  ErrorSlot loading;
  const Handle handle(rsvg_handle_new_from_file(svgFile.c_str(), &loading.error));
  if (!handle) return false;
  const Context cr(cairo_create(image.surface()));
  const RsvgRectangle viewport{0, 0, double(image.pixelWidth()), double(image.pixelHeight())};
  ErrorSlot drawing;
  if (!rsvg_handle_render_document(handle.get(), cr.get(), &viewport, &drawing.error)) return false;
  cairo_set_operator(cr.get(), CAIRO_OPERATOR_ATOP);
  cairo_set_source_rgb(cr.get(), 0, 0, 0);
  cairo_paint(cr.get());
  cairo_surface_flush(image.surface());
  return cairo_status(cr.get()) == CAIRO_STATUS_SUCCESS;
}

std::shared_ptr<Image> emptyTemplate(double scale) {
  std::shared_ptr<Image> image = Image::create(Size{}, scale);
  image->setTemplate(true);
  return image;
}

}  // namespace

const fs::path& SymbolRenderer::themeDirectory() {
  static const fs::path directory = "/usr/share/icons/Adwaita/scalable";
  return directory;
}

std::optional<fs::path> SymbolRenderer::iconFile(std::string_view iconName) {
  if (iconName.empty() || iconName.find('/') != std::string_view::npos) return std::nullopt;
  std::error_code error;
  std::vector<fs::path> contexts;
  for (const fs::directory_entry& entry : fs::directory_iterator(themeDirectory(), error)) {
    if (entry.is_directory(error)) contexts.push_back(entry.path());
  }
  // Directory order is the file system's; sorted, the same icon is found on every machine.
  std::sort(contexts.begin(), contexts.end());
  const std::string fileName = std::string(iconName) + ".svg";
  for (const fs::path& context : contexts) {
    fs::path candidate = context / fileName;
    if (fs::is_regular_file(candidate, error)) return candidate;
  }
  return std::nullopt;
}

std::shared_ptr<Image> SymbolRenderer::render(const fs::path& svgFile, double pointSize, double scale) {
  std::shared_ptr<Image> image = Image::create(Size{pointSize, pointSize}, scale);
  if (image->isEmpty() || !drawAsTemplate(svgFile, *image)) return emptyTemplate(scale);
  image->setTemplate(true);
  return image;
}

}  // namespace platform
