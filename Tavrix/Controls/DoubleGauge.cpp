#include "Tavrix/Controls/DoubleGauge.hpp"

#include <cmath>
#include <stdexcept>
#include <utility>

#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/GaugeArc.hpp"
#include "Tavrix/Controls/SystemColors.hpp"

namespace Tavrix {

namespace {

constexpr double trackAlpha = 0.1;
constexpr double innerInset = 2;
constexpr double outerInset = 4;

[[maybe_unused]] const bool classDefined = [] {
  platform::ViewClass::define<DoubleGauge>("DoubleGauge", "View");
  return true;
}();

platform::ColorRef checked(platform::ColorRef color) {
  if (!color) {
    throw std::invalid_argument("DoubleGauge: the ring colour is null");
  }
  return color;
}

double nanAsZero(double value) { return std::isnan(value) ? 0 : value; }

}  // namespace

DoubleGauge::DoubleGauge(const platform::Rect& frame)
    : platform::View(frame),
      backgroundLayerInner_(std::make_shared<platform::ShapeLayer>()),
      backgroundLayerOuter_(std::make_shared<platform::ShapeLayer>()),
      progressLayerInner_(std::make_shared<platform::ShapeLayer>()),
      progressLayerOuter_(std::make_shared<platform::ShapeLayer>()),
      colorInner_(SystemColors::separatorColor()),
      colorOuter_(SystemColors::separatorColor()) {}

void DoubleGauge::setLineWidth(double width) {
  lineWidth_ = width;
  layout();
}

void DoubleGauge::setValue1(double value) {
  value1_ = nanAsZero(value);
  layout();
}

void DoubleGauge::setValue2(double value) {
  value2_ = nanAsZero(value);
  layout();
}

void DoubleGauge::setColorInner(platform::ColorRef color) {
  colorInner_ = checked(std::move(color));
  layout();
}

void DoubleGauge::setColorOuter(platform::ColorRef color) {
  colorOuter_ = checked(std::move(color));
  layout();
}

void DoubleGauge::awakeFromNib() {
  platform::View::awakeFromNib();
  setWantsLayer(true);
}

void DoubleGauge::layout() {
  platform::View::layout();
  drawInnerBackground();
  drawOuterBackground();
  drawInnerProgress();
  drawOuterProgress();
}

template <class MakePath>
void DoubleGauge::draw(platform::ShapeLayer& layer, double inset, const platform::Rgba& strokeColor,
                       MakePath makePath) {
  const platform::Rect bounds = this->bounds();
  layer.removeFromSuperlayer();
  GaugeArc::configure(layer, bounds, lineWidth_, strokeColor,
                      makePath(bounds.center(), GaugeArc::radius(bounds.width(), lineWidth_, inset)));
  if (const std::shared_ptr<platform::Layer> viewLayer = this->layer()) {
    viewLayer->addSublayer(layer.shared_from_this());
  }
}

void DoubleGauge::drawInnerBackground() {
  draw(*backgroundLayerInner_, innerInset,
       colorInner_->withAlphaComponent(trackAlpha)->rgba(effectiveAppearance()), &GaugeArc::track);
}

void DoubleGauge::drawOuterBackground() {
  draw(*backgroundLayerOuter_, outerInset,
       colorOuter_->withAlphaComponent(trackAlpha)->rgba(effectiveAppearance()), &GaugeArc::track);
}

void DoubleGauge::drawInnerProgress() {
  draw(*progressLayerInner_, innerInset, colorInner_->rgba(effectiveAppearance()),
       [this](platform::Point center, double radius) { return GaugeArc::value(center, radius, value1_); });
}

void DoubleGauge::drawOuterProgress() {
  draw(*progressLayerOuter_, outerInset, colorOuter_->rgba(effectiveAppearance()),
       [this](platform::Point center, double radius) { return GaugeArc::value(center, radius, value2_); });
}

}  // namespace Tavrix
