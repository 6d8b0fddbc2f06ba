#include "Tavrix/Graph/BarSeriesPlotter.hpp"

#include <cmath>
#include <utility>

#include "Platform/Graphics/BasicAnimation.hpp"
#include "Tavrix/Controls/NSBezierPath.hpp"

namespace Tavrix {

std::optional<double> BarSeriesPlotter::drawnMaximum(double max) const {
  if (animationDuration_ && !mAlreadyAnimated_) {
    return std::nullopt;
  }
  return max;
}

void BarSeriesPlotter::animate(const std::shared_ptr<platform::Layer>& layer, double max,
                               double bottomInset) {
  if (!layer || !animationDuration_ || !timingFunction_ || mAlreadyAnimated_) {
    return;
  }
  const std::vector<std::shared_ptr<platform::ShapeLayer>>& bars = animatedLayers();
  // A series shorter than the last draw leaves bars without a value: they keep their shape.
  for (std::size_t index = 0; index < bars.size() && index < data_.size(); ++index) {
    if (!bars[index]) {
      continue;
    }
    platform::BasicAnimation grow;
    grow.keyPath = "path";
    grow.toValue = NSBezierPath::cgPath(barPath(layer, index, max, bottomInset));
    grow.duration = *animationDuration_;
    grow.timingFunction = platform::TimingFunction::named(*timingFunction_);
    grow.fillMode = platform::FillMode::forwards;
    grow.removedOnCompletion = false;
    bars[index]->addAnimation(grow, "path");
  }
  mAlreadyAnimated_ = true;
}

std::pair<double, double> slotPart(const platform::Layer& layer, std::size_t index, std::size_t count,
                                   double inset, double width) {
  const double slot = layer.frame().width() / static_cast<double>(count);
  return {static_cast<double>(index) * slot + inset * slot, width * slot};
}

bool isFlatBar(std::optional<double> value, std::optional<double> max) {
  return !value || !max || !(*max > 0) || !std::isfinite(*max);
}

platform::Rect barRect(double x, double width, std::optional<double> value, std::optional<double> max,
                       double height, double bottomInset) {
  const double baseline = height - bottomInset;
  double barHeight = 1;
  if (!isFlatBar(value, max) && *value > 0) {
    barHeight = *value / *max * baseline;
  }
  return {x, baseline - barHeight, width, barHeight};
}

}  // namespace Tavrix
