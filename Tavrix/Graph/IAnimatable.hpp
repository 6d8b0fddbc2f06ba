#pragma once

#include <memory>

#include "Platform/Graphics/Layer.hpp"

namespace Tavrix {

// A plotter that can animate its drawing into place (the bar plotters).
class IAnimatable {
 public:
  virtual ~IAnimatable() = default;

  virtual void animate(const std::shared_ptr<platform::Layer>& layer, double max, double bottomInset) = 0;
};

}  // namespace Tavrix
