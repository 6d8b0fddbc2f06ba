#pragma once

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/TextAlignment.hpp"
#include "Platform/Graphics/TextAttributes.hpp"

namespace Tavrix {

// Attributes of drawn texts.
class TextUtilities {
 public:
  TextUtilities() = delete;

  // The font (the bold system font when bold, else the regular one, at the size), the foreground colour
  // (resolved now, under the current appearance) and the alignment. Throws std::invalid_argument for a
  // null colour or a size the system font does not take.
  static platform::TextAttributes textAttributes(platform::TextAlignment alignment,
                                                 const platform::ColorRef& foregroundColor, bool bold,
                                                 double fontSize);
};

}  // namespace Tavrix
