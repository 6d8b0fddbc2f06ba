#pragma once

#include <string_view>

#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/TextAttributes.hpp"

namespace platform {

// Sizes of text as TextRenderer draws it, in points.
class TextMeasurer {
 public:
  // The text on one line per paragraph: its width, and the line count times the line height. Zero for
  // empty text.
  static Size size(std::string_view text, const TextAttributes& attributes);
  // The text with its words wrapped at the bounding width (when it is finite and not negative): the widest
  // line and the line count times the line height. The bounding height does not cut lines off; it is there
  // for callers that measure within a box.
  static Size boundingSize(std::string_view text, const TextAttributes& attributes, Size bounds);
};

}  // namespace platform
