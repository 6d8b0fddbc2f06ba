#include "Tavrix/Graph/GradientBarSeries.hpp"

#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/NSBezierPath.hpp"

namespace Tavrix {

void GradientBarSeries::draw(const std::shared_ptr<platform::Layer>& layer, double /*min*/, double max,
                             double bottomInset) {
  removeBars();
  drawBars(layer, max, bottomInset);
}

void GradientBarSeries::clear() {
  removeBars();
  forgetSeries();
}

void GradientBarSeries::drawBars(const std::shared_ptr<platform::Layer>& layer, double max,
                                 double bottomInset) {
  if (!layer) {
    return;
  }
  for (std::size_t index = 0; index < data().size(); ++index) {
    auto [mask, gradient] = createBar(layer, index, drawnMaximum(max), bottomInset);
    maskingLayers_.push_back(std::move(mask));
    if (gradient) {
      layer->addSublayer(gradient);
    }
    gradientLayers_.push_back(std::move(gradient));
  }
}

GradientBarSeries::Bar GradientBarSeries::createBar(const std::shared_ptr<platform::Layer>& layer,
                                                    std::size_t index, std::optional<double> max,
                                                    double bottomInset) const {
  if (!layer || (!drawsZero() && data().at(index) == 0.0)) {
    return {};
  }
  auto mask = std::make_shared<platform::ShapeLayer>();
  mask->setFrame(layer->bounds());
  mask->setPath(NSBezierPath::cgPath(barPath(layer, index, max, bottomInset)));
  mask->setStrokeColor(platform::Color::clear()->rgba());
  mask->setFillColor(platform::Color::black()->rgba());
  mask->setContentsScale(mainScreenScale());
  auto gradient = std::make_shared<platform::GradientLayer>();
  gradient->setFrame(layer->bounds());
  gradient->setContentsScale(mainScreenScale());
  std::vector<platform::Rgba> stops;
  for (const platform::ColorRef& color : colors_) {
    stops.push_back(color->rgba());
  }
  gradient->setColors(std::move(stops));
  gradient->setStartPoint({0.5, 0});
  gradient->setEndPoint({0.5, 1});
  gradient->setMask(mask);
  return {std::move(mask), std::move(gradient)};
}

void GradientBarSeries::removeBars() {
  for (const std::shared_ptr<platform::ShapeLayer>& mask : maskingLayers_) {
    if (mask) {
      mask->removeAllAnimations();
      mask->removeFromSuperlayer();
    }
  }
  for (const std::shared_ptr<platform::GradientLayer>& gradient : gradientLayers_) {
    if (gradient) {
      gradient->removeFromSuperlayer();
    }
  }
  maskingLayers_.clear();
  gradientLayers_.clear();
}

}  // namespace Tavrix
