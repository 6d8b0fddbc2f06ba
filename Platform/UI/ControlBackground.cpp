#include "Platform/UI/ControlBackground.hpp"

#include "Platform/Graphics/GraphicsContext.hpp"

namespace platform {

void fillBackground(const ColorRef& color, const Rect& rect) {
  GraphicsContext* context = GraphicsContext::current();
  if (color && context != nullptr) {
    context->setFillColor(color->rgba());
    context->fillRect(rect);
  }
}

}  // namespace platform
