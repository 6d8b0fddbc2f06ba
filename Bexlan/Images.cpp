#include "Bexlan/Images.hpp"

#include <array>
#include <optional>
#include <string>
#include <utility>

#include "Bexlan/SymbolIcons.hpp"
#include "Platform/Graphics/SymbolRenderer.hpp"

namespace Bexlan {

namespace {

// The symbol set: each symbol name with the Adwaita symbolic icon that draws it, chosen for a like shape.
constexpr std::array<std::pair<std::string_view, std::string_view>, 11> symbolIcons{{
    {"cpu", "drive-harddisk-solidstate-symbolic"},  // a board with contacts on every side
    {"memorychip", "auth-sim-symbolic"},            // a card with a contact chip
    {"chevron.up", "go-up-symbolic"},
    {"chevron.down", "go-down-symbolic"},
    {"arrowtriangle.up", "pan-up-symbolic"},  // filled triangles
    {"arrowtriangle.down", "pan-down-symbolic"},
    {"sdcard", "media-flash-symbolic"},
    {"internaldrive", "drive-harddisk-symbolic"},
    {"externaldrive", "drive-removable-media-symbolic"},
    {"square.grid.2x2.fill", "view-grid-symbolic"},
    {"square.grid.3x1.fill.below.line.grid.1x2", "view-list-symbolic"},
}};

std::optional<std::string_view> iconName(std::string_view symbolName) {
  for (const auto& [symbol, icon] : symbolIcons) {
    if (symbol == symbolName) return icon;
  }
  return std::nullopt;
}

std::shared_ptr<platform::Image> drawSymbol(std::string_view name, double pointSize) {
  const std::optional<std::string_view> icon = iconName(name);
  const std::optional<std::filesystem::path> file =
      icon ? platform::SymbolRenderer::iconFile(*icon) : std::nullopt;
  if (!file) {
    std::shared_ptr<platform::Image> empty = platform::Image::create(platform::Size{}, Images::symbolScale);
    empty->setTemplate(true);
    return empty;
  }
  return platform::SymbolRenderer::render(*file, pointSize, Images::symbolScale);
}

// A resource name names a file at the top of a bundle: no folders, so no way out of it.
bool isResourceName(std::string_view name) {
  return name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

}  // namespace

// Linking this object installs the drawer of the store's symbol icons. The symbol below lets a program that
// links the image helpers ask the linker for this object by name (--undefined=velmora_bexlan_images).
extern "C" {
extern const bool velmora_bexlan_images;
const bool velmora_bexlan_images = (SymbolIcons::setDrawer(&Images::systemSymbol), true);
}

ImageRef Images::systemSymbol(std::string_view name) { return drawSymbol(name, defaultPointSize); }

ImageRef Images::configuredSymbol(std::string_view name, double pointSize, double /*weight*/) {
  return drawSymbol(name, pointSize);
}

ImageRef Images::configuredSymbol(std::string_view name, const platform::Color& tint, double pointSize,
                                  double weight) {
  // Drawn at its final size, then tinted: the same pixels as tinting first and resizing after, but sharp.
  return tinted(configuredSymbol(name, pointSize, weight), tint);
}

ImageRef Images::tintedSymbol(std::string_view name, const platform::Color& tint) {
  return tinted(systemSymbol(name), tint);
}

ImageRef Images::tinted(const ImageRef& image, const platform::Color& color) {
  if (!image || !image->isTemplate()) return image;
  return image->tinted(color.rgba());
}

ImageRef Images::named(std::string_view name) {
  if (!isResourceName(name)) return platform::Image::create(platform::Size{});
  for (const std::shared_ptr<platform::Bundle>& bundle :
       {platform::Bundle::main(), platform::Bundle::module("Bexlan")}) {
    if (bundle->path(name, "png")) return named(name, *bundle);
  }
  return platform::Image::create(platform::Size{});
}

ImageRef Images::named(std::string_view name, const platform::Bundle& bundle) {
  if (!isResourceName(name)) return platform::Image::create(platform::Size{});
  if (const std::optional<std::filesystem::path> file = bundle.path(name, "png")) {
    try {
      return platform::Image::readPng(file->string());
    } catch (const platform::ImageError&) {
      // An unreadable resource is shown as nothing, like a missing one.
    }
  }
  return platform::Image::create(platform::Size{});
}

}  // namespace Bexlan
