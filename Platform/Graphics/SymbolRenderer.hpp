#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

#include "Platform/Graphics/Image.hpp"

namespace platform {

// Draws symbol images from the symbolic icons of the Adwaita icon theme (package adwaita-icon-theme),
// rendered with librsvg. Symbols are template images: black, with the drawing's coverage as alpha, ready to
// be tinted.
class SymbolRenderer {
 public:
  SymbolRenderer() = delete;

  // The theme's scalable icons, one folder per context (actions, devices, ui...).
  static const std::filesystem::path& themeDirectory();

  // The SVG file of an icon of the theme ("go-up-symbolic"), looked up in every context folder; absent when
  // the theme has no such icon or is not installed.
  static std::optional<std::filesystem::path> iconFile(std::string_view iconName);

  // A new template image `pointSize` points square at `scale`, holding the SVG document fitted into it
  // (aspect ratio kept, centred). A point size that is zero, negative or not finite, and a file that
  // cannot be read or drawn, give the empty template image. Throws std::invalid_argument for a bad scale or
  // a bitmap above cairo's limit, as Image::create does.
  static std::shared_ptr<Image> render(const std::filesystem::path& svgFile, double pointSize, double scale);
};

}  // namespace platform
