#include "Tavrix/Controls/AnimatedGradientProgressView.hpp"

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <utility>

#include "Platform/Graphics/BasicAnimation.hpp"
#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/GradientBar.hpp"
#include "Tavrix/Controls/NSBezierPath.hpp"
#include "Tavrix/Controls/SystemColors.hpp"

namespace Tavrix {

namespace {

// The stripes: parallelograms 10 points wide across and 20 points apart, each leaning so that its top edge
// lies 10 points left of its bottom edge, four for every 28 points of width.
constexpr double stripeWidth = 10;
constexpr double stripeSpacing = 20;
constexpr double stripeOffset = 8;
constexpr double widthPerFourStripes = 28;
// Every 10 seconds the stripes drift left by the width less 10 points, then start again.
constexpr double driftSeconds = 10;
constexpr double driftShortfall = 10;

[[maybe_unused]] const bool classDefined = [] {
  platform::ViewClass::define<AnimatedGradientProgressView>(
      "AnimatedGradientProgressView", "View",
      {{"duration", platform::inspectable(&AnimatedGradientProgressView::duration,
                                          &AnimatedGradientProgressView::setDuration)},
       {"isIndeterminate", platform::inspectable(&AnimatedGradientProgressView::isIndeterminate,
                                                 &AnimatedGradientProgressView::setIsIndeterminate)},
       {"backgroundColor", platform::inspectable(&AnimatedGradientProgressView::backgroundColor,
                                                 &AnimatedGradientProgressView::setBackgroundColor)}});
  return true;
}();

// The stripes for a width: none for a width under 28 points, or one that is not finite or so large that
// the stripe count would not fit in an integer.
platform::Path stripes(double width, double height) {
  platform::BezierPath path;
  const double groups = std::trunc(width / widthPerFourStripes);
  if (!(groups >= 1 && groups < static_cast<double>(INT64_MAX / 4))) {
    return NSBezierPath::cgPath(path);
  }
  const auto count = static_cast<std::int64_t>(groups) * 4;
  for (std::int64_t index = 0; index < count; ++index) {
    const double x = stripeSpacing * static_cast<double>(index) + stripeOffset;
    path.move({x - stripeWidth, height});
    path.line({x, height});
    path.line({x + stripeWidth, 0});
    path.line({x, 0});
    path.close();
  }
  return NSBezierPath::cgPath(path);
}

}  // namespace

AnimatedGradientProgressView::AnimatedGradientProgressView(const platform::Rect& frame)
    : platform::View(frame),
      bgLayer_(std::make_shared<platform::ShapeLayer>()),
      progressLayer_(std::make_shared<platform::ShapeLayer>()),
      gradientLayer_(std::make_shared<platform::GradientLayer>()),
      blockLayer_(std::make_shared<platform::ShapeLayer>()),
      colors_{Colors::gradientStart(), Colors::gradientEnd()},
      backgroundColor_(SystemColors::tertiaryLabelColor()) {}

void AnimatedGradientProgressView::setValue(double value) {
  if (value > 0 && isIndeterminate_) {
    blockLayer_->removeAllAnimations();
    blockLayer_->removeFromSuperlayer();
    isIndeterminate_ = false;
    layout();
  }
  oldValue_ = value_;
  value_ = GradientBar::fraction(value);
  animateValue();
}

void AnimatedGradientProgressView::setDuration(double seconds) {
  if (!(seconds >= 0) || !std::isfinite(seconds)) {
    throw std::invalid_argument("AnimatedGradientProgressView: the duration must be finite and not negative");
  }
  duration_ = seconds;
}

void AnimatedGradientProgressView::setColors(std::vector<platform::ColorRef> colors) {
  colors_ = GradientBar::checked(std::move(colors), "AnimatedGradientProgressView");
  layout();
}

void AnimatedGradientProgressView::setIsIndeterminate(bool indeterminate) {
  isIndeterminate_ = indeterminate;
  layout();
}

void AnimatedGradientProgressView::setBackgroundColor(platform::ColorRef color) {
  if (!color) {
    throw std::invalid_argument("AnimatedGradientProgressView: the track colour is null");
  }
  backgroundColor_ = std::move(color);
  layout();
}

void AnimatedGradientProgressView::setHasCorners(bool hasCorners) {
  hasCorners_ = hasCorners;
  layout();
}

void AnimatedGradientProgressView::reset() {
  oldValue_ = 0;
  value_ = 0;
  progressLayer_->removeAllAnimations();
  progressLayer_->setStrokeStart(0);
  progressLayer_->setStrokeEnd(0);
}

void AnimatedGradientProgressView::layout() {
  platform::View::layout();
  setup();
}

void AnimatedGradientProgressView::setup() {
  const platform::Rect bounds = this->bounds();
  const double height = bounds.height();
  const double scale = mainScreenScale();
  const platform::Appearance& appearance = effectiveAppearance();

  setWantsLayer(true);
  const std::shared_ptr<platform::Layer> layer = this->layer();
  layer->setMasksToBounds(true);
  layer->setCornerRadius(hasCorners_ ? height * 0.5 : 0);

  bgLayer_->removeFromSuperlayer();
  bgLayer_->setContentsScale(scale);
  bgLayer_->setFillColor(backgroundColor_->rgba(appearance));
  bgLayer_->setPath(NSBezierPath::cgPath(platform::BezierPath::rect(bounds)));
  layer->addSublayer(bgLayer_);

  blockLayer_->removeAllAnimations();
  blockLayer_->removeFromSuperlayer();
  if (isIndeterminate_) {
    startIndeterminate();
  }

  progressLayer_->setLineCap(hasCorners_ ? platform::LineCap::round : platform::LineCap::butt);
  progressLayer_->setPath(GradientBar::line(bounds, hasCorners_));
  progressLayer_->setStrokeColor(platform::Rgba{0, 0, 0, 1});
  progressLayer_->setFillColor(std::nullopt);
  progressLayer_->setLineWidth(height);
  progressLayer_->setStrokeStart(0);
  progressLayer_->setStrokeEnd(0);
  progressLayer_->setContentsScale(scale);

  gradientLayer_->removeAllAnimations();
  gradientLayer_->removeFromSuperlayer();
  gradientLayer_->setContentsScale(scale);
  gradientLayer_->setColors(GradientBar::resolved(colors_, appearance));
  gradientLayer_->setStartPoint({0, 0.5});
  gradientLayer_->setEndPoint({1, 0.5});
  gradientLayer_->setMask(progressLayer_);
  gradientLayer_->setFrame(bounds);
  layer->addSublayer(gradientLayer_);

  animateValue();
}

void AnimatedGradientProgressView::animateValue() {
  platform::BasicAnimation animation;
  animation.keyPath = "strokeEnd";
  animation.fromValue = oldValue_;
  animation.toValue = value_;
  animation.duration = duration_;
  animation.timingFunction = platform::TimingFunction::named(platform::TimingFunctionName::easeInEaseOut);
  animation.fillMode = platform::FillMode::forwards;
  animation.removedOnCompletion = false;
  progressLayer_->addAnimation(animation, "strokeEnd");
}

void AnimatedGradientProgressView::startIndeterminate() {
  const platform::Rect bounds = this->bounds();
  const double width = bounds.width();
  if (!std::isfinite(width)) {
    return;
  }
  blockLayer_->setPath(stripes(width, bounds.height()));
  blockLayer_->setStrokeColor(std::nullopt);
  blockLayer_->setFillColor(SystemColors::separatorColor()->rgba(effectiveAppearance()));
  blockLayer_->setContentsScale(mainScreenScale());
  setWantsLayer(true);
  layer()->addSublayer(blockLayer_);

  platform::BasicAnimation movement;
  movement.keyPath = "position";
  movement.toValue = platform::Point{driftShortfall - width, blockLayer_->bounds().origin.y};
  movement.duration = driftSeconds;
  movement.fillMode = platform::FillMode::both;
  movement.timingFunction = platform::TimingFunction::named(platform::TimingFunctionName::linear);
  movement.repeatCount = platform::BasicAnimation::forever;
  blockLayer_->addAnimation(movement, "movement");
}

}  // namespace Tavrix
