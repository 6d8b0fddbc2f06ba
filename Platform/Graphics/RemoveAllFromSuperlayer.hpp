#pragma once

#include <concepts>
#include <memory>
#include <vector>

#include "Platform/Graphics/Layer.hpp"

namespace platform {

// Takes every layer of the list out of its superlayer, in index order (null entries are skipped), then
// empties the list and gives back its storage.
template <std::derived_from<Layer> T>
void removeAllFromSuperlayer(std::vector<std::shared_ptr<T>>& layers) {
  for (const std::shared_ptr<T>& layer : layers) {
    if (layer) {
      layer->removeFromSuperlayer();
    }
  }
  layers.clear();
  layers.shrink_to_fit();
}

}  // namespace platform
