#pragma once

#include <memory>
#include <string_view>

#include "Platform/Foundation/Bundle.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Image.hpp"

namespace Bexlan {

using ImageRef = std::shared_ptr<const platform::Image>;

// Symbol images by symbol name ("cpu", "memorychip", "chevron.up", "arrowtriangle.down", "sdcard",
// "internaldrive", "externaldrive", ...), drawn from the Adwaita symbolic icons, and named image resources.
// Each symbol call draws a new image. A symbol name without a drawing gives the empty template image; callers
// pass only names of the symbol set.
class Images {
 public:
  Images() = delete;

  // The size of a symbol without a configuration: the icon theme's design size, in points.
  static constexpr double defaultPointSize = 16;
  // Symbols are drawn at twice their point size in pixels, sharp on high-density screens and smooth when
  // drawn at one pixel per point.
  static constexpr double symbolScale = 2;

  // The template image of a symbol, defaultPointSize points square.
  static ImageRef systemSymbol(std::string_view name);

  // The template image of a symbol, pointSize points square. The weight is a font weight from -1 (thinnest)
  // through 0 (regular) to 1 (heaviest); the Adwaita drawings come in one weight only, so it does not change
  // the drawing. A point size that is zero, negative or not finite gives the empty template image.
  static ImageRef configuredSymbol(std::string_view name, double pointSize, double weight);

  // A symbol of the configured size, tinted with the colour (see tinted).
  static ImageRef configuredSymbol(std::string_view name, const platform::Color& tint, double pointSize,
                                   double weight);

  // A symbol of the default size, tinted with the colour (see tinted).
  static ImageRef tintedSymbol(std::string_view name, const platform::Color& tint);

  // A template image as a new image whose drawn pixels take the colour (resolved under the current
  // appearance) and that is no template any more. Any other image, and null, comes back unchanged: the same
  // object.
  static ImageRef tinted(const ImageRef& image, const platform::Color& color);

  // The named image "<name>.png" of the program's resources: the main bundle, then this module's bundle
  // "Bexlan". A missing or unreadable file gives the empty image.
  static ImageRef named(std::string_view name);
  // The named image "<name>.png" at the top of the given bundle; the same rules.
  static ImageRef named(std::string_view name, const platform::Bundle& bundle);
};

}  // namespace Bexlan
