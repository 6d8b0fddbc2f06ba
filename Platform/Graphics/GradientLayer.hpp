#pragma once

#include <optional>
#include <vector>

#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/Rgba.hpp"

namespace platform {

// A layer whose content is an axial gradient over its bounds. The start and end points are in the unit
// space of the bounds, y-up, so (0, 0) is the bottom-left corner (top-left when the geometry is flipped);
// by default the gradient runs from the bottom edge (0.5, 0) to the top edge (0.5, 1). Colours beyond the
// end points continue the end colours. No colours draw nothing; one colour fills the bounds.
//
// Adds the animatable key paths "startPoint" and "endPoint".
class GradientLayer : public Layer {
 public:
  const std::vector<Rgba>& colors() const { return colors_; }
  void setColors(std::vector<Rgba> colors) { colors_ = std::move(colors); }
  Point startPoint() const { return startPoint_; }
  void setStartPoint(Point point) { startPoint_ = point; }
  Point endPoint() const { return endPoint_; }
  void setEndPoint(Point point) { endPoint_ = point; }

  // The location of every colour along the axis as drawn, evenly spaced from 0 at the start point to 1 at the
  // end point (a single colour sits at 0).
  std::vector<double> stopLocations() const;

  std::optional<AnimatableValue> modelValue(std::string_view keyPath) const override;

 private:
  std::vector<Rgba> colors_;
  Point startPoint_{0.5, 0};
  Point endPoint_{0.5, 1};
};

}  // namespace platform
