#include "Platform/Graphics/TextMeasurer.hpp"

#include "Platform/Graphics/TextLayout.hpp"

namespace platform {

Size TextMeasurer::size(std::string_view text, const TextAttributes& attributes) {
  return boundingSize(text, attributes, {TextLayout::unbounded, TextLayout::unbounded});
}

Size TextMeasurer::boundingSize(std::string_view text, const TextAttributes& attributes, Size bounds) {
  return TextLayout(text, *attributes.resolvedFont(), attributes.alignment, bounds.width,
                    LineBreakMode::wordWrap)
      .size();
}

}  // namespace platform
