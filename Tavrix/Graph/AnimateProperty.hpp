#pragma once

#include <string>

#include "Platform/Graphics/AnimatableValue.hpp"
#include "Platform/Graphics/Layer.hpp"

namespace Tavrix {

// Animates the layer's property at keyPath to the value over 0.4 seconds, easing in and out, and holds the
// value after the end (the animation stays on the layer, under the key path as its key).
void animateProperty(platform::Layer& layer, platform::AnimatableValue value, const std::string& keyPath);

}  // namespace Tavrix
