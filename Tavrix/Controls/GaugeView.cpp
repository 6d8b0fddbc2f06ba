#include "Tavrix/Controls/GaugeView.hpp"

#include <algorithm>
#include <cmath>

#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/GaugeArc.hpp"
#include "Tavrix/Controls/SystemColors.hpp"

namespace Tavrix {

namespace {

[[maybe_unused]] const bool classDefined = [] {
  using platform::inspectable;
  platform::ViewClass::define<GaugeView>(
      "GaugeView", "View",
      {{"lineWidth", inspectable(&GaugeView::lineWidth, &GaugeView::setLineWidth)},
       {"useRoundCap", inspectable(&GaugeView::useRoundCap, &GaugeView::setUseRoundCap)}});
  return true;
}();

}  // namespace

GaugeView::GaugeView(const platform::Rect& frame)
    : platform::View(frame),
      backgroundLayer_(std::make_shared<platform::ShapeLayer>()),
      progressLayer_(std::make_shared<platform::ShapeLayer>()) {}

void GaugeView::setValue(double value) {
  if (std::isnan(value)) {
    value = 0;
  }
  if (value == mValue_) {
    return;
  }
  mValue_ = std::max(value, 0.0);
  redraw();
}

void GaugeView::setLineWidth(double width) {
  lineWidth_ = width;
  layout();
}

void GaugeView::setUseRoundCap(bool useRoundCap) {
  useRoundCap_ = useRoundCap;
  layout();
}

void GaugeView::layout() {
  platform::View::layout();
  redraw();
}

void GaugeView::redraw() {
  setWantsLayer(true);
  backgroundLayer_->removeFromSuperlayer();
  progressLayer_->removeFromSuperlayer();
  layer()->addSublayer(backgroundLayer_);
  layer()->addSublayer(progressLayer_);
  drawBackground();
  drawProgress();
}

double GaugeView::radius() const { return bounds().width() * 0.5 - lineWidth_ * 0.5 - 1; }

void GaugeView::drawBackground() {
  const platform::Rect bounds = this->bounds();
  backgroundLayer_->setContentsScale(mainScreenScale());
  backgroundLayer_->setFrame(bounds);
  backgroundLayer_->setLineWidth(lineWidth_);
  backgroundLayer_->setFillColor(std::nullopt);
  backgroundLayer_->setStrokeColor(SystemColors::quaternaryLabelColor()->rgba(effectiveAppearance()));
  backgroundLayer_->setPath(GaugeArc::fullCircle(bounds.center(), radius()));
}

void GaugeView::drawProgress() {
  const platform::Rect bounds = this->bounds();
  progressLayer_->setContentsScale(mainScreenScale());
  progressLayer_->setFrame(bounds);
  progressLayer_->setLineWidth(lineWidth_);
  progressLayer_->setFillColor(std::nullopt);
  progressLayer_->setStrokeColor(SystemColors::controlAccentColor()->rgba(effectiveAppearance()));
  progressLayer_->setLineCap(useRoundCap_ ? platform::LineCap::round : platform::LineCap::butt);
  progressLayer_->setStrokeStart(0);
  progressLayer_->setStrokeEnd(mValue_);
  progressLayer_->setPath(GaugeArc::clockwiseFromTop(bounds.center(), radius()));
}

}  // namespace Tavrix
