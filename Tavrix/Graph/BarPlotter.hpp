#pragma once

#include <cstddef>
#include <memory>
#include <optional>

#include "Platform/Graphics/Color.hpp"
#include "Tavrix/Graph/OutlinedBarSeries.hpp"

namespace Tavrix {

// One outlined rectangle per value in one colour: value i owns the slot i * W / n to (i + 1) * W / n of
// the plot layer's width W and stands in its middle 80 %, from i * W / n + 0.1 * W / n, 0.8 * W / n wide.
// Its height is value / max of the plot's height above the bottom inset. The outline is the colour, the
// fill the colour at fillAlpha.
class BarPlotter : public OutlinedBarSeries {
 public:
  explicit BarPlotter(platform::ColorRef color) : color_(std::move(color)) {}

  const platform::ColorRef& color() const { return color_; }
  void setColor(platform::ColorRef color) { color_ = std::move(color); }

  platform::BezierPath barPath(const std::shared_ptr<platform::Layer>& layer, std::size_t index,
                               std::optional<double> max, double bottomInset) const override;

 protected:
  void styleBar(platform::ShapeLayer& bar, const platform::Layer& layer, std::size_t index) const override;

 private:
  platform::ColorRef color_;
};

}  // namespace Tavrix
