#include "Tavrix/Graph/OutlinedBarSeries.hpp"

#include "Platform/Graphics/RemoveAllFromSuperlayer.hpp"
#include "Tavrix/Controls/Constants.hpp"
#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/NSBezierPath.hpp"

namespace Tavrix {

OutlinedBarSeries::OutlinedBarSeries() : lineWidth_(2 * Constants::onePixel()) {}

void OutlinedBarSeries::draw(const std::shared_ptr<platform::Layer>& layer, double /*min*/, double max,
                             double bottomInset) {
  platform::removeAllFromSuperlayer(barLayers_);
  for (std::size_t index = 0; index < data().size(); ++index) {
    std::shared_ptr<platform::ShapeLayer> bar = createBar(layer, index, drawnMaximum(max), bottomInset);
    if (bar) {
      layer->addSublayer(bar);
    }
    barLayers_.push_back(std::move(bar));
  }
}

void OutlinedBarSeries::clear() {
  platform::removeAllFromSuperlayer(barLayers_);
  forgetSeries();
}

std::shared_ptr<platform::ShapeLayer> OutlinedBarSeries::createBar(
    const std::shared_ptr<platform::Layer>& layer, std::size_t index, std::optional<double> max,
    double bottomInset) const {
  if (!layer || data().at(index) == 0.0) {
    return nullptr;
  }
  auto bar = std::make_shared<platform::ShapeLayer>();
  bar->setContentsScale(mainScreenScale());
  bar->setPath(NSBezierPath::cgPath(barPath(layer, index, max, bottomInset)));
  bar->setLineWidth(lineWidth_);
  styleBar(*bar, *layer, index);
  return bar;
}

}  // namespace Tavrix
