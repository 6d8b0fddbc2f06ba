#include "Platform/Graphics/TextRenderer.hpp"

#include "Platform/Graphics/TextLayout.hpp"

namespace platform {

void TextRenderer::draw(GraphicsContext& context, std::string_view text, const TextAttributes& attributes,
                        const Rect& rect) {
  const Rect box = rect.standardized();
  TextLayout(text, *attributes.resolvedFont(), attributes.alignment, box.width(), LineBreakMode::wordWrap)
      .draw(context, box, attributes.foregroundColor, true);
}

void TextRenderer::draw(GraphicsContext& context, std::string_view text, const TextAttributes& attributes,
                        Point point) {
  const TextLayout layout(text, *attributes.resolvedFont(), attributes.alignment, TextLayout::unbounded,
                          LineBreakMode::clip);
  layout.draw(context, Rect(point, layout.size()), attributes.foregroundColor, false);
}

}  // namespace platform
