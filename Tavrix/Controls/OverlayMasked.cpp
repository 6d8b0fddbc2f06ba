#include "Tavrix/Controls/OverlayMasked.hpp"

namespace Tavrix {

void overlayMasked(platform::GraphicsContext& context, const Drawing& content, const Drawing& overlay) {
  context.drawMasked(overlay, content);
}

}  // namespace Tavrix
