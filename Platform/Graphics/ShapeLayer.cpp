#include "Platform/Graphics/ShapeLayer.hpp"

namespace platform {

std::optional<AnimatableValue> ShapeLayer::modelValue(std::string_view keyPath) const {
  if (keyPath == "path") return animatable(path_);
  if (keyPath == "fillColor") return animatable(fillColor_);
  if (keyPath == "strokeColor") return animatable(strokeColor_);
  if (keyPath == "lineWidth") return strokeStyle_.lineWidth;
  if (keyPath == "miterLimit") return strokeStyle_.miterLimit;
  if (keyPath == "lineDashPhase") return strokeStyle_.dashPhase;
  if (keyPath == "strokeStart") return strokeStart_;
  if (keyPath == "strokeEnd") return strokeEnd_;
  return Layer::modelValue(keyPath);
}

}  // namespace platform
