#include "Tavrix/Controls/Gauge.hpp"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Controls/GaugeArc.hpp"

namespace Tavrix {

namespace {

constexpr double trackAlpha = 0.1;
constexpr double ringInset = 2;

[[maybe_unused]] const bool classDefined = [] {
  platform::ViewClass::define<Gauge>("Gauge", "View",
                                     {{"color", platform::inspectable(&Gauge::color, &Gauge::setColor)}});
  return true;
}();

}  // namespace

Gauge::Gauge(const platform::Rect& frame) : platform::View(frame) {}

void Gauge::setValue(double value) {
  if (std::isnan(value)) {
    value = 0;
  }
  if (value == mValue_) {
    return;
  }
  mValue_ = std::min(std::max(value, 0.0), 1.0);
  layout();
}

void Gauge::setColor(platform::ColorRef color) {
  color_ = std::move(color);
  layout();
}

void Gauge::setLineWidth(double width) {
  lineWidth_ = width;
  layout();
}

void Gauge::awakeFromNib() {
  platform::View::awakeFromNib();
  setWantsLayer(true);
}

void Gauge::layout() {
  platform::View::layout();
  drawBackground();
  drawProgress();
}

void Gauge::drawBackground() {
  const platform::Rect bounds = this->bounds();
  auto layer = std::make_shared<platform::ShapeLayer>();
  std::optional<platform::Rgba> stroke;
  if (color_) {
    stroke = color_->withAlphaComponent(trackAlpha)->rgba(effectiveAppearance());
  }
  GaugeArc::configure(
      *layer, bounds, lineWidth_, stroke,
      GaugeArc::track(bounds.center(), GaugeArc::radius(bounds.width(), lineWidth_, ringInset)));
  replace(backgroundLayer_, std::move(layer));
}

void Gauge::drawProgress() {
  const platform::Rect bounds = this->bounds();
  auto layer = std::make_shared<platform::ShapeLayer>();
  const platform::ColorRef& color = color_ ? color_ : Colors::gradientStart();
  GaugeArc::configure(
      *layer, bounds, lineWidth_, color->rgba(effectiveAppearance()),
      GaugeArc::value(bounds.center(), GaugeArc::radius(bounds.width(), lineWidth_, ringInset), mValue_));
  replace(progressLayer_, std::move(layer));
}

void Gauge::replace(std::shared_ptr<platform::ShapeLayer>& layer,
                    std::shared_ptr<platform::ShapeLayer> with) {
  if (layer) {
    layer->removeFromSuperlayer();
  }
  layer = std::move(with);
  if (const std::shared_ptr<platform::Layer> viewLayer = this->layer()) {
    viewLayer->addSublayer(layer);
  }
}

}  // namespace Tavrix
