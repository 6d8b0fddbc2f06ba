#pragma once

#include <string_view>

#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/TextAttributes.hpp"

namespace platform {

// Draws text with attributes into a graphics context, upright whether the context's y axis runs up or down.
class TextRenderer {
 public:
  // Wraps the words at the rectangle's width and aligns the lines across it, from the rectangle's top edge
  // (its maxY in a y-up space, its minY in a flipped one). The first line is always drawn, later lines only
  // while they fit within the rectangle's height.
  static void draw(GraphicsContext& context, std::string_view text, const TextAttributes& attributes,
                   const Rect& rect);
  // One line per paragraph, in the rectangle that starts at the point and has the text's size (so the text
  // sits above the point in a y-up space and below it in a flipped one).
  static void draw(GraphicsContext& context, std::string_view text, const TextAttributes& attributes,
                   Point point);
};

}  // namespace platform
