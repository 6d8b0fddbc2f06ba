#include "Platform/UI/TextFieldCell.hpp"

#include <algorithm>
#include <cmath>

#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/TextMeasurer.hpp"
#include "Platform/Graphics/TextRenderer.hpp"

namespace platform {

void TextFieldCell::drawWithFrame(const Rect& cellFrame, View& controlView) {
  drawInterior(cellFrame, controlView);
}

void TextFieldCell::drawInterior(const Rect& cellFrame, View&) {
  GraphicsContext* context = GraphicsContext::current();
  if (context == nullptr || !font_) {
    return;
  }
  const TextAttributes attributes{font_, textColor_ ? textColor_->rgba() : Rgba{0, 0, 0, 1}};
  const Rect inset(cellFrame.minX() + textInset, cellFrame.minY(),
                   std::max(cellFrame.width() - 2 * textInset, 0.0), cellFrame.height());
  TextRenderer::draw(*context, displayedString(), attributes, inset);
}

Size TextFieldCell::cellSize() const {
  const Size text = font_ ? TextMeasurer::size(displayedString(), TextAttributes{font_}) : Size{0, 0};
  return {std::ceil(text.width) + 2 * textInset, std::ceil(text.height) + 2 * textInset};
}

}  // namespace platform
