#include "Tavrix/Graph/CapsulePlotter.hpp"

namespace Tavrix {

platform::BezierPath CapsulePlotter::barPath(const std::shared_ptr<platform::Layer>& layer, std::size_t index,
                                             std::optional<double> max, double bottomInset) const {
  const auto [x, width] = slotPart(*layer, index, data().size(), 0.2, 0.6);
  const std::optional<double>& value = data().at(index);
  const platform::Rect bar = barRect(x, width, value, max, layer->bounds().height(), bottomInset);
  if (isFlatBar(value, max)) {
    return platform::BezierPath::rect(bar);
  }
  return platform::BezierPath::roundedRect(bar, width / 2, width / 2);
}

}  // namespace Tavrix
