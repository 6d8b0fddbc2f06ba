#pragma once

#include "Platform/Graphics/GraphicsContext.hpp"

namespace Tavrix {

// Drawing into a context, as the content or the overlay of overlayMasked.
using Drawing = platform::GraphicsContext::Drawing;

// Paints the overlay in the shape of the content: both are drawn in the context's present space, the
// content only as a mask (it shows nothing itself) and the overlay through that mask's alpha. A gradient
// overlay masked by a text, for instance, paints the text in the gradient. Each drawing starts from the
// context's present state and its changes to the state end with it.
void overlayMasked(platform::GraphicsContext& context, const Drawing& content, const Drawing& overlay);

}  // namespace Tavrix
