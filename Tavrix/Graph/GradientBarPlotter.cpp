#include "Tavrix/Graph/GradientBarPlotter.hpp"

#include "Tavrix/Controls/Constants.hpp"

namespace Tavrix {

GradientBarPlotter::GradientBarPlotter(std::vector<platform::ColorRef> colors)
    : GradientBarSeries(std::move(colors)), lineWidth_(2 * Constants::onePixel()) {}

platform::BezierPath GradientBarPlotter::barPath(const std::shared_ptr<platform::Layer>& layer,
                                                 std::size_t index, std::optional<double> max,
                                                 double bottomInset) const {
  const auto [x, width] = slotPart(*layer, index, data().size(), 0.1, 0.8);
  return platform::BezierPath::rect(
      barRect(x, width, data().at(index), max, layer->bounds().height(), bottomInset));
}

}  // namespace Tavrix
