#include "Platform/Graphics/GradientLayer.hpp"

namespace platform {

std::vector<double> GradientLayer::stopLocations() const {
  std::vector<double> evenly;
  for (std::size_t i = 0; i < colors_.size(); ++i) {
    evenly.push_back(colors_.size() == 1 ? 0
                                         : static_cast<double>(i) / static_cast<double>(colors_.size() - 1));
  }
  return evenly;
}

std::optional<AnimatableValue> GradientLayer::modelValue(std::string_view keyPath) const {
  if (keyPath == "startPoint") return startPoint_;
  if (keyPath == "endPoint") return endPoint_;
  return Layer::modelValue(keyPath);
}

}  // namespace platform
