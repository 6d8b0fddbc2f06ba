#include "Tavrix/Graph/AnimateProperty.hpp"

#include "Platform/Graphics/BasicAnimation.hpp"

namespace Tavrix {

void animateProperty(platform::Layer& layer, platform::AnimatableValue value, const std::string& keyPath) {
  platform::BasicAnimation animation;
  animation.keyPath = keyPath;
  animation.toValue = std::move(value);
  animation.duration = 0.4;
  animation.timingFunction = platform::TimingFunction::named(platform::TimingFunctionName::easeInEaseOut);
  animation.fillMode = platform::FillMode::forwards;
  animation.removedOnCompletion = false;
  layer.addAnimation(animation, keyPath);
}

}  // namespace Tavrix
