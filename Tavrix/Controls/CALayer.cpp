#include "Tavrix/Controls/CALayer.hpp"

#include "Platform/Graphics/Snapshot.hpp"

namespace Tavrix::CALayer {

platform::Rgba color(platform::Layer& layer, platform::Point point) {
  return platform::Snapshot::colorAt(layer, point);
}

}  // namespace Tavrix::CALayer
