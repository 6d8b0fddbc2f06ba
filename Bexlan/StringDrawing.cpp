#include "Bexlan/StringDrawing.hpp"

#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/TextMeasurer.hpp"
#include "Platform/Graphics/TextRenderer.hpp"

namespace Bexlan::String {

void drawVerticallyCentered(std::string_view text, const platform::Rect& rect,
                            const std::optional<platform::TextAttributes>& attributes) {
  platform::GraphicsContext* context = platform::GraphicsContext::current();
  if (context == nullptr) {
    return;
  }
  const platform::TextAttributes used = attributes.value_or(platform::TextAttributes{});
  const double height = platform::TextMeasurer::size(text, used).height;
  const platform::Rect centred{{rect.origin.x, rect.origin.y + (rect.size.height - height) / 2},
                               {rect.size.width, height}};
  platform::TextRenderer::draw(*context, text, used, centred);
}

}  // namespace Bexlan::String
