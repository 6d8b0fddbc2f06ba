#include "Tavrix/Graph/BarPlotter.hpp"

namespace Tavrix {

platform::BezierPath BarPlotter::barPath(const std::shared_ptr<platform::Layer>& layer, std::size_t index,
                                         std::optional<double> max, double bottomInset) const {
  const auto [x, width] = slotPart(*layer, index, data().size(), 0.1, 0.8);
  return platform::BezierPath::rect(
      barRect(x, width, data().at(index), max, layer->bounds().height(), bottomInset));
}

void BarPlotter::styleBar(platform::ShapeLayer& bar, const platform::Layer& layer, std::size_t) const {
  bar.setFrame(layer.bounds());
  bar.setStrokeColor(color_->rgba());
  bar.setFillColor(color_->withAlphaComponent(fillAlpha())->rgba());
}

}  // namespace Tavrix
