#include "Platform/Graphics/TextLayer.hpp"

#include <cmath>

#include "Platform/Graphics/Font.hpp"
#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/TextLayout.hpp"

namespace platform {

std::optional<AnimatableValue> TextLayer::modelValue(std::string_view keyPath) const {
  if (keyPath == "foregroundColor") return animatable(foregroundColor_);
  if (keyPath == "fontSize") return fontSize_;
  return Layer::modelValue(keyPath);
}

void TextLayer::drawInContext(GraphicsContext& context) {
  const RenderTime& time = context.renderTime();
  const double size = time.number(*this, "fontSize");
  const std::optional<Rgba> color = time.color(*this, "foregroundColor");
  if (string_.empty() || !color || !(size > 0 && size <= Font::largestSize)) {
    return;
  }
  const std::shared_ptr<const Font> font = font_ ? font_->withSize(size) : Font::systemFont(size);
  const Rect box = time.rect(*this, "bounds").standardized();
  const TextLayout layout(string_, *font, alignmentMode_, box.width(),
                          wrapped_ ? LineBreakMode::wordWrap : LineBreakMode::clip);
  context.saveGState();
  context.clipToRect(box);
  layout.draw(context, box, *color, false);
  context.restoreGState();
}

}  // namespace platform
