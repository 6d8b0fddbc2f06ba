#pragma once

#include <memory>

#include "Platform/Graphics/Layer.hpp"

namespace Tavrix {

// An x axis drawn along the bottom of a graph view.
class IAxis {
 public:
  virtual ~IAxis() = default;

  // The height the axis takes at the bottom of the view.
  virtual double height() const = 0;
  // Removes the axis's previous layers, then builds new ones inside layer unless it is null.
  virtual void draw(const std::shared_ptr<platform::Layer>& layer, double lineWidth) = 0;
  // Removes all the axis's layers.
  virtual void clear() = 0;
};

}  // namespace Tavrix
