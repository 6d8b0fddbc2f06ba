#include "Tavrix/Controls/GradientCircularGauge.hpp"

#include <cmath>
#include <stdexcept>
#include <utility>

#include "Platform/Graphics/BasicAnimation.hpp"
#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/GaugeArc.hpp"
#include "Tavrix/Controls/GradientBar.hpp"
#include "Tavrix/Controls/SystemColors.hpp"

namespace Tavrix {

namespace {

constexpr double ringInset = 2;

[[maybe_unused]] const bool classDefined = [] {
  using platform::inspectable;
  platform::ViewClass::define<GradientCircularGauge>(
      "GradientCircularGauge", "View",
      {{"backColor", inspectable(&GradientCircularGauge::backColor, &GradientCircularGauge::setBackColor)},
       {"duration", inspectable(&GradientCircularGauge::duration, &GradientCircularGauge::setDuration)},
       {"lineWidth", inspectable(&GradientCircularGauge::lineWidth, &GradientCircularGauge::setLineWidth)}});
  return true;
}();

}  // namespace

GradientCircularGauge::GradientCircularGauge(const platform::Rect& frame)
    : platform::View(frame),
      maskingLayer_(std::make_shared<platform::ShapeLayer>()),
      backgroundLayer_(std::make_shared<platform::ShapeLayer>()),
      gradientLayer_(std::make_shared<platform::GradientLayer>()),
      backColor_(SystemColors::tertiaryLabelColor()),
      colors_{Colors::gradientStart(), Colors::gradientEnd()} {}

void GradientCircularGauge::setValue(double value) {
  if (std::isnan(value)) {
    value = 0;
  }
  if (value == mValue_) {
    return;
  }
  mOldValue_ = mValue_;
  mValue_ = value;
  animateValue();
}

void GradientCircularGauge::setBackColor(platform::ColorRef color) {
  if (!color) {
    throw std::invalid_argument("GradientCircularGauge: the track colour is null");
  }
  backColor_ = std::move(color);
  layout();
}

void GradientCircularGauge::setDuration(double seconds) {
  if (!(seconds >= 0) || !std::isfinite(seconds)) {
    throw std::invalid_argument("GradientCircularGauge: the duration must be finite and not negative");
  }
  duration_ = seconds;
}

void GradientCircularGauge::setColors(std::vector<platform::ColorRef> colors) {
  colors_ = GradientBar::checked(std::move(colors), "GradientCircularGauge");
  layout();
}

void GradientCircularGauge::setLineWidth(double width) {
  lineWidth_ = width;
  layout();
}

void GradientCircularGauge::setUseRoundCap(bool useRoundCap) {
  useRoundCap_ = useRoundCap;
  layout();
}

void GradientCircularGauge::awakeFromNib() {
  platform::View::awakeFromNib();
  setWantsLayer(true);
  layer()->addSublayer(backgroundLayer_);
  layer()->addSublayer(gradientLayer_);
}

void GradientCircularGauge::layout() {
  platform::View::layout();
  drawBackground();
  drawGradient();
}

double GradientCircularGauge::radius() const {
  return GaugeArc::radius(bounds().width(), lineWidth_, ringInset);
}

void GradientCircularGauge::drawBackground() {
  const platform::Rect bounds = this->bounds();
  backgroundLayer_->setContentsScale(mainScreenScale());
  backgroundLayer_->setFrame(bounds);
  backgroundLayer_->setLineWidth(lineWidth_);
  backgroundLayer_->setFillColor(std::nullopt);
  backgroundLayer_->setStrokeColor(backColor_->rgba(effectiveAppearance()));
  backgroundLayer_->setPath(GaugeArc::fullCircle(bounds.center(), radius()));
}

void GradientCircularGauge::drawGradient() {
  const platform::Rect bounds = this->bounds();
  const double scale = mainScreenScale();
  maskingLayer_->setContentsScale(scale);
  maskingLayer_->setFrame(bounds);
  maskingLayer_->setLineWidth(lineWidth_);
  maskingLayer_->setFillColor(std::nullopt);
  maskingLayer_->setStrokeColor(platform::Rgba{0, 0, 0, 1});
  maskingLayer_->setLineCap(useRoundCap_ ? platform::LineCap::round : platform::LineCap::butt);
  maskingLayer_->setStrokeStart(0);
  maskingLayer_->setStrokeEnd(0);
  maskingLayer_->setPath(GaugeArc::clockwiseFromTop(bounds.center(), radius()));

  gradientLayer_->setContentsScale(scale);
  gradientLayer_->setFrame(bounds);
  gradientLayer_->setColors(GradientBar::resolved(colors_, effectiveAppearance()));
  gradientLayer_->setStartPoint({0, 0.5});
  gradientLayer_->setEndPoint({1, 0.5});
  gradientLayer_->setMask(maskingLayer_);
}

void GradientCircularGauge::animateValue() {
  platform::BasicAnimation animation;
  animation.keyPath = "strokeEnd";
  animation.duration = duration_;
  animation.timingFunction = platform::TimingFunction::named(platform::TimingFunctionName::easeInEaseOut);
  animation.fromValue = mOldValue_;
  animation.toValue = mValue_;
  animation.removedOnCompletion = mValue_ == 0;
  animation.fillMode = platform::FillMode::both;
  maskingLayer_->addAnimation(animation, "strokeEnd");
}

}  // namespace Tavrix
