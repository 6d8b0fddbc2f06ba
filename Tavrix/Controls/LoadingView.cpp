#include "Tavrix/Controls/LoadingView.hpp"

#include <numbers>
#include <stdexcept>
#include <utility>

#include "Platform/Graphics/BasicAnimation.hpp"
#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/NSBezierPath.hpp"
#include "Tavrix/Controls/SystemColors.hpp"

namespace Tavrix {

namespace {

constexpr double arcFraction = 0.2;
constexpr double trackAlpha = 0.1;
constexpr double ringInset = 1.5;

[[maybe_unused]] const bool classDefined = [] {
  platform::ViewClass::define<LoadingView>(
      "LoadingView", "View", {{"color", platform::inspectable(&LoadingView::color, &LoadingView::setColor)}});
  return true;
}();

}  // namespace

LoadingView::LoadingView(const platform::Rect& frame)
    : platform::View(frame),
      progressLayer_(std::make_shared<platform::ShapeLayer>()),
      trackLayer_(std::make_shared<platform::ShapeLayer>()),
      color_(SystemColors::controlAccentColor()) {}

void LoadingView::didInit() {
  platform::View::didInit();
  setup();
}

void LoadingView::setWidth(double width) { width_ = width; }

void LoadingView::setColor(platform::ColorRef color) {
  if (!color) {
    throw std::invalid_argument("LoadingView: the colour is null");
  }
  color_ = std::move(color);
  progressLayer_->setStrokeColor(color_->rgba(effectiveAppearance()));
}

void LoadingView::layout() {
  platform::View::layout();
  setup();
}

void LoadingView::setup() {
  trackLayer_->removeFromSuperlayer();
  progressLayer_->removeFromSuperlayer();
  setWantsLayer(true);
  // Hidden only while idle: a layout pass must not hide a running spinner.
  if (!isActive_) {
    setHidden(true);
  }
  const double scale = mainScreenScale();
  const std::shared_ptr<platform::Layer> layer = this->layer();
  layer->setContentsScale(scale);

  const platform::Rect bounds = this->bounds();
  const platform::Path ring = NSBezierPath::cgPath(platform::BezierPath::oval(
      platform::Rect(ringInset, ringInset, bounds.width() - 2 * ringInset, bounds.height() - 2 * ringInset)));
  const platform::Appearance& appearance = effectiveAppearance();

  progressLayer_->setPath(ring);
  progressLayer_->setStrokeColor(color_->rgba(appearance));
  progressLayer_->setLineWidth(width_);
  progressLayer_->setLineCap(platform::LineCap::round);
  progressLayer_->setFillColor(std::nullopt);
  progressLayer_->setStrokeStart(0);
  progressLayer_->setStrokeEnd(arcFraction);
  progressLayer_->setContentsScale(scale);

  trackLayer_->setPath(ring);
  trackLayer_->setStrokeColor(color_->withAlphaComponent(trackAlpha)->rgba(appearance));
  trackLayer_->setLineWidth(width_);
  trackLayer_->setFillColor(std::nullopt);
  trackLayer_->setContentsScale(scale);

  layer->addSublayer(trackLayer_);
  layer->addSublayer(progressLayer_);
}

void LoadingView::start() {
  if (isActive_) {
    return;
  }
  isActive_ = true;
  setHidden(false);
  // Turns about the view's centre.
  progressLayer_->setFrame(bounds());
  progressLayer_->setAnchorPoint({0.5, 0.5});

  platform::BasicAnimation rotation;
  rotation.keyPath = "transform.rotation.z";
  rotation.toValue = -2 * std::numbers::pi;
  rotation.duration = turnSeconds;
  rotation.fillMode = platform::FillMode::forwards;
  rotation.timingFunction = platform::TimingFunction::named(platform::TimingFunctionName::linear);
  rotation.removedOnCompletion = false;
  rotation.repeatCount = platform::BasicAnimation::forever;
  progressLayer_->addAnimation(rotation, "rotation");
}

void LoadingView::stop() {
  progressLayer_->removeAllAnimations();
  setHidden(true);
  isActive_ = false;
}

}  // namespace Tavrix
