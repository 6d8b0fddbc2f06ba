#pragma once

#include "Platform/Graphics/TextLayer.hpp"

namespace Tavrix {

// A text layer that draws its text moved down by (h - f) / 2 - f / 10 for bounds height h and font size f,
// so that a single line sits about the middle of the bounds instead of at the top.
class VerticallyAlignedTextLayer : public platform::TextLayer {
 public:
  void drawInContext(platform::GraphicsContext& context) override;
};

}  // namespace Tavrix
