#include "Tavrix/Controls/GradientProgressView.hpp"

#include <utility>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/CATransaction.hpp"
#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/GradientBar.hpp"
#include "Tavrix/Controls/NSBezierPath.hpp"
#include "Tavrix/Controls/SystemColors.hpp"

namespace Tavrix {

namespace {

[[maybe_unused]] const bool classDefined = [] {
  platform::ViewClass::define<GradientProgressView>("GradientProgressView", "View");
  return true;
}();

}  // namespace

GradientProgressView::GradientProgressView(const platform::Rect& frame)
    : platform::View(frame),
      bgLayer_(std::make_shared<platform::ShapeLayer>()),
      progressLayer_(std::make_shared<platform::ShapeLayer>()),
      gradientLayer_(std::make_shared<platform::GradientLayer>()),
      colors_{Colors::gradientStart(), Colors::gradientEnd()} {}

void GradientProgressView::didInit() {
  platform::View::didInit();
  redraw();
}

void GradientProgressView::setValue(double value) {
  value_ = GradientBar::fraction(value);
  CATransaction::performWithoutAnimation([this] { progressLayer_->setStrokeEnd(value_); });
}

void GradientProgressView::setColors(std::vector<platform::ColorRef> colors) {
  colors_ = GradientBar::checked(std::move(colors), "GradientProgressView");
  layout();
}

void GradientProgressView::redraw() {
  const double height = bounds().height();
  const double scale = mainScreenScale();

  setWantsLayer(true);
  const std::shared_ptr<platform::Layer> layer = this->layer();
  layer->setMasksToBounds(true);
  layer->setCornerRadius(height * 0.5);

  bgLayer_->setContentsScale(scale);
  bgLayer_->setFillColor(std::nullopt);
  bgLayer_->setStrokeColor(SystemColors::tertiaryLabelColor()->rgba(effectiveAppearance()));
  bgLayer_->setLineWidth(height);
  layer->addSublayer(bgLayer_);

  progressLayer_->setStrokeColor(platform::Rgba{0, 0, 0, 1});
  progressLayer_->setFillColor(std::nullopt);
  progressLayer_->setLineWidth(height);
  progressLayer_->setLineCap(platform::LineCap::round);
  progressLayer_->setStrokeStart(0);
  progressLayer_->setStrokeEnd(0);
  progressLayer_->setContentsScale(scale);

  gradientLayer_->setContentsScale(scale);
  gradientLayer_->setStartPoint({0, 0.5});
  gradientLayer_->setEndPoint({1, 0.5});
  gradientLayer_->setMask(progressLayer_);
  layer->addSublayer(gradientLayer_);
}

void GradientProgressView::layout() {
  platform::View::layout();
  const platform::Rect bounds = this->bounds();
  const double height = bounds.height();
  const platform::Appearance& appearance = effectiveAppearance();
  if (const std::shared_ptr<platform::Layer> layer = this->layer()) {
    layer->setCornerRadius(height * 0.5);
  }

  bgLayer_->setFrame(bounds);
  bgLayer_->setStrokeColor(SystemColors::tertiaryLabelColor()->rgba(appearance));
  bgLayer_->setPath(NSBezierPath::cgPath(platform::BezierPath::rect(bounds)));
  // Both lines follow the height, so that a bar made flat or resized later still covers its bounds.
  bgLayer_->setLineWidth(height);
  progressLayer_->setLineWidth(height);

  gradientLayer_->setFrame(bounds);
  progressLayer_->setPath(GradientBar::line(bounds, true));
  gradientLayer_->setColors(GradientBar::resolved(colors_, appearance));
}

void GradientProgressView::viewDidChangeEffectiveAppearance() {
  platform::View::viewDidChangeEffectiveAppearance();
  layout();
}

}  // namespace Tavrix
