#include "Tavrix/Controls/TextUtilities.hpp"

#include <stdexcept>

#include "Platform/Graphics/Font.hpp"

namespace Tavrix {

platform::TextAttributes TextUtilities::textAttributes(platform::TextAlignment alignment,
                                                       const platform::ColorRef& foregroundColor, bool bold,
                                                       double fontSize) {
  if (!foregroundColor) {
    throw std::invalid_argument("text attributes need a foreground colour");
  }
  platform::TextAttributes attributes;
  attributes.font = bold ? platform::Font::boldSystemFont(fontSize) : platform::Font::systemFont(fontSize);
  attributes.foregroundColor = foregroundColor->rgba();
  attributes.alignment = alignment;
  return attributes;
}

}  // namespace Tavrix
