#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "Tavrix/Graph/GradientBarSeries.hpp"

namespace Tavrix {

// Narrow bars with fully rounded ends cut out of a vertical gradient: in the middle 60 % of their slot,
// both corner radii half the bar's width (each clamped to half the bar's width or height). A value of 0
// gets a 1-point capsule; the flat starting bar is a plain rectangle, so the grow-in shows it until the
// animation ends and then the capsule.
class CapsulePlotter : public GradientBarSeries {
 public:
  explicit CapsulePlotter(std::vector<platform::ColorRef> colors) : GradientBarSeries(std::move(colors)) {}

  platform::BezierPath barPath(const std::shared_ptr<platform::Layer>& layer, std::size_t index,
                               std::optional<double> max, double bottomInset) const override;

 protected:
  bool drawsZero() const override { return true; }
};

}  // namespace Tavrix
