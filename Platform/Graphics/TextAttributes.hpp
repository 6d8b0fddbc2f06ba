#pragma once

#include <memory>

#include "Platform/Graphics/Font.hpp"
#include "Platform/Graphics/Rgba.hpp"
#include "Platform/Graphics/TextAlignment.hpp"

namespace platform {

// How a run of text looks: its font, colour and alignment. Left out, the font is the system font at
// defaultFontSize points and the colour is opaque black, as for plain attributed text on the platform.
struct TextAttributes {
  static constexpr double defaultFontSize = 12;

  std::shared_ptr<const Font> font;
  Rgba foregroundColor{0, 0, 0, 1};
  TextAlignment alignment = TextAlignment::natural;

  // The font text is laid out in: font, or the default one.
  std::shared_ptr<const Font> resolvedFont() const { return font ? font : Font::systemFont(defaultFontSize); }
};

}  // namespace platform
