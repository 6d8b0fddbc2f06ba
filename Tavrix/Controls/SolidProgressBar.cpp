#include "Tavrix/Controls/SolidProgressBar.hpp"

#include <cmath>

#include "Platform/Graphics/BezierPath.hpp"
#include "Tavrix/Controls/CATransaction.hpp"
#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/NSBezierPath.hpp"

namespace Tavrix {

SolidProgressBar::SolidProgressBar(const platform::Rect& frame)
    : platform::View(frame),
      bgLayer_(std::make_shared<platform::ShapeLayer>()),
      progressLayer_(std::make_shared<platform::ShapeLayer>()) {}

void SolidProgressBar::didInit() {
  platform::View::didInit();
  setup();
}

void SolidProgressBar::setValue(double value) {
  value_ = std::isnan(value) ? 0 : value;
  layout();
}

void SolidProgressBar::setup() {
  setWantsLayer(true);
  layer()->setMasksToBounds(true);
  layer()->addSublayer(bgLayer_);
  layer()->addSublayer(progressLayer_);
}

void SolidProgressBar::layout() {
  platform::View::layout();
  if (const std::shared_ptr<platform::Layer> layer = this->layer()) {
    layer->setCornerRadius(layerCornerRadius());
  }
  CATransaction::performWithoutAnimation([this] { update(); });
}

void SolidProgressBar::update() {
  const platform::Rect bounds = this->bounds();
  const double height = bounds.height();
  const double scale = mainScreenScale();
  const platform::Appearance& appearance = effectiveAppearance();

  bgLayer_->setContentsScale(scale);
  bgLayer_->setStrokeColor(trackColor()->rgba(appearance));
  bgLayer_->setFillColor(std::nullopt);
  bgLayer_->setLineWidth(height);
  bgLayer_->setPath(NSBezierPath::cgPath(platform::BezierPath::rect(bounds)));
  bgLayer_->setFrame(bounds);

  progressLayer_->setPath(progressLine(bounds));
  progressLayer_->setFillColor(std::nullopt);
  progressLayer_->setStrokeColor(fillColor()->rgba(appearance));
  progressLayer_->setLineWidth(height);
  progressLayer_->setContentsScale(scale);
  progressLayer_->setFrame(bounds);
  progressLayer_->setStrokeEnd(value_);
}

platform::Path SolidProgressBar::progressLine(const platform::Rect& bounds) const {
  platform::BezierPath line;
  line.move({0, bounds.height() * 0.5});
  line.line({bounds.width(), bounds.height() * 0.5});
  return NSBezierPath::cgPath(line);
}

}  // namespace Tavrix
