#include "Platform/Graphics/TextLayer.hpp"

namespace platform {

std::optional<AnimatableValue> TextLayer::modelValue(std::string_view keyPath) const {
  if (keyPath == "foregroundColor") return animatable(foregroundColor_);
  if (keyPath == "fontSize") return fontSize_;
  return Layer::modelValue(keyPath);
}

}  // namespace platform
