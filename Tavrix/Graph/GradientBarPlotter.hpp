#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "Tavrix/Graph/GradientBarSeries.hpp"

namespace Tavrix {

// Rectangular bars cut out of a vertical gradient, placed like BarPlotter's: in the middle 80 % of their
// slot. A value of exactly 0 gets no bar; a missing value gets the flat bar.
class GradientBarPlotter : public GradientBarSeries {
 public:
  explicit GradientBarPlotter(std::vector<platform::ColorRef> colors);

  // Kept for callers; the drawing does not read it.
  double lineWidth() const { return lineWidth_; }
  void setLineWidth(double width) { lineWidth_ = width; }

  platform::BezierPath barPath(const std::shared_ptr<platform::Layer>& layer, std::size_t index,
                               std::optional<double> max, double bottomInset) const override;

 protected:
  bool drawsZero() const override { return false; }

 private:
  double lineWidth_;
};

}  // namespace Tavrix
